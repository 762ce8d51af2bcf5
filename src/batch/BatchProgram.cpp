#include "batch/BatchProgram.h"

#include "batch/CovarianceCommand.h"
#include "batch/EvaluateCommand.h"
#include "batch/FitCommand.h"
#include "batch/PriorProfileCommand.h"
#include "batch/ProfileCommand.h"
#include "batch/RankCommand.h"
#include "batch/SimulateCommand.h"
#include "batch/SummaryCommand.h"

#include <exception>
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
    "           [--priors FILE.pri --constant C [--review]]\n"
    "      Reads the data files as the initialization window does, evaluates the\n"
    "      objective once and prints objective, increment_part, frequency_part\n"
    "      (both doubled), penalty and the cleaned params, 17 significant digits.\n"
    "      --alg FILE takes values and links from an algorithm file (.alg).\n"
    "      --priors FILE.pri        Bayesian priors (.pri) in force when any is not\n"
    "        --constant C           uniform-unbounded: objective includes the prior\n"
    "        --review               penalty, 1/C times the priors' -ln[L] (0.5 for\n"
    "                               this model's -2 ln L); prints prior_penalty and\n"
    "                               with --review the review of prior likelihoods.\n"
    "                               Exit status 2 for a file written for another\n"
    "                               number of parameters or a prior without a\n"
    "                               finite -ln[L].\n"
    "\n"
    "  fit --method simplex|marquardt [--freq FILE] [--inc FILE] [--first-cell N]\n"
    "      [--errors gaussian|gamma] --alg IN --out OUT [--overwrite-input]\n"
    "      [--log FILE [--log-frequency N]] [--verbose]\n"
    "      [--priors FILE.pri --constant C [--review]]\n"
    "      Reads the data files as evaluate does, minimizes from the values, steps\n"
    "      and links of the algorithm file IN and writes the algorithm data holding\n"
    "      the estimates to OUT (never IN, unless --overwrite-input is given). At the\n"
    "      maxCalls limit of IN the run stops: function calls for simplex, accepted\n"
    "      iterations for marquardt. marquardt takes numerical derivatives and\n"
    "      lists none. Prints end, objective (at the estimates), iterations, calls,\n"
    "      restarts (simplex only) and one line pN VALUE per free parameter. end is\n"
    "      verified_minimum, call_limit or non_finite_start; for simplex also\n"
    "      division_by_zero or non_finite_objective; for marquardt also gave_up,\n"
    "      decomposition_failed or non_finite_derivatives. Exit status 0 only for a\n"
    "      verified minimum, 3 for non_finite_start (OUT is not written); after any\n"
    "      other end OUT holds the last accepted point.\n"
    "      --log FILE               write progress records to FILE, every N\n"
    "        --log-frequency N      iterations (default 1; marquardt writes one\n"
    "                               after every accepted iteration)\n"
    "      --verbose                print the texts of the minimizer's window\n"
    "      --priors FILE.pri ...    as for evaluate: the fit minimizes the objective\n"
    "                               with the prior penalty\n"
    "\n"
    "  covariance [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]\n"
    "      --alg FILE --constant C [--factors F1,F2,F3] [--optimistic] [--out FILE]\n"
    "      [--priors FILE.pri]\n"
    "      Reads the data files as evaluate does and calculates the covariance\n"
    "      matrix of the free parameters (non-zero steps in FILE) around the values\n"
    "      of FILE from numerical Hessians on three grids. Prints centre_objective,\n"
    "      gridG positive_definite or not_positive_definite for G = 1, 2, 3, and one\n"
    "      line seG_pN SE per grid and free parameter (-1: not calculated). Exit\n"
    "      status 1 when a grid's Hessian was not positive definite.\n"
    "      --constant C             -ln[likelihood] = C x objective, C > 0 (0.5 for\n"
    "                               this model's objective, -2 ln L)\n"
    "      --factors F1,F2,F3       grid factors times the steps, each > 0\n"
    "                               (default 1,0.1,0.01)\n"
    "      --optimistic             conditional SEs only: diagonal points, no\n"
    "                               correlations\n"
    "      --out FILE               the covariance report (.cov) as the display\n"
    "                               window saves it; never one of the input files\n"
    "      --priors FILE.pri        as for evaluate, scaled by 1/C of --constant;\n"
    "                               prints prior_penalty at the centre\n"
    "\n"
    "  summary [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]\n"
    "      --alg FILE [--sims N] [--seed S] [--frequency-table] [--increment-table]\n"
    "      [--chi-square] [--out FILE] [--plots DIR]\n"
    "      [--priors FILE.pri --constant C [--review]]\n"
    "      Reads the data files as evaluate does, evaluates the values of FILE once\n"
    "      and writes the results summary (.ovo) as the summary window shows it.\n"
    "      --sims N                 chi-square simulations (default 0)\n"
    "      --seed S                 seed of the first chi-square test, S + 1 of the\n"
    "                               next and so on (default 1)\n"
    "      --frequency-table        the table of observed and expected frequencies\n"
    "      --increment-table        the table of the increment records\n"
    "      --chi-square             the chi-square diagnostics (with --sims N > 0)\n"
    "      --out FILE               the summary file, as the window's save writes it;\n"
    "                               without it the report goes to standard output\n"
    "      --plots DIR              the data and prediction plot pages as\n"
    "                               DIR/page-01.svg, page-02.svg, ...\n"
    "      --priors FILE.pri ...    as for evaluate; the summary notes the priors\n"
    "                               and prior_penalty (and the review) follow it\n"
    "\n"
    "  profile [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]\n"
    "      --alg FILE --param P --constant C [--points N] [--method simplex|marquardt]\n"
    "      [--steps-from FILE.cov --grid G] [--out FILE.mlc] [--plot FILE.svg]\n"
    "      [--priors FILE.pri]\n"
    "      Reads the data files as evaluate does and calculates the maximum-\n"
    "      likelihood profile of parameter P around its value in FILE, re-minimizing\n"
    "      the other free parameters at every point, and writes the distribution\n"
    "      report (.mlc) as the report window shows it. Then prints points N, mode\n"
    "      VALUE and the likelihood-ratio 95% interval as lr95_lower and lr95_upper\n"
    "      (VALUE, or open on a side the profile does not reach). Exit status 1\n"
    "      when the profile was cut or the interval is open on both sides.\n"
    "      --constant C             -ln[likelihood] = C x objective, C > 0\n"
    "      --points N               points, 0..1001 (default 25; 0 gives 25, fewer\n"
    "                               than 3 give 3, an even N the next odd number)\n"
    "      --method M               simplex (default) or marquardt (numerical\n"
    "                               derivatives)\n"
    "      --steps-from FILE.cov    every free step 8 SE / (N - 1) from grid G\n"
    "        --grid G               (1, 2 or 3) of a saved covariance file\n"
    "      --out FILE               the report file, as the window's save writes it;\n"
    "                               without it the report goes to standard output\n"
    "      --plot FILE.svg          curve 2 (confidence distribution) and curve 1\n"
    "                               (likelihood profile), lines and points\n"
    "      --priors FILE.pri        as for evaluate, scaled by 1/C of --constant;\n"
    "                               prints prior_penalty at the values of FILE\n"
    "\n"
    "  prior-profile --priors FILE.pri --param P [--points N] --out FILE.pdp\n"
    "      [--plot FILE.svg]\n"
    "      Reads the priors file as evaluate does and profiles the prior of\n"
    "      parameter P as the prior editor's \"Profile prior distributions\" does:\n"
    "      its -ln[L] at N points over the domain its terms give, with the\n"
    "      distribution statistics. Writes the report (.pdp) as the report window\n"
    "      saves it and prints points, mode, mean and se. Exit status 2 for a\n"
    "      uniform-unbounded prior or one that cannot be profiled.\n"
    "      --points N               points, 0..1001 (default 101; 0 gives 101, fewer\n"
    "                               than 3 give 3, an even N the next odd number)\n"
    "      --plot FILE.svg          curve 2 (prior distribution) and curve 1\n"
    "                               (-ln[L]), lines and points\n"
    "  rank [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]\n"
    "      --alg FILE [--cov FILE] [--notes TEXT] --alg FILE [--cov FILE] ...\n"
    "      --constant C [--c-hat X] [--priors FILE.pri] [--average] [--out FILE]\n"
    "      Reads the data files as evaluate does, evaluates each algorithm file once\n"
    "      as a competing model (two to 99, in the order given) and ranks them as the\n"
    "      ranking window does: -ln[L] = C x objective, K free parameters, AICc with\n"
    "      n the model's observation count, differences and Akaike weights. Prints\n"
    "      one line per model: rank (- when it has no criterion value), entry,\n"
    "      neg_log_l, K, the criterion, delta, weight and the algorithm file.\n"
    "      --cov FILE               after its --alg: the model's covariance file\n"
    "                               (default: the algorithm file's name with .cov,\n"
    "                               in its folder, when it exists)\n"
    "      --notes TEXT             after its --alg: notes on the model\n"
    "      --constant C             -ln[likelihood] = C x objective, C > 0\n"
    "      --c-hat X                overdispersion, X >= 1 (default 1); above 1\n"
    "                               the models are ranked by QAICc\n"
    "      --priors FILE.pri        as for evaluate, scaled by 1/C of --constant\n"
    "      --average                average the estimates and standard errors of\n"
    "                               the covariance files with the weights; prints\n"
    "                               param, average and se_grid1..3 (-1: a grid\n"
    "                               some model did not calculate)\n"
    "      --out FILE               the ranking file (.mms) as the window saves it\n"
    "      Exit status 1 when a model has no criterion value, or --average finds a\n"
    "      covariance file missing; 3 when a model's objective is not finite.\n"
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
    "Files: every command checks its files before it writes anything. An input that\n"
    "cannot be read, an output that names an input or another output, and an output\n"
    "that cannot be created end the run with status 2, every file left as it was.\n"
    "\n"
    "Exit status: 0 success, 1 incomplete run, 2 bad input, 3 objective not finite.\n"
    "\n"
    "Options:\n"
    "  --help       show this text and exit\n"
    "  --version    show the version and exit\n";

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
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
    if (command == "covariance")
        return runCovarianceCommand(rest, out, err);
    if (command == "simulate")
        return runSimulateCommand(rest, out, err);
    if (command == "summary")
        return runSummaryCommand(rest, out, err);
    if (command == "profile")
        return runProfileCommand(rest, out, err);
    if (command == "rank")
        return runRankCommand(rest, out, err);
    if (command == "prior-profile")
        return runPriorProfileCommand(rest, out, err);
    err << "orvanta-batch: unknown command '" << command << "'\n\n" << usageText;
    return batchExit::badInput;
}

} // namespace

int runToTheEnd(const std::function<int()>& run, std::ostream& err)
{
    try {
        return run();
    } catch (const std::exception& e) {
        err << "orvanta-batch: the run stopped on an unexpected error: " << e.what() << "\n";
    } catch (...) {
        err << "orvanta-batch: the run stopped on an unexpected error\n";
    }
    return batchExit::badInput;
}

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    return runToTheEnd([&] { return runCommand(args, out, err); }, err);
}

} // namespace orvanta
