#include "batch/BatchProgram.h"

#include "batch/EvaluateCommand.h"
#include "batch/FitCommand.h"
#include "batch/SimulateCommand.h"

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
    "           (--params V1,V2,...,V20 | --alg FILE)\n"
    "      Reads the data files as the initialization window does, evaluates the\n"
    "      objective once and prints objective, increment_part, frequency_part\n"
    "      (both doubled), penalty and the cleaned params, 17 significant digits.\n"
    "      --alg FILE takes values and links from an algorithm file (.alg).\n"
    "\n"
    "  fit --method simplex|marquardt [--freq FILE] [--inc FILE] [--first-cell N]\n"
    "      [--errors gaussian|gamma] --alg IN --out OUT [--overwrite-input]\n"
    "      [--log FILE [--log-frequency N]] [--verbose]\n"
    "      Reads the data files as evaluate does, minimizes from the values, steps\n"
    "      and links of the algorithm file IN and writes the algorithm data holding\n"
    "      the estimates to OUT (never IN, unless --overwrite-input is given). At the\n"
    "      maxCalls limit of IN the run stops. Prints end (verified_minimum,\n"
    "      call_limit, interrupted, division_by_zero, non_finite_start or\n"
    "      non_finite_objective), objective, iterations, calls, restarts and one\n"
    "      line pN VALUE per free parameter. Exit status 0 only for a verified\n"
    "      minimum; after any other end OUT holds the last accepted point.\n"
    "      --log FILE               write progress records to FILE, every N\n"
    "        --log-frequency N      iterations (default 1)\n"
    "      --verbose                print the texts of the Simplex window\n"
    "      marquardt is not available yet.\n"
    "\n"
    "  simulate --params V1,V2,...,V20 [--seed S] [--freq FILE] [--inc FILE] ...\n"
    "      Simulates data files from the model at the given values (p1..p20 as in\n"
    "      evaluate) and writes them; the same seed gives the same files. Prints\n"
    "      seed, frequency_file, frequency_animals, frequency_cells, increment_file,\n"
    "      increment_records and increment_kind.\n"
    "      --seed S                 random seed, 0..2^64-1 (default 1)\n"
    "      --freq FILE              size-frequency sample of the steady-state population\n"
    "        --freq-count N         animals in the sample, 1..9999 (default 1000)\n"
    "        --cell-width W         cell width from size 0, >= 1 unit (default 1)\n"
    "      --inc FILE               increment records: tag-recapture when p18 (t0) is\n"
    "                               -999, size-at-age otherwise\n"
    "        --inc-count N          records, 1..2000 (default 100)\n"
    "        tag-recapture records only:\n"
    "        --release-day-min D    first release day (default 1; day 0 is 31 December\n"
    "                               of the year before the first year)\n"
    "        --release-day-max D    last release day (default 365); the set number is\n"
    "                               the year of release\n"
    "        --liberty-min DAYS     shortest time at liberty (default 30)\n"
    "        --liberty-max DAYS     longest time at liberty (default 730)\n"
    "        --release-sizes KIND   steady: sizes of steady-state animals within the\n"
    "                               range; uniform: uniform in the range (default steady)\n"
    "        --release-size-min X   smallest release size (default 0)\n"
    "        --release-size-max X   largest release size (default p1 + 5 p2; required\n"
    "                               for uniform, and below p1 + 4 p2)\n"
    "        size-at-age records only:\n"
    "        --age-min A            ages uniform from A to B (default: the ages of\n"
    "        --age-max B            steady-state animals plus t0)\n"
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
    if (command == "fit")
        return runFitCommand(rest, out, err);
    if (command == "simulate")
        return runSimulateCommand(rest, out, err);
    err << "orvanta-batch: unknown command '" << command << "'\n\n" << usageText;
    return batchExit::badInput;
}

} // namespace orvanta
