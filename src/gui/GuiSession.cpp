#include "gui/GuiSession.h"

#include "app/Application.h"
#include "app/Tools.h"
#include "gui/AlgorithmEditorView.h"
#include "gui/CovarianceCalculationsWindowView.h"
#include "gui/CovarianceDisplayWindowView.h"
#include "gui/DesktopView.h"
#include "gui/EditValuesDialogView.h"
#include "gui/EvaluationWindowView.h"
#include "gui/InitializationWindowView.h"
#include "gui/LoadPriorsWindowView.h"
#include "gui/MainWindowView.h"
#include "gui/MarquardtWindowView.h"
#include "gui/PlotWindowView.h"
#include "gui/PriorEditorView.h"
#include "gui/RankingWindowView.h"
#include "gui/SimplexWindowView.h"
#include "model/TarnfieldModel.h"

namespace orvanta::gui {

GuiSession::GuiSession(Application& app)
    : app_(app), model_(std::make_unique<TarnfieldModel>(app.modelHost())),
      mainWindow_(std::make_unique<MainWindowView>(app)),
      desktop_(std::make_unique<DesktopView>(app, *mainWindow_))
{
    installTools(app_, *model_);
    desktop_->addViewFactory(makeInitializationWindowView);
    desktop_->addViewFactory(makeAlgorithmEditorView);
    desktop_->addViewFactory(makeEditValuesDialogView);
    desktop_->addViewFactory(makeSimplexWindowView);
    desktop_->addViewFactory(makeMarquardtWindowView);
    desktop_->addViewFactory(makeCovarianceDisplayWindowView);
    desktop_->addViewFactory(makeCovarianceCalculationsWindowView);
    desktop_->addViewFactory(makeEvaluationWindowView);
    desktop_->addViewFactory(makePlotWindowView);
    desktop_->addViewFactory(makeLoadPriorsWindowView);
    desktop_->addViewFactory(makePriorEditorView);
    desktop_->addViewFactory(makeRankingWindowView);
    app_.desktop.setObserver(desktop_.get());
    // Windows the engine opened before the views existed.
    for (Window* window : app_.desktop.windows())
        desktop_->windowOpened(*window);
}

GuiSession::~GuiSession()
{
    app_.desktop.setObserver(nullptr);
    desktop_.reset();
    mainWindow_.reset();
}

} // namespace orvanta::gui
