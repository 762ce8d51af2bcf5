#include "priors/PriorsFileCommands.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "priors/PriorProblem.h"
#include "priors/PriorsFile.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"

#include <optional>

namespace orvanta {

namespace {

void tell(Application& app, const std::string& text, Icon icon)
{
    app.ui().showMessage(text, priorsText::bayesInformationTitle, Buttons::OK, icon);
}

std::string fileNamed(const std::string& path)
{
    return "Bayesian priors file  " + path + "  ";
}

void tellNotRead(Application& app, const std::string& path, const std::optional<PriorsFileReading>& reading)
{
    std::string text = fileNamed(path);
    if (reading)
        text += tooFewLinesText(*reading) + ".";
    else
        text += "could not be read.";
    tell(app, text + "\nThe priors have not been changed.", Icon::Exclamation);
}

void takeCountMismatch(Application& app, const PriorsFileReading& reading)
{
    const int paramCount = app.algorithm.paramCount;
    tell(app,
         fileNamed(app.session.priorsFileName) + "has " + numberText(reading.fileCount) +
             " parameters, but your model specifies " + numberText(paramCount) +
             ".\nTherefore default (uniform-unbounded) priors have been loaded instead.",
         Icon::CriticalInformation);
    resetPriorsToUniform(app.priors, paramCount);
    app.session.priorsActive = false;
}

void takeLoadedPriors(Application& app, PriorsFileReading reading)
{
    const int paramCount = app.algorithm.paramCount;
    app.priors = std::move(reading.priors);
    if (MainMenuWindow* menu = app.mainMenu())
        menu->setVisible(false);
    tell(app, "Bayesian Priors file " + app.session.priorsFileName + " has been loaded", Icon::Information);
    app.session.priorsActive = anyPriorSet(app.priors, paramCount);
    if (const std::string problem = priorsProblem(app.priors, paramCount); !problem.empty())
        tell(app,
             problem +
                 "\n\nCorrect it in the prior editor: until then no objective with priors in force has a "
                 "finite value.",
             Icon::Exclamation);
}

} // namespace

PriorsFileRead readPriorsFile(Application& app, const std::string& path)
{
    const std::optional<std::string> bytes = readPriorsFileBytes(path);
    if (!bytes) {
        tellNotRead(app, path, std::nullopt);
        return PriorsFileRead::NotRead;
    }
    PriorsFileReading reading = readPriorsText(*bytes, app.algorithm.paramCount);
    if (reading.problem == PriorsFileProblem::TooFewLines) {
        tellNotRead(app, path, reading);
        return PriorsFileRead::NotRead;
    }
    app.session.priorsFileName = path;
    if (reading.problem == PriorsFileProblem::CountMismatch) {
        takeCountMismatch(app, reading);
        return PriorsFileRead::CountMismatch;
    }
    takeLoadedPriors(app, std::move(reading));
    return PriorsFileRead::Loaded;
}

bool writePriorsFile(Application& app, PriorsSaver saver)
{
    SessionState& session = app.session;
    if (session.priorsFileName.empty())
        session.priorsFileName = dateTimeName(app.clock(), priorsText::fileExtension);

    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = priorsText::saveDialogTitle;
    request.filter = fileFilter(priorsText::saveFilterEntry);
    request.filterIndex = 2;
    request.defaultName = session.priorsFileName;
    const std::optional<std::string> path = app.ui().chooseFile(request);
    if (!path)
        return false;
    if (!saveTextFile(*path, priorsFileText(app.priors, app.algorithm.paramCount), app.files())) {
        reportSaveFailure(app.ui(), *path);
        return false;
    }
    session.priorsFileName = *path;
    if (saver == PriorsSaver::MainMenu) {
        showPriorsFileName(app, session.priorsFileName);
    } else {
        session.priorsBaseName = baseNameOf(session.priorsFileName, session.priorsBaseName);
        showPriorsFileName(app, session.priorsBaseName);
    }
    return true;
}

void showPriorsFileName(Application& app, const std::string& name)
{
    app.mainWindow.setPanel(statusBar::algorithm, 2, priorsText::panelPrefix + name);
}

} // namespace orvanta
