#include "batch/BatchProgram.h"

#include "batch/EvaluateCommand.h"

#include <ostream>

namespace orvanta {

namespace {

const char* usageText =
    "Usage: orvanta-batch COMMAND [OPTIONS]\n"
    "\n"
    "Scripted, reproducible runs of the Orvanta engine.\n"
    "\n"
    "Commands:\n"
    "  evaluate [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]\n"
    "           --params V1,V2,...,V20\n"
    "      Reads the data files as the initialization window does, evaluates the\n"
    "      objective once and prints objective, increment_part, frequency_part\n"
    "      (both doubled), penalty and the cleaned params, 17 significant digits.\n"
    "\n"
    "Exit status: 0 success, 1 incomplete run, 2 bad input, 3 objective not finite.\n"
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
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "evaluate")
        return runEvaluateCommand(rest, out, err);
    err << "orvanta-batch: unknown command '" << command << "'\n\n" << usageText;
    return batchExit::badInput;
}

} // namespace orvanta
