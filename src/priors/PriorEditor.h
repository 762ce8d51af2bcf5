#pragma once

// The prior editor "frmSetPriors": one grid row per parameter with its prior type and terms.
// The user marks a row with a click and sets its prior through the menu "&Edit prior
// distributions"; the editor also saves the priors, previews one prior's distribution (a prior
// profile, PriorProfile.h), shows a help text and, when it closes, asks to save them and
// prepares covScale, the scale of the prior penalty. The load-priors window opens it
// (PriorsFlow.h). The windowing layer shows its state and forwards the user's actions.

#include "algorithm/EditorGrid.h"
#include "app/MainWindow.h"
#include "priors/PriorSpec.h"
#include "ui/Window.h"

#include <array>
#include <string>
#include <vector>

namespace orvanta {

class Application;

namespace priorGridColumn {
inline constexpr int parameter = 0;
inline constexpr int type = 1;
inline constexpr int firstMean = 2;
inline constexpr int firstSD = 3;
inline constexpr int secondMean = 4;
inline constexpr int secondSD = 5;
inline constexpr int description = 6;
inline constexpr int count = 7;
} // namespace priorGridColumn

namespace priorEditorText {
inline constexpr const char* caption = "Set prior distributions";
inline constexpr const char* label = "Select a parameter then choose an action from the menu bar";
inline constexpr const char* unsetNote =
    "Note: Unset parameters in your Bayesian Priors file have the value '*'";
inline constexpr const char* finishedMessage = "Bayesian priors data, if changed, have been updated";
inline constexpr const char* finishedTitle = "Just so you know";
inline constexpr const char* saveQuestion = "Save Bayesian priors now?";
inline constexpr const char* saveTitle = "Save Bayesian priors";
} // namespace priorEditorText

// A term as the grid shows it: "*" for the unset marker, otherwise pattern "0.000E+000" for a
// first term and numberText for a numeric second term; a text second term ("Unused") as itself.
std::string priorFirstTermText(double value);
std::string priorSecondTermText(const PriorTerm& term);

// The help text of "&Help with prior distributions", line by line.
std::string priorHelpText();

class PriorEditor : public Window {
public:
    static constexpr const char* windowName = "frmSetPriors";
    static constexpr int designLeft = 1500;
    static constexpr int designTop = 2000;
    static constexpr int designWidth = 12200;
    static constexpr int designHeight = 5300;
    static constexpr int gridWidth = 11900;
    static constexpr int headingRows = 2;

    // returnsToMainMenu: the main menu window is shown again when the editor closes (the open
    // flow has returned to its caller already).
    PriorEditor(Application& app, bool returnsToMainMenu);

    // The opening: "Main &menu" disabled, the note on the status bar, the grid built with the
    // colours of the priors, row 2 (parameter 1) selected and no row marked.
    void runOpening();

    const std::string& label() const { return label_; } // Lbl1
    static int columnWidth(int column);                 // twips

    // The grid, the two heading rows included (row p + 1 shows parameter p).
    int rowCount() const;
    GridCell cell(int row, int column) const;
    int selectedRow() const { return selectedRow_; }
    int markedRow() const { return markedRow_; } // 0: no row is marked
    const std::vector<MenuEntry>& menus() const { return menus_; }
    bool returnsToMainMenu() const { return returnsToMainMenu_; }

    // What the view forwards. Rows 0 and 1 count as row 2.
    void grdSetPriors_Click(int row);
    // A menu entry by name; the "&Window" arrangements belong to the windowing layer. "E&xit"
    // and "&Finished" may end with the editor closed (destroyed).
    void menuChosen(const std::string& entryName);
    void closeRequested(); // the title-bar close, as "&Finished"

    // True from the start of the closing on: the editor then takes no more actions.
    bool closing() const { return closing_; }
    void beginClosing() { closing_ = true; }

private:
    using RowRoles = std::array<CellRole, priorGridColumn::count>;

    int paramCount() const;
    // The last column of a row's mark and entry colours: 5 for the uniform-bounded type, else 3.
    int lastColouredColumn(int row) const;
    void colourRowAsOpened(int row);
    void unmarkRow();
    void enterPrior(PriorType type);
    void showHelp();

    Application& app_;
    bool returnsToMainMenu_;
    std::string label_ = priorEditorText::label;
    std::vector<RowRoles> roles_; // by row; the heading rows are plain
    int selectedRow_ = headingRows;
    int markedRow_ = 0;
    CellRole roleBeforeMark_ = CellRole::Plain;
    std::vector<MenuEntry> menus_;
    bool closing_ = false;
};

// Opens the editor on the priors (or raises it when it is open). With returnsToMainMenu the main
// menu window is hidden and "&Application" disabled until the editor closes.
PriorEditor& openPriorEditor(Application& app, bool returnsToMainMenu);

// Closing the editor ("&Finished" or the close box): the user told, the save question when some
// prior is not uniform-unbounded, covScale prepared, then back to the window that started the
// priors flow.
void finishPriorEditing(Application& app);

} // namespace orvanta
