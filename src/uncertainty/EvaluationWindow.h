#pragma once

// The evaluation window "frmParEvals" ("Evaluation of estimates"), opened by the main menu's
// "E&valuate single model parameter estimates" (cmdParEstimate): for one free parameter the user
// chooses a maximum-likelihood profile (LikelihoodProfile.h) or a Bayesian posterior
// distribution. The posterior belongs to its own tool, which registers its run as the command
// "cmdBP" with the application; until it does, the posterior button says that the tool is not
// available and brings the main menu back.

#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <string>
#include <utility>
#include <vector>

namespace orvanta {

class Application;

class EvaluationWindow : public Window {
public:
    static constexpr const char* windowName = "frmParEvals";
    static constexpr const char* captionText = "Evaluation of estimates";
    static constexpr int designLeft = 3000; // twips
    static constexpr int designTop = 1200;
    // The application command the posterior tool registers.
    static constexpr const char* posteriorCommand = "cmdBP";

    explicit EvaluationWindow(Application& app);

    // lblChoice, lblNote1, lblNote3, lblNote4 with their texts, in that order.
    const std::vector<std::pair<std::string, std::string>>& labels() const { return labels_; }
    const std::vector<CommandButton>& buttons() const { return buttons_; }

    // "&Maximium likelihood (ML) confidence distributions": the window closes, "&Application"
    // is disabled while the profile runs and enabled again after it.
    void cmdML_Click();
    // "&Bayesian posterior (BP) distributions": the same for the posterior.
    void cmdBP_Click();
    // "&Cancel": the window closes and the main menu returns.
    void cmdCancel_Click();

private:
    void runTool(void (*tool)(Application&));

    Application& app_;
    std::vector<std::pair<std::string, std::string>> labels_;
    std::vector<CommandButton> buttons_;
};

// "E&valuate single model parameter estimates": closes the output windows and the main menu,
// disables "&Application" and opens the evaluation window, whose opening (and closing) enables
// it again.
void cmdParEstimate_Click(Application& app);

// Registers "cmdParEstimate" with the main menu.
void installParameterEvaluation(Application& app);

} // namespace orvanta
