#pragma once

// The algorithm editor "frmAlgo": the value, step size and fuse code of every parameter in the
// grid "grdVS", the minimizer options in a panel beside it, and the buttons that open and close
// the minimization log. Edits of values, steps and fuse codes make a stored simplex and the
// covariance results stale. The windowing layer shows the editor's state and forwards the
// user's actions to the handlers below.
//
// Tools that let the user edit the algorithm data in the middle of a run use the waiting
// protocol: set session.editorClosed to false, open the editor with no opener, let interface
// events run until editorClosed is true, and set it to false again (editAlgorithmDataAndWait).

#include "algorithm/EditorGrid.h"
#include "app/MainWindow.h"
#include "app/SessionState.h"
#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class Application;
class UserInterface;

// The editor locks by number.
namespace editorLock {
inline constexpr int valueColumn = 1;
inline constexpr int stepColumn = 2;
inline constexpr int fuseColumn = 3;
inline constexpr int tolerance = 4;
inline constexpr int maxCalls = 5;
inline constexpr int terminalFrequency = 6;
inline constexpr int logSettings = 7; // log name and output frequency
inline constexpr int logButtons = 8;  // "&Open" and "&Close"
inline constexpr int reductionFraction = 9;
} // namespace editorLock

// Every part of the editor usable, as the main menu opens it.
EditorLocks noEditorLocks();
// Locks 4 to 9: the option panel locked, as the multi-model window and the covariance
// calculator open the editor.
EditorLocks optionPanelLocks();

// The option boxes the user types into; each is applied when it loses the focus.
enum class OptionBox { MaxCalls, TerminalFrequency, FileFrequency, Reduction };

// The three ways frmEditVS changes the values of all parameters.
enum class ValueSequence {
    AllProportional,  // cmdProp: every value, step = |value x proportion|
    FreeProportional, // cmdFree: free parameters only, step = value x proportion with its sign
    ValuesOnly,       // cmdNoProp: every value, steps kept
};

// What an empty answer to the step-proportion question does.
enum class EmptyProportionAnswer { ClosesEditor, EndsQuestion };

// Texts the user sees, shared by the engine and its tests.
namespace editorText {
inline constexpr const char* captionPrefix = "Algorithm data file name is:  ";
inline constexpr const char* finishedMessage = "Algorithm data, if changed, have been updated";
inline constexpr const char* finishedTitle = "Just so you know";
inline constexpr const char* logTitle = "Log file management";
inline constexpr const char* logDialogTitle = "Save minimization progress in...";
inline constexpr const char* logFilterEntry = "Orvanta log files (*.ovl)|*.ovl";
inline constexpr const char* toleranceTitle = "Change the tolerance for convergence";
inline constexpr const char* proportionPrompt =
    "Enter step size as a fraction of parameter values.\nA proportion of 0 will default to 0.1";
inline constexpr const char* proportionTitle = "Change proportionality constant";
inline constexpr const char* stepsTitle = "Edit all step sizes";
inline constexpr const char* fuseTitle = "Edit all parameter fuse characters";
inline constexpr const char* allValuesTitle = "Edit all parameter values";
inline constexpr const char* freeValuesTitle = "Edit free parameter values";
inline constexpr const char* valuesOnlyTitle = "Edit a parameter value";
} // namespace editorText

class AlgorithmEditor : public Window {
public:
    static constexpr const char* windowName = "frmAlgo";
    static constexpr int designLeft = 500;
    static constexpr int designTop = 1500;
    static constexpr int designWidth = 14250;
    // The design places input boxes at 8000, 1500 twips; dialogs here place themselves.

    struct Label {
        std::string name;
        std::string text;
        std::string toolTip = {};
        bool enabled = true;
    };
    struct TextBox {
        std::string name;
        std::string text;
        bool enabled = true;
    };
    struct Frame {
        std::string name;
        std::string caption;
        bool enabled = true;
    };
    // Asks the view to put the keyboard focus on a control; serial grows with every request.
    struct FocusRequest {
        std::string control;
        int serial = 0;
    };
    // "txtValue", placed exactly over the grid cell being edited while active.
    struct CellEditor {
        std::string name = "txtValue";
        std::string toolTip = "New value";
        bool active = false;
        int row = 0;
        int column = 0;
        std::string text;
        std::string shownText; // the cell's content when the edit began
        int serial = 0;        // grows with every edit begun
    };

    explicit AlgorithmEditor(Application& app);

    // The opening: the main menu window closed, the fuse groups and free-parameter index rebuilt,
    // the grid and the option panel filled as the locks allow. "&Update edits" runs it again.
    void runOpening();

    // The grid, heading row 0 included.
    int rowCount() const { return grid_.rowCount(); }
    GridCell cell(int row, int column) const;
    int editingRow() const { return grid_.editingRow(); }
    const CellEditor& cellEditor() const { return cellEditor_; }

    // The option panel and the fixed controls.
    const Frame& optionsFrame() const { return optionsFrame_; }               // fraOptions
    const Label& toleranceLabel() const { return toleranceLabel_; }           // lblTolerance
    const TextBox& toleranceBox() const { return toleranceBox_; }             // txtAbsRel, clicked
    const Label& simplexCallsLabel() const { return simplexCallsLabel_; }     // lblSimplex
    const Label& marquardtCallsLabel() const { return marquardtCallsLabel_; } // lblMarquardt
    const Label& terminalLabel() const { return terminalLabel_; }             // lblTerminalFreq
    const Frame& logFrame() const { return logFrame_; }                       // fraLog
    const Label& logNameLabel() const { return logNameLabel_; }               // lblLogName
    const TextBox& logNameBox() const { return logNameBox_; }                 // txtLogName, read-only
    const Label& fileFrequencyLabel() const { return fileFrequencyLabel_; }   // lblFileFreq
    const Label& reductionLabel() const { return reductionLabel_; }           // lblReduction
    const TextBox& box(OptionBox which) const;
    const CommandButton& openLogButton() const { return openLogButton_; }   // cmdOpenLog
    const CommandButton& closeLogButton() const { return closeLogButton_; } // cmdCloseLog
    const Label& note1() const { return note1_; }
    const Label& note2() const { return note2_; }
    const Label& doubleClickNote() const { return doubleClickNote_; }
    const CommandButton& finishButton() const { return finishButton_; } // cmdFinish
    const CommandButton& updateButton() const { return updateButton_; } // cmdUpdate
    const std::vector<MenuEntry>& menus() const { return menus_; }
    const FocusRequest& focusRequest() const { return focusRequest_; }

    // What the view forwards. A double-click on a heading (row 0) edits the whole column.
    void grdVS_DblClick(int row, int column);
    void setCellEditorText(std::string text); // every edit of txtValue
    void txtValue_LostFocus();
    void setBoxText(OptionBox which, std::string text); // every edit of an option box
    void boxLostFocus(OptionBox which);
    void txtAbsRel_Click();
    void cmdOpenLog_Click();
    void cmdCloseLog_Click();
    void cmdUpdate_Click();
    // A menu entry by name; the "&Window" arrangements belong to the windowing layer.
    void menuChosen(const std::string& entryName);

    // These may end with the editor closed (destroyed): the caller must not touch it afterwards.
    void cmdFinish_Click();
    void closeRequested(); // the title-bar close
    void mnuExit_Click();  // the quit flow
    void mnuProportion_Click();
    void askStepProportion(EmptyProportionAnswer onEmpty);

    void mnuValues_Click(); // opens frmEditVS
    void mnuSteps_Click();
    void mnuUnfuse_Click();

    // What frmEditVS asks of the editor.
    void editValues(ValueSequence sequence);
    void unfuseAll();

    // Applies an edit still open in txtValue, as leaving the box would.
    void commitCellEdit();
    void requestFocus(std::string control);

private:
    UserInterface& ui() const;
    bool locked(int lock) const;
    bool columnLocked(int column) const;

    void fillGrid();
    void fillOptionPanel();
    void fillTolerance();
    void fillOptionBox(OptionBox which, int lock);
    void fillLogGroup();
    void showLogState(bool open);
    // How the message names the session's algorithm, priors or data file that name stands for.
    std::optional<std::string> sessionFileNamed(const std::string& name) const;
    void showStoredOption(OptionBox which);
    void disableLogGroup();
    void updateMenuStates();

    void startGridEdit(); // every value, step or fuse edit makes fit results stale
    void headingDoubleClicked(int column);
    void beginCellEdit(int row, int column);
    void applyValueEntry(int row, const std::string& text);
    void applyStepEntry(int row, const std::string& text);
    void applyFuseEntry(int row, const std::string& text);

    void editAllSteps();
    void editAllFuseCodes();
    void openEditValuesDialog();
    std::optional<double> askNumberOnRow(int row, const std::string& prompt, const std::string& title,
                                         const std::string& defaultText);
    void setEditingRow(int row);
    void storeValue(int row, double value);
    void storeStep(int row, double step);

    void storeOption(OptionBox which, double number);
    TextBox& boxRef(OptionBox which);

    Application& app_;
    EditorGrid grid_;
    CellEditor cellEditor_;

    Frame optionsFrame_{"fraOptions", "Minimization options"};
    Label toleranceLabel_{"lblTolerance", "Absolute tolerance for convergence (TC):"};
    TextBox toleranceBox_{"txtAbsRel", ""};
    Label simplexCallsLabel_{"lblSimplex", "Simplex (maximum # function calls):"};
    Label marquardtCallsLabel_{"lblMarquardt", "Marquardt (maximum # iterations):"};
    TextBox maxCallsBox_{"txtMaxFunctions", ""};
    Label terminalLabel_{"lblTerminalFreq", "Terminal display frequency:"};
    TextBox terminalBox_{"txtTerminalFreq", ""};
    Frame logFrame_{"fraLog", "Minimization log file"};
    Label logNameLabel_{"lblLogName", "Log file name (maximum of 10.3 characters):",
                        "A log file will record the output of a minimization in progress"};
    TextBox logNameBox_{"txtLogName", ""};
    Label fileFrequencyLabel_{"lblFileFreq", "Output frequency:"};
    TextBox fileFrequencyBox_{"txtFileFreq", ""};
    CommandButton openLogButton_{"cmdOpenLog", "&Open", "", 0, true};
    CommandButton closeLogButton_{"cmdCloseLog", "&Close", "", 0, false};
    Label reductionLabel_{"lblReduction", "Step size reduction fraction:"};
    TextBox reductionBox_{"txtReduction", ""};
    Label note1_{"lblNote1", "Note 1: A step size of zero freezes the value of the corresponding parameter"};
    Label note2_{"lblNote2", "Note 2: Alphabetically fused parameters are co-estimated.  Only the parameter "
                             "of lowest ordinal rank will have a non-zero step size."};
    Label doubleClickNote_{"lblDoubleClick",
                           "Double-click to edit a Value, Step or Fuse, or double-click the "
                           "column heading to change them all"};
    CommandButton finishButton_{"cmdFinish", "&Finish editing", "", 0, true};
    CommandButton updateButton_{"cmdUpdate", "&Update edits", "", 0, true};
    std::vector<MenuEntry> menus_;
    FocusRequest focusRequest_;
};

// Whether a fuse code may be stored: "~~", or one or two characters ending in a capital A to Z.
bool acceptableFuseCode(const std::string& code);

// Opens the editor (or raises it when it is open) after recording its opener and locks.
AlgorithmEditor& openAlgorithmEditor(Application& app, EditorOpener opener, const EditorLocks& locks);

// The main menu's "&Edit  algorithm data" (cmdEditAlg_Click).
void editAlgorithmFromMainMenu(Application& app);

// Closing the editor: the fuse groups and free-parameter index rebuilt, the user told,
// editorClosed set, the opener shown again and covarianceRunning cleared.
void finishAlgorithmEditing(Application& app);

// The waiting protocol for a tool in the middle of its run: opens the editor with no opener and
// lets interface events run until it has closed (or the program ends).
void editAlgorithmDataAndWait(Application& app, const EditorLocks& locks);

// Registers "cmdEditAlg".
void installAlgorithmEditor(Application& app);

} // namespace orvanta
