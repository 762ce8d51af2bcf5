#include "app/InfoWindows.h"

namespace orvanta {

InfoWindow::InfoWindow(std::string name, std::string caption, std::string textBoxName, std::string text)
    : Window(std::move(name), std::move(caption)), textBoxName_(std::move(textBoxName)), text_(std::move(text))
{
}

std::string defaultNamesText()
{
    const char* paragraphs[] = {
        "Orvanta is most user-friendly when used at a resolution of 1280 X 1024 pixels (small or large fonts).  "
        "It's not too bad at 1152 X 864 pixels (small fonts) or 1024 X 768 pixels (small fonts).  Lower "
        "resolutions or large fonts tend to be less satisfactory.",
        "An unnamed file to which data are to be saved will be given a default, but changable, 8-digit "
        "time-date based name. "
        " For example: 'mmddhhmm.alg' for an algorithm file.",
        "A value of -1 for standard errors and associated outputs in the covariance "
        "routine indicates that no reliable values for those outputs could be generated, i.e., the Hessian "
        "matrix was not positive-definite.  You might try the Bayesian or maximum-likelihood routines.",
        "Occasionally, and depending on the particular model, a value that you know should be positive (or "
        "negative) will appear as negative (or positive) during minimization."
        " Don't worry, Orvanta knows what's going on and retains and reports the proper sign for that value.",
        "Occasionally, a value you fixed at zero (0) might appear as a very small number (e.g., 0.00001) in the "
        "output summary."
        " This means that Orvanta avoided 'divide by zero' or 'Log[0]' errors by safely choosing that small "
        "number inconsequentially different from zero.",
    };
    std::string text;
    for (const char* paragraph : paragraphs) {
        if (!text.empty())
            text += "\n\n";
        text += paragraph;
    }
    return text;
}

std::string wisdomText()
{
    // Each line with the number of line breaks that follow it.
    const std::pair<const char*, int> lines[] = {
        {"By far the single most common cause of a frustrating program crash is an unwise choice of initial "
         "model parameters to begin a minimization.",
         1},
        {"For example, poor parameter estimates can lead to untrapped overflows, logarithms or square roots of "
         "zero or negative numbers, or divisions by zero.",
         1},
        {"When possible (often it's not), use a spreadsheet and its graphics to judge how well particular "
         "parameter values suit a data set to be analyzed.",
         1},
        {"When the objective function of a particular model seems sensitive to parameter values, choose small "
         "initial step sizes when beginning a minimization.",
         1},
        {"Poor or unsatisfactory model performance can be due to incompatibility between the model and the "
         "data.  Be sure you've chosen the appropriate model.",
         2},
        {"Extremely large values for the objective function are likely due to a penalty value that keeps "
         "parameter values within acceptable limits, e.g., 0<=p<=1.",
         1},
        {"When model-building, try to use parameterizations that are biologically meaningful, rather than, "
         "say, polynomial coefficients which are difficult to guess.",
         1},
        {"Of course, the appropriate use of link functions can be helpful, but you'll then need to "
         "back-transform the SEs of the transformed parameters.",
         2},
        {"YOU ARE THUS WELL ADVISED TO GIVE CONSIDERABLE THOUGHT TO YOUR CHOICE OF INITIAL PARAMETER VALUES AND "
         "STEP SIZES!",
         2},
        {"A very useful technical reference is:", 2},
        {"Nelder, J. A. and R. Mead. 1965. A simplex method for function minimization. The Computer Journal "
         "7: 308-313.",
         2},
        {"The model selection, ranking and inference philosophies and routines used in this modelling package "
         "are based on the excellent reference book:",
         2},
        {"Burnham, K. P. and D. R. Anderson. 2002. Model selection and multimodel inference: a practical "
         "information-theoretic approach. Second edition. Springer, New York.",
         2},
    };
    std::string text;
    for (const auto& [line, breaks] : lines)
        text += line + std::string(static_cast<size_t>(breaks), '\n');
    return text;
}

std::string creditsText()
{
    return "Orvanta: parameter estimation and evaluation for non-linear models\n"
           "for Windows, macOS and Linux desktops\n"
           "\n"
           "With thanks to the people who built and tested it:\n"
           "     Mara Ellison\n"
           "     Tomas Reyna\n"
           "     Ingrid Halvorsen\n"
           "\n"
           "The Simplex minimizer follows the method described in:\n"
           "     Nelder, J. A. and R. Mead. 1965. A simplex method for function minimization.\n"
           "     The Computer Journal 7: 308-313.\n"
           "\n"
           "The Tarnfield size frequency and growth increment model was developed by the Tarnfield "
           "population dynamics research group.\n";
}

std::unique_ptr<InfoWindow> makeDefaultsWindow()
{
    return std::make_unique<InfoWindow>("frmDefaults", "Default names and values etc.", "txtDefaultNames",
                                        defaultNamesText());
}

std::unique_ptr<InfoWindow> makeWisdomWindow()
{
    return std::make_unique<InfoWindow>("frmWisdom", "Patience and wisdom lead to satisfying results", "txtWisdom",
                                        wisdomText());
}

std::unique_ptr<InfoWindow> makeCreditsWindow()
{
    return std::make_unique<InfoWindow>("frmCredits", "Thanks everyone", "txtCredits", creditsText());
}

HelpWindow::HelpWindow() : Window(windowName, "Help")
{
    TwipGeometry g;
    g.left = 1000;
    g.top = 1000;
    g.width = 10000;
    g.height = 7500;
    setGeometry(g);
}

void HelpWindow::setText(std::string text)
{
    text_ = std::move(text);
    notifyChanged();
}

} // namespace orvanta
