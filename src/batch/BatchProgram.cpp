#include "batch/BatchProgram.h"

#include <ostream>

namespace orvanta {

namespace {

const char* usageText =
    "Usage: orvanta-batch COMMAND [OPTIONS]\n"
    "\n"
    "Scripted, reproducible runs of the Orvanta engine.\n"
    "\n"
    "Options:\n"
    "  --help       show this text and exit\n"
    "  --version    show the version and exit\n";

} // namespace

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << usageText;
        return batchExit::badInput;
    }
    const std::string& command = args.front();
    if (command == "--help" || command == "-h" || command == "help") {
        out << usageText;
        return batchExit::success;
    }
    if (command == "--version") {
        out << "orvanta-batch " << ORVANTA_VERSION << "\n";
        return batchExit::success;
    }
    err << "orvanta-batch: unknown command '" << command << "'\n\n" << usageText;
    return batchExit::badInput;
}

} // namespace orvanta
