#include "batch/BatchProgram.h"

#include "batch/CovarianceCommand.h"
#include "batch/EvaluateCommand.h"
#include "batch/FitCommand.h"
#include "batch/ImportCommand.h"
#include "batch/PosteriorCommand.h"
#include "batch/PriorProfileCommand.h"
#include "batch/ProfileCommand.h"
#include "batch/RankCommand.h"
#include "batch/SimulateCommand.h"
#include "batch/SummaryCommand.h"

#include <algorithm>
#include <exception>
#include <optional>
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
    "           [--priors FILE.pri --constant C [--review]] [--verbose]\n"
    "      Reads the data files as the initialization window does, evaluates the\n"
    "      objective once and prints objective, increment_part, frequency_part\n"
    "      (both doubled), penalty and the cleaned params, 17 significant digits.\n"
    "      --alg FILE takes values and links from an algorithm file (.alg). The\n"
    "      model's warnings are shown once each, with their totals at the end;\n"
    "      --verbose shows the texts of the questions the batch answers too.\n"
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
    "      [--log FILE [--log-frequency N]] [--verbose] [--starts N [--seed S]]\n"
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
    "      other end OUT holds the last accepted point. Then penalty (the model's\n"
    "      penalty at the estimates; a warning when it is not 0, as the estimates\n"
    "      are then held by it) and beside each pN VALUE the value the model uses\n"
    "      (absolute values, days of maximum within the year) and its description.\n"
    "      The model's warnings are shown once each, when first seen, with their\n"
    "      totals at the end.\n"
    "      --log FILE               write progress records to FILE, every N\n"
    "        --log-frequency N      iterations (default 1; marquardt writes one\n"
    "                               after every accepted iteration)\n"
    "      --verbose                print the texts of the minimizer's window and\n"
    "                               of the questions the batch answers\n"
    "      --starts N               N runs (1..1000, default 1): from the values of\n"
    "        --seed S               IN and from N - 1 starts drawn uniformly within\n"
    "                               3 steps of them (seed S, default 1). Prints a\n"
    "                               line start_K OBJECTIVE END pN=VALUE... for each\n"
    "                               run and best_start K, then the summary of the\n"
    "                               best verified run (the best run when none is\n"
    "                               verified), which OUT holds; warns when verified\n"
    "                               minima differ by more than the convergence\n"
    "                               tolerance. Not with --log.\n"
    "      --priors FILE.pri ...    as for evaluate: the fit minimizes the objective\n"
    "                               with the prior penalty\n"
    "\n"
    "  covariance [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]\n"
    "      --alg FILE --constant C [--factors F1,F2,F3] [--optimistic] [--out FILE]\n"
    "      [--priors FILE.pri] [--verbose]\n"
    "      Reads the data files as evaluate does and calculates the covariance\n"
    "      matrix of the free parameters (non-zero steps in FILE) around the values\n"
    "      of FILE from numerical Hessians on three grids. Prints centre_objective,\n"
    "      gridG positive_definite or not_positive_definite for G = 1, 2, 3, one\n"
    "      line seG_pN SE per grid and free parameter (-1: not calculated), for\n"
    "      each pair of positive-definite grids A < B a line agreement_gA_gB X, the\n"
    "      largest relative difference of their SEs (|SE_A - SE_B| over the smaller),\n"
    "      and recommended_grid G or none: taking the positive-definite grids from\n"
    "      the largest factor (coarsest) down, the first whose SEs all agree within\n"
    "      10% (X <= 0.1) with those of the next finer positive-definite grid; none\n"
    "      with fewer than two positive-definite grids. Exit status 0 when a grid\n"
    "      is recommended, 1 when none is.\n"
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
    "  posterior [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]\n"
    "      --alg FILE --param P --constant C [--priors FILE.pri] [--points N]\n"
    "      [--grid-points M] [--steps-from FILE.cov --grid G] [--out FILE.pos]\n"
    "      [--grd FILE.grd] [--plot FILE.svg] [--bivariate-plot FILE.svg]\n"
    "      Reads the data files as evaluate does and integrates the Bayesian\n"
    "      marginal posterior of parameter P: at each of N values around its value\n"
    "      in FILE, likelihood x prior summed over M points per other free\n"
    "      parameter (at most 6, N x M^K at most 32767 calls). Writes the posterior\n"
    "      report (.pos) as the report window shows it; prints points, grid_parameters,\n"
    "      calls, mode, mean and se. Progress goes to standard error on a terminal.\n"
    "      Exit status 1 when the run leaves no distribution, 2 for a refused\n"
    "      set-up (call limit, more than 6 grid parameters, a zero step), 3 when the\n"
    "      objective is not finite at the starting values.\n"
    "      --constant C             -ln[likelihood] = C x objective, C > 0\n"
    "      --priors FILE.pri        priors in force, scaled by 1/C\n"
    "      --points N, --grid-points M\n"
    "                               1..1001 (default 25; fewer than 3 give 3, an\n"
    "                               even number the next odd number)\n"
    "      --steps-from FILE.cov    steps 7 SE / (M - 1), and 8 SE / (N - 1) for P,\n"
    "        --grid G               from grid G (1, 2 or 3) of a covariance file\n"
    "      --out FILE               the report file, as the window's save writes it;\n"
    "                               without it the report goes to standard output\n"
    "      --grd FILE.grd           the joint density as the grid file (one grid\n"
    "                               parameter only)\n"
    "      --plot FILE.svg          curve 2 (posterior) and curve 1, lines and points\n"
    "      --bivariate-plot FILE.svg  the bivariate density plot (one grid\n"
    "                               parameter only)\n"
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
    "\n"
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
    "  import frequencies --csv FILE --midpoint COL --frequency COL [--scale F]\n"
    "      --out FILE.dat\n"
    "  import increments --csv FILE [--set COL] --initial-size COL --increment COL\n"
    "      --start-day COL --end-day COL [--scale F] [--from-dates] --out FILE.dat\n"
    "      Writes the size-frequency or increment data file of a CSV table whose\n"
    "      first line names the columns (quoted fields, LF or CR LF line ends), in\n"
    "      the fixed columns the data readers take. COL is a column's name in that\n"
    "      line or its number from 1. Each value is written with as many decimals\n"
    "      as its field holds. Prints the file and the number of cells or records.\n"
    "      --scale F                multiplies sizes (midpoints, sizes at release,\n"
    "                               increments), e.g. 10 for cm to mm: the model's\n"
    "                               size cells are whole units from 0 to 250\n"
    "      frequencies: one line per cell of equal width; cells below the first\n"
    "        midpoint are written with frequency 0, so that the cells start at 0.\n"
    "      increments: one line per record; sizes may exceed 250.\n"
    "        --set COL              set numbers, 0..2000\n"
    "        --from-dates           the day columns hold release and recapture dates\n"
    "                               (YYYY-MM-DD), written as days from 31 December\n"
    "                               of the year before the first release; without\n"
    "                               --set, set numbers count release years from 1\n"
    "      Refused, naming the line, with nothing written: a value that is not a\n"
    "      number or is too wide for its field, a negative frequency or one above\n"
    "      9999, more than 250 cells or 2000 records, midpoints not of one width,\n"
    "      a set number outside 0..2000.\n"
    "\n"
    "Files: every command checks its files before it writes anything. An input that\n"
    "cannot be read, an output that names an input or another output, and an output\n"
    "that cannot be created end the run with status 2, every file left as it was.\n"
    "\n"
    "Exit status: 0 success, 1 incomplete run, 2 bad input, 3 objective not finite.\n"
    "\n"
    "Options:\n"
    "  --help       show this text and exit; COMMAND --help (or help COMMAND)\n"
    "               shows the usage of one command\n"
    "  --version    show the version and exit\n";

// The part of usageText between the line starting with first and the line starting with next.
std::string usagePart(const std::string& first, const std::string& next)
{
    const std::string text = usageText;
    const size_t start = text.find(first);
    if (start == std::string::npos)
        return {};
    return text.substr(start, text.find(next, start) - start);
}

// The usage of one command: its section of usageText (from its line "  NAME ..." to the next
// command's line or the end of the list), then what every command shares (files, exit status);
// nothing for a name that is not a command.
std::optional<std::string> commandUsage(const std::string& command)
{
    const std::string text = usageText;
    const std::string lead = "\n  " + command + " ";
    size_t start = text.find(lead, text.find("\nCommands:\n"));
    if (command.empty() || start == std::string::npos)
        return std::nullopt;
    start += 3;
    size_t end = start;
    // The section's own lines are indented by more than the two blanks of a command's line.
    while ((end = text.find('\n', end)) != std::string::npos) {
        ++end;
        if (end < text.size() && text[end] != '\n' && text.compare(end, 3, "   ") != 0)
            break;
    }
    std::string section = text.substr(start, end - start);
    while (section.size() > 1 && section[section.size() - 2] == '\n')
        section.pop_back();
    return "Usage: orvanta-batch " + section + "\n" + usagePart("Files:", "\nOptions:");
}

// Whether the words after the command ask for its help.
bool asksForHelp(const std::vector<std::string>& rest)
{
    return std::find_if(rest.begin(), rest.end(), [](const std::string& word) {
               return word == "--help" || word == "-h";
           }) != rest.end();
}

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << usageText;
        return batchExit::badInput;
    }
    const std::string& command = args.front();
    if (command == "--help" || command == "-h" || command == "help") {
        const std::optional<std::string> usage = args.size() > 1 ? commandUsage(args[1]) : std::nullopt;
        out << usage.value_or(usageText);
        return batchExit::success;
    }
    if (command == "--version") {
        out << "orvanta-batch " << ORVANTA_VERSION << "\n";
        return batchExit::success;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (const std::optional<std::string> usage = commandUsage(command); usage && asksForHelp(rest)) {
        out << *usage;
        return batchExit::success;
    }
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
    if (command == "posterior")
        return runPosteriorCommand(rest, out, err);
    if (command == "rank")
        return runRankCommand(rest, out, err);
    if (command == "import")
        return runImportCommand(rest, out, err);
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
