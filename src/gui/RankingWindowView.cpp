#include "gui/RankingWindowView.h"

#include "gui/ClassicPalette.h"
#include "gui/ControlBinding.h"
#include "gui/GridCellView.h"
#include "gui/ReportWindowView.h"
#include "gui/Twips.h"
#include "ranking/RankingWindow.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orvanta::gui {

namespace {

constexpr int designWidth = 13300; // twips: the buttons' column, the grid and the margins
constexpr int designHeight = 10600;
constexpr int buttonColumnWidth = 1900;
constexpr int cellPadding = 12; // pixels around a cell's text

// Where each button stands in the left column, and what follows it.
const char* const buttonOrder[] = {
    rankingControl::loadAlg,  rankingControl::editAlg, rankingControl::saveAlg, rankingControl::bayesian,
    rankingControl::aicc,     rankingControl::qaicc,   rankingControl::rank,    rankingControl::average,
    rankingControl::saveRank, rankingControl::finish};

// The grid of the design: eighteen rows high and 10500 twips wide.
class RankingGridWidget final : public QTableWidget {
public:
    using QTableWidget::QTableWidget;

    QSize sizeHint() const override
    {
        const TwipScale scale(*this);
        const int height =
            RankingWindow::gridVisibleRows * verticalHeader()->defaultSectionSize() + scale.y(60);
        return {scale.x(RankingWindow::gridWidth), height};
    }
    QSize minimumSizeHint() const override { return {320, 160}; }
};

} // namespace

RankingWindowView::RankingWindowView(RankingWindow& window, Application& app) : WindowView(window, app)
{
    for (const CommandButton& design : window.buttons()) {
        QPushButton* b = makePushButton(design.name, this);
        const std::string name = design.name;
        connect(b, &QPushButton::clicked, this,
                [this, name] { forward([&name](RankingWindow& w) { w.buttonClicked(name); }); });
        buttons_[name] = b;
    }
    for (const RankingWindow::Label& design : window.labels()) {
        QLabel* label = makePlainLabel(design.name, this);
        label->setWordWrap(design.name != rankingControl::averageLabel);
        labels_[design.name] = label;
    }
    cHat_ = new QLineEdit(this);
    cHat_->setObjectName(QLatin1String(rankingControl::cHatBox));
    cHat_->setReadOnly(true);
    cHat_->setFocusPolicy(Qt::NoFocus);
    average_ = new QPlainTextEdit(this);
    average_->setObjectName(QLatin1String(rankingControl::averageBox));
    average_->setReadOnly(true);
    average_->setFont(courierFont());
    average_->setLineWrapMode(QPlainTextEdit::NoWrap);
    createGrid();
    arrange();
}

RankingWindow* RankingWindowView::ranking() const
{
    return static_cast<RankingWindow*>(model());
}

template <typename Action> void RankingWindowView::forward(Action action)
{
    // The view must not touch the window afterwards: it may be closed and gone.
    if (RankingWindow* w = ranking())
        action(*w);
}

QPushButton* RankingWindowView::button(const std::string& name) const
{
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void RankingWindowView::createGrid()
{
    grid_ = new RankingGridWidget(this);
    setUpEditorGrid(*grid_, rankingControl::grid, rankColumn::count);
    grid_->horizontalHeader()->setMinimumSectionSize(16); // "K" is 400 twips wide
    const TwipScale scale(*grid_);
    for (int column = 0; column < rankColumn::count; ++column)
        grid_->setColumnWidth(column, scale.x(RankingWindow::columnWidth(column)));
    // The area the rows leave free is grey, as the design's grid background.
    QPalette palette = grid_->palette();
    palette.setColor(QPalette::Base, classicPaletteColour(paletteColour::grey));
    grid_->setPalette(palette);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        forward([=](RankingWindow& w) { w.grdRank_DblClick(row + 1, column); });
    });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int column) { forward([=](RankingWindow& w) { w.grdRank_DblClick(0, column); }); });
}

void RankingWindowView::arrange()
{
    const TwipScale scale(*this);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    for (const char* name : buttonOrder) {
        QPushButton* b = buttons_.at(name);
        b->setMinimumWidth(scale.x(buttonColumnWidth));
        buttons->addWidget(b);
        if (name == std::string(rankingControl::bayesian))
            buttons->addSpacing(12);
        if (name == std::string(rankingControl::qaicc))
            buttons->addWidget(cHat_);
    }
    buttons->addStretch(1);

    auto* list = new QVBoxLayout;
    list->setSpacing(4);
    for (const char* name : {"lblRankModels", "lblAction", "lblCovariance"})
        list->addWidget(labels_.at(name));
    list->addWidget(grid_, 1);
    for (const char* name : {"lblCovar", "lblNotes", "lblDelete"})
        list->addWidget(labels_.at(name));

    // The averaging results under the list, their label to the left of them.
    average_->setFixedHeight(scale.y(RankingWindow::averageHeight));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(8);
    layout->addLayout(buttons, 0, 0);
    layout->addLayout(list, 0, 1);
    layout->addWidget(labels_.at(rankingControl::averageLabel), 1, 0, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(average_, 1, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 1);
}

void RankingWindowView::refreshContent()
{
    const RankingWindow& w = *ranking();
    for (const CommandButton& shown : w.buttons())
        showCommandButton(*buttons_.at(shown.name), shown);
    for (const RankingWindow::Label& shown : w.labels()) {
        QLabel* label = labels_.at(shown.name);
        label->setText(qs(shown.text));
        label->setEnabled(shown.enabled);
    }
    cHat_->setText(qs(w.cHatBox().text));
    QPalette palette = cHat_->palette();
    palette.setColor(QPalette::Text, classicPaletteColour(w.cHatBox().colour));
    cHat_->setPalette(palette);
    if (average_->toPlainText() != qs(w.averageText()))
        average_->setPlainText(qs(w.averageText()));
    refreshGrid(w);
    followFocusRequest(*this, w.focusRequest().control, w.focusRequest().serial, focusSerial_);
}

void RankingWindowView::refreshGrid(const RankingWindow& window)
{
    const int dataRows = window.rowCount() - 1;
    if (grid_->rowCount() != dataRows)
        grid_->setRowCount(dataRows);
    for (int column = 0; column < rankColumn::count; ++column) {
        const GridCell heading = window.cell(0, column);
        showGridCell(*grid_->horizontalHeaderItem(column), heading);
        widenColumn(column, heading.text, heading.bold);
    }
    for (int row = 1; row <= dataRows; ++row) {
        for (int column = 0; column < rankColumn::count; ++column) {
            QTableWidgetItem* item = grid_->item(row - 1, column);
            if (!item) {
                item = new QTableWidgetItem;
                grid_->setItem(row - 1, column, item);
            }
            const GridCell cell = window.cell(row, column);
            showGridCell(*item, cell);
            // Cells stand out white from the grey background of the grid.
            item->setBackground(Qt::white);
            if (column != rankColumn::notes)
                widenColumn(column, cell.text, cell.bold);
        }
    }
}

void RankingWindowView::widenColumn(int column, const std::string& text, bool bold)
{
    // The design width, or what the text needs on this screen.
    QFont font = grid_->font();
    font.setBold(bold);
    const int needed = QFontMetrics(font).horizontalAdvance(qs(text)) + 2 * cellPadding;
    const int wanted = std::max(TwipScale(*grid_).x(RankingWindow::columnWidth(column)), needed);
    if (grid_->columnWidth(column) < wanted)
        grid_->setColumnWidth(column, wanted);
}

QSize RankingWindowView::designFrameSize()
{
    return TwipScale(*this).size(designWidth, designHeight);
}

void RankingWindowView::closeRequested()
{
    forward([](RankingWindow& w) { w.closeRequested(); });
}

WindowView* makeRankingWindowView(Window& window, Application& app, MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<RankingWindow*>(&window))
        return new RankingWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
