#pragma once

// The initialization window "frmInitialize": the user picks the data files, the first frequency
// cell and the error distribution of the increments; "OK" reads the files through MODEL with
// call code 0 and starts a fresh parameter set for the model.

#include "model/TarnfieldModel.h"
#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <optional>
#include <string>

namespace orvanta {

class Application;

class InitializationWindow : public Window {
public:
    static constexpr const char* windowName = "frmInitialize";
    static constexpr int designLeft = 4250;
    static constexpr int designTop = 1000;
    // The main window's caption from the moment this window opens.
    static constexpr const char* mainWindowCaption =
        "Steady-state size frequency and growth increment analysis";

    struct Label {
        std::string name;
        std::string text;
    };
    struct TextBox {
        std::string name;
        std::string text;
        int tabIndex = 0;
        bool enabled = true;
    };
    struct Frame {
        std::string name;
        std::string caption;
        bool enabled = true;
    };
    struct OptionButton {
        std::string name;
        std::string caption;
        std::string toolTip;
        bool enabled = true;
        bool selected = false;
    };
    // Asks the view to put the keyboard focus on a control; serial grows with every request,
    // so that a repeated request for the same control is seen too.
    struct FocusRequest {
        std::string control;
        int serial = 0;
    };

    InitializationWindow(Application& app, TarnfieldModel& model);

    // What the view shows.
    const Label& frequencyLabel() const { return frequencyLabel_; }           // lblFrequency
    const Label& frequencyPath() const { return frequencyPath_; }             // lblFrequencyPath
    const CommandButton& frequencyButton() const { return frequencyButton_; } // cmdFrequency
    const Label& incrementLabel() const { return incrementLabel_; }           // lblIncrement
    const Label& incrementPath() const { return incrementPath_; }             // lblIncrementPath
    const CommandButton& incrementButton() const { return incrementButton_; } // cmdIncrement
    const Label& firstCellLabel() const { return firstCellLabel_; }           // lblFirst
    const TextBox& firstCellBox() const { return firstCellBox_; }             // txtFirst
    const Frame& distributionFrame() const { return distributionFrame_; }     // FraIncDist
    const OptionButton& gammaOption() const { return gammaOption_; }          // optGamma
    const OptionButton& gaussianOption() const { return gaussianOption_; }    // optGaussian
    const Label& likelihoodNote() const { return likelihoodNote_; }           // LabelLike
    const Label& frequencyFormat() const { return frequencyFormat_; }         // frmtFreqs, read-only
    const Label& incrementFormat() const { return incrementFormat_; }         // frmtIncs, read-only
    const CommandButton& okButton() const { return okButton_; }               // cmdOK
    const CommandButton& cancelButton() const { return cancelButton_; }       // cmdCancel
    const FocusRequest& focusRequest() const { return focusRequest_; }

    // True while "OK" reads the data files; every action is ignored meanwhile.
    bool busy() const { return busy_; }

    // What the view forwards. "OK", "&Cancel" and an accepted close end with this window
    // closed (destroyed): the caller must not touch it afterwards.
    void cmdFrequency_Click();
    void cmdIncrement_Click();
    void setFirstCellText(std::string text); // every edit of txtFirst
    void txtFirst_LostFocus();
    void optGamma_Click();
    void optGaussian_Click();
    void cmdCancel_Click();
    void cmdOK_Click();
    // The user closes the window; false when it stays open (while the files are read).
    bool closeRequested();

    // What "OK" hands to the model.
    InitializationRequest request() const;

    static std::string frequencyFormatText();
    static std::string incrementFormatText();

private:
    friend void initializeModel(Application&, TarnfieldModel&, const InitializationRequest&);

    void selectDistribution(bool gamma);
    bool firstCellAccepted(); // the txtFirst checks with their messages
    void requestFocus(std::string control);
    void setBusy(bool busy);

    Application& app_;
    TarnfieldModel& model_;
    bool busy_ = false;

    Label frequencyLabel_{"lblFrequency", "Frequency data file:"};
    Label frequencyPath_{"lblFrequencyPath", ""};
    CommandButton frequencyButton_{"cmdFrequency", "Load &Frequencies", "", 0, true};
    Label incrementLabel_{"lblIncrement", "Increment data file:"};
    Label incrementPath_{"lblIncrementPath", ""};
    CommandButton incrementButton_{"cmdIncrement", "Load &Increments", "", 1, true};
    Label firstCellLabel_{"lblFirst", "First frequency cell evaluated:"};
    TextBox firstCellBox_{"txtFirst", "1", 2, false};
    Frame distributionFrame_{"FraIncDist", "Choose increment error distribution:", false};
    OptionButton gammaOption_{
        "optGamma", "Gamma (b>=0)",
        "A gamma distribution will, by definition, constrain expected increments to be > 0", false, false};
    OptionButton gaussianOption_{
        "optGaussian", "Gaussian (iff b=0)",
        "A normal distribution is truncated so expected increments stay > 0 as size approaches L-infinity",
        false, false};
    Label likelihoodNote_{"LabelLike", "Note: the objective function is -2 ln[likelihood]"};
    Label frequencyFormat_{"frmtFreqs", frequencyFormatText()};
    Label incrementFormat_{"frmtIncs", incrementFormatText()};
    CommandButton okButton_{"cmdOK", "OK", "", 3, true};
    CommandButton cancelButton_{"cmdCancel", "&Cancel", "", 4, true};
    FocusRequest focusRequest_;
};

// Why a first-cell entry cannot be taken ("First frequency cell must be an integer" or "... must
// be positive"), or nothing when it can.
std::optional<std::string> firstCellProblem(const std::string& text);

// What "OK" does after the window's checks: reads the data files through MODEL with call code 0
// and starts the model's parameter set; after a refused file the session stays as it was. It
// closes the initialization window when one is open, so it works through app and model alone.
void initializeModel(Application& app, TarnfieldModel& model, const InitializationRequest& request);

// Leaves the initialization as "&Cancel" does.
void abandonInitialization(Application& app);

// Opens the initialization window (or raises it when it is open) and sets the main window's
// caption.
void openInitializationWindow(Application& app, TarnfieldModel& model);

// Connects the model and its initialization window to the shell's "&Initialize model".
void installInitialization(Application& app, TarnfieldModel& model);

} // namespace orvanta
