#include "gui/MainMenuView.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "gui/ControlBinding.h"
#include "gui/GrowthCurvePicture.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace orvanta::gui {

namespace {

// Where each tool sits in the button grid: the data and minimizer tools on the left (the two
// minimizers beside "Minimize with..." in column 0), the evaluation tools on the right, "&Quit"
// at the bottom right.
struct Place {
    const char* name;
    int row;
    int column;
    int columnSpan;
};
constexpr int rightColumn = 3;
constexpr Place places[] = {
    {menuButton::initialize, 0, 0, 2},
    {menuButton::loadAlg, 1, 0, 2},
    {menuButton::editAlg, 2, 0, 2},
    {menuButton::saveAlg, 3, 0, 2},
    {menuButton::simplex, 4, 1, 1},
    {menuButton::marquardt, 5, 1, 1},
    {menuButton::userSummary, 0, rightColumn, 1},
    {menuButton::oneFunction, 1, rightColumn, 1},
    {menuButton::covariance, 2, rightColumn, 1},
    {menuButton::bayesian, 3, rightColumn, 1},
    {menuButton::parEstimate, 4, rightColumn, 1},
    {menuButton::rank, 5, rightColumn, 1},
    {menuButton::quit, 7, rightColumn, 1},
};
constexpr int minimizeRow = 4;
constexpr int captionPadding = 16;
constexpr int firstFreeRow = 8;

const Place* placeOf(const std::string& name)
{
    for (const Place& place : places)
        if (name == place.name)
            return &place;
    return nullptr;
}

} // namespace

MainMenuView::MainMenuView(MainMenuWindow& window, Application& app) : WindowView(window, app)
{
    welcome_ = makePlainLabel("lblWelcome", this);
    welcome_->setText(qs(MainMenuWindow::welcomeText));
    welcome_->setWordWrap(true);
    QFont welcomeFont = welcome_->font();
    welcomeFont.setPointSizeF(welcomeFont.pointSizeF() * 1.25);
    welcomeFont.setBold(true);
    welcome_->setFont(welcomeFont);

    modelName_ = makePlainLabel("lblModelName", this);
    modelName_->setWordWrap(true);
    QFont modelFont = modelName_->font();
    modelFont.setItalic(true);
    modelName_->setFont(modelFont);

    picture_ = makePlainLabel("imgHandshake", this);
    picture_->setPixmap(growthCurvePicture(QSize(112, 84), devicePixelRatioF()));

    minimizeWith_ = makePlainLabel("lblMinimize", this);
    minimizeWith_->setText(qs(MainMenuWindow::minimizeWithText));
    minimizeWith_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    createButtons(window);
    arrange();
    setTabOrderByIndex(window);
}

QPushButton* MainMenuView::button(const std::string& name) const
{
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void MainMenuView::createButtons(const MainMenuWindow& window)
{
    for (const CommandButton& model : window.buttons()) {
        QPushButton* button = makePushButton(model.name, this);
        const std::string name = model.name;
        connect(button, &QPushButton::clicked, this, [this, name] { app().mainMenuButtonClicked(name); });
        buttons_[name] = button;
    }
}

void MainMenuView::arrange()
{
    auto* header = new QGridLayout;
    header->setHorizontalSpacing(16);
    header->addWidget(picture_, 0, 0, 2, 1, Qt::AlignTop);
    header->addWidget(welcome_, 0, 1);
    header->addWidget(modelName_, 1, 1);
    header->setColumnStretch(1, 1);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnMinimumWidth(2, 14);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(rightColumn, 1);
    grid->setRowMinimumHeight(6, 10);
    // "Minimize with..." reads into the two minimizer buttons beside it.
    grid->addWidget(minimizeWith_, minimizeRow, 0, 2, 1);
    int nextRow = firstFreeRow;
    for (const auto& [name, button] : buttons_) {
        if (const Place* place = placeOf(name))
            grid->addWidget(button, place->row, place->column, 1, place->columnSpan);
        else
            grid->addWidget(button, nextRow++, rightColumn);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(12);
    layout->addLayout(header);
    layout->addWidget(rule);
    layout->addLayout(grid);
    layout->addStretch(1);
}

void MainMenuView::setTabOrderByIndex(const MainMenuWindow& window)
{
    std::vector<CommandButton> ordered = window.buttons();
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const CommandButton& a, const CommandButton& b) { return a.tabIndex < b.tabIndex; });
    for (size_t i = 1; i < ordered.size(); ++i)
        setTabOrder(button(ordered[i - 1].name), button(ordered[i].name));
}

void MainMenuView::refreshContent()
{
    const auto* window = static_cast<const MainMenuWindow*>(model());
    modelName_->setText(qs(window->modelName()));
    if (window->focusButton() != focusButton_) {
        focusButton_ = window->focusButton();
        if (QPushButton* b = button(focusButton_))
            b->setFocus();
    }
    for (const CommandButton& model : window->buttons()) {
        QPushButton* b = button(model.name);
        b->setText(qs(model.caption));
        b->setToolTip(qs(model.toolTip));
        b->setEnabled(model.enabled);
        // Some room around the caption, which Qt's button hint leaves tight.
        b->setMinimumWidth(b->sizeHint().width() + captionPadding);
    }
}

} // namespace orvanta::gui
