#pragma once

// The model ranking window "frmRank": the user brings competing models of the same data in by
// loading or editing their algorithm files and pressing "Calculate model AICc", which evaluates
// the objective once and lists the model in the grid "grdRank". "&Rank competing models" orders
// the list by AICc (QAICc while C-hat is above 1) with differences and Akaike weights (the
// mathematics are in ModelRanking.h); "&Average across models" averages the estimates and
// standard errors read back from the models' covariance files (ModelAveraging.h); the list is
// saved as a .mms file (RankingFile.h). The windowing layer shows the window's state and
// forwards the user's actions to the handlers below.
//
// Each entry keeps the folder of its algorithm file. Its covariance file is first looked for
// under the algorithm file's name with ".cov" in that folder; a name the user types is used as
// typed. The averaging reads the file found there.

#include "algorithm/EditorGrid.h"
#include "ranking/ModelAveraging.h"
#include "ranking/ModelRanking.h"
#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class Application;

// Control names of the ranking window.
namespace rankingControl {
inline constexpr const char* loadAlg = "cmdLoadAlg";
inline constexpr const char* editAlg = "cmdEditAlg";
inline constexpr const char* saveAlg = "cmdSaveAlg";
inline constexpr const char* bayesian = "cmdBayesian";
inline constexpr const char* aicc = "cmdAICc";
inline constexpr const char* qaicc = "cmdQAICc";
inline constexpr const char* rank = "cmdRank";
inline constexpr const char* average = "cmdAverage";
inline constexpr const char* saveRank = "cmdSaveRank";
inline constexpr const char* finish = "cmdFinish";
inline constexpr const char* grid = "grdRank";
inline constexpr const char* cHatBox = "txtCHat";
inline constexpr const char* averageBox = "txtAverage";
inline constexpr const char* averageLabel = "lblAverage";
} // namespace rankingControl

namespace rankingText {
inline constexpr const char* caption = "Model selection, ranking and averaging";
inline constexpr const char* constantPanel = "One moment please while one function is executed...";
inline constexpr const char* limitMessage = "Sorry, no more than 99 models can be ranked";
inline constexpr const char* limitTitle = "Model limit reached";
inline constexpr const char* cHatPrompt =
    "Input a value for C-hat (1 or greater) to correct for unexplained overdispersion:";
inline constexpr const char* cHatTitle = "Overdispersion correction";
inline constexpr const char* covariancePrompt = "Please input the desired covariance file name";
inline constexpr const char* covarianceTitle = "Choose an associated covariance file";
inline constexpr const char* notesPrompt = "Enter your annotations concerning the selected model";
inline constexpr const char* notesTitle = "Model notes";
inline constexpr const char* notesDefault = "Add your notation here";
inline constexpr const char* notRankedTitle = "Models not ranked";
inline constexpr const char* missingCovarianceMessage =
    "Sorry, the covariance file is missing for at least one ranked model";
inline constexpr const char* averagingTitle = "Can't average models";
inline constexpr const char* saveQuestion = "Do you want to save ranking results?";
inline constexpr const char* saveQuestionTitle = "What about ranking results!";
inline constexpr const char* saveDialogTitle = "Save model ranking results in...";
inline constexpr const char* saveFilterEntry = "Multi-model statistics files (*.mms)|*.mms";
inline constexpr const char* fileExtension = ".mms";
} // namespace rankingText

namespace rankColumn {
inline constexpr int label = 0;
inline constexpr int negLogL = 1;
inline constexpr int K = 2;
inline constexpr int criterion = 3;
inline constexpr int delta = 4;
inline constexpr int weight = 5;
inline constexpr int algorithmFile = 6;
inline constexpr int covarianceFile = 7;
inline constexpr int priorsFile = 8;
inline constexpr int notes = 9;
inline constexpr int count = 10;
} // namespace rankColumn

class RankingWindow : public Window {
public:
    static constexpr const char* windowName = "frmRank";
    // Twips: the grid's width and its height in heading-row heights, the averaging box's height.
    static constexpr int gridWidth = 10500;
    static constexpr int gridVisibleRows = 18;
    static constexpr int averageHeight = 1500;

    struct Label {
        std::string name;
        std::string text;
        bool enabled = true;
    };
    // The box that shows C-hat, in the colour of the palette (green at 1, blue above).
    struct CHatBox {
        std::string text;
        int colour = paletteColour::green;
    };
    // Asks the view to put the keyboard focus on a control; serial grows with every request.
    struct FocusRequest {
        std::string control;
        int serial = 0;
    };

    // dataFileStem names the third entry of the algorithm save dialog (files named for the data).
    RankingWindow(Application& app, std::string dataFileStem);

    // The opening: "&Application" disabled, rankingOpen on, C-hat 1, an empty list, then the
    // currently loaded algorithm data entered as model 1.
    void runOpening();

    const std::vector<CommandButton>& buttons() const { return buttons_; }
    const CommandButton& button(const std::string& name) const;
    const std::vector<Label>& labels() const { return labels_; }
    const Label& label(const std::string& name) const;
    const CHatBox& cHatBox() const { return cHatBox_; }
    const std::string& averageText() const { return averageText_; } // txtAverage
    const FocusRequest& focusRequest() const { return focusRequest_; }

    // The grid: the heading row 0 and one row per model, at least one row below the heading.
    int rowCount() const;
    static int columnWidth(int column); // twips
    GridCell cell(int row, int column) const;

    // The list and its state.
    const std::vector<ModelEntry>& entries() const { return entries_; }
    double cHat() const { return cHat_; }
    Criterion criterion() const { return criterionFor(cHat_); }
    bool listRanked() const { return listRanked_; }
    bool averagingDone() const { return averagingDone_; }
    const ModelAverages& averages() const { return averages_; } // of the last averaging
    // A handler is running: the window takes no other action meanwhile.
    bool busy() const { return busy_; }

    // What the view forwards: a button by name, a double-click on a grid cell (row 0 is the
    // heading row), the title-bar close. The closing may destroy the window: the caller must not
    // touch it afterwards.
    void buttonClicked(const std::string& name);
    void grdRank_DblClick(int row, int column);
    void closeRequested();

    void cmdAICc_Click();
    void cmdQAICc_Click();
    void cmdRank_Click();
    void cmdAverage_Click();
    void cmdSaveRank_Click(); // Save_Ranks
    void cmdLoadAlg_Click();
    void cmdEditAlg_Click();
    void cmdSaveAlg_Click();
    void cmdBayesian_Click();
    void cmdFinish_Click();

    // Save_Ranks: asks for a file and writes the list (and the averaging results) to it. True
    // when it was written.
    bool Save_Ranks();
    // The text Save_Ranks writes.
    std::string rankingFileText() const;

    // Back from the algorithm editor or the priors flow: shown, with the focus on
    // "Calculate model AICc".
    void showAgain();

    void requestFocus(std::string control);

private:
    class BusyScope;

    // The covariance file of the model in row (1..models): name as typed, looked for as typed;
    // "No such file exists" when it cannot be opened.
    void associateCovarianceFile(int row, const std::string& name);
    void setNotes(int row, std::string notes);

    CommandButton& buttonRef(const std::string& name);
    void setButtonEnabled(const std::string& name, bool enabled);
    void refreshAlgorithmButtons();
    void showAveragingResults(std::string text); // empty: none
    void clearAveragingResults();
    void afterListChange();
    void markUnranked();
    void setCHat(double cHat);
    void askCHat();
    void recomputeCriteria();
    void addCurrentModel();
    double evaluateCurrentData();
    ModelEntry makeEntry(double objective) const;
    bool averagingPossible() const;
    void reportUnrankable(int ranked);
    CellRole textRole() const;
    GridCell modelCell(int row, int column) const;
    bool isModelRow(int row) const;

    Application& app_;
    std::string dataFileStem_;
    std::vector<CommandButton> buttons_;
    std::vector<Label> labels_;
    CHatBox cHatBox_;
    std::string averageText_;
    ModelAverages averages_;
    FocusRequest focusRequest_;

    std::vector<ModelEntry> entries_; // modelCount is their number
    double cHat_ = 1.0;
    bool listRanked_ = false;
    bool averagingDone_ = false;
    bool busy_ = false;
};

// The window if it is open.
RankingWindow* findRankingWindow(Application& app);

// "&Multi-model statistics" on the main menu (cmdRank_Click): the main menu closed,
// "&Application" disabled, the window opened.
void openRankingWindow(Application& app, const std::string& dataFileStem);

// Registers "cmdRank" and the way back to the window from the editor and the priors flow;
// dataFileStem gives the stem of the data files when the window opens.
void installRanking(Application& app, std::function<std::string()> dataFileStem);

} // namespace orvanta
