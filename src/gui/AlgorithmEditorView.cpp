#include "gui/AlgorithmEditorView.h"

#include "algorithm/AlgorithmEditor.h"
#include "gui/ControlBinding.h"
#include "gui/EngineMenuBar.h"
#include "gui/GridCellView.h"
#include "gui/MainWindowView.h"
#include "gui/Twips.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <utility>

namespace orvanta::gui {

namespace {

constexpr int designGridRows = 20; // rows the grid shows without scrolling when it opens
constexpr int cellPadding = 12;    // pixels around a cell's text
constexpr int optionBoxCharacters = 10;
const char* const widestNumber = "-8.8888E-88";

void showLabel(QLabel& label, const AlgorithmEditor::Label& model)
{
    label.setText(qs(model.text));
    label.setToolTip(qs(model.toolTip));
    label.setEnabled(model.enabled);
}

void showButton(QPushButton& button, const CommandButton& model)
{
    showCommandButton(button, model);
    fitButtonToCaption(button);
}

} // namespace

// A text box that tells the engine when the user leaves it, and, for the tolerance box, when
// the user clicks it.
class EditorLineEdit final : public FocusLossLineEdit {
public:
    using FocusLossLineEdit::FocusLossLineEdit;

    std::function<void()> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLineEdit::mouseReleaseEvent(event);
        if (clicked && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            clicked();
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const bool activates =
            event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (clicked && activates) {
            clicked();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

// grdVS: its design size shows the heading and up to twenty parameters.
class EditorGridWidget final : public QTableWidget {
public:
    using QTableWidget::QTableWidget;

    QSize sizeHint() const override
    {
        const int rows = std::min(rowCount(), designGridRows);
        // Room for the horizontal scroll bar that long descriptions bring.
        const int height = horizontalHeader()->sizeHint().height() +
                           rows * verticalHeader()->defaultSectionSize() +
                           horizontalScrollBar()->sizeHint().height() + 2 * frameWidth();
        return {TwipScale(*this).x(EditorGrid::gridWidth), height};
    }
    QSize minimumSizeHint() const override { return {240, 120}; }

    // The width the column's cells and heading need.
    int contentWidth(int column) const
    {
        return std::max(sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column));
    }
};

AlgorithmEditorView::AlgorithmEditorView(AlgorithmEditor& editor, Application& app,
                                         MainWindowView& mainWindow)
    : WindowView(editor, app), mainWindow_(mainWindow)
{
    createGrid();
    createCellEditor();
    createPanel(editor);
    createMenus(editor);
    arrange();
    fitNarrowColumns();
}

AlgorithmEditorView::~AlgorithmEditorView() = default;

AlgorithmEditor* AlgorithmEditorView::editor() const
{
    return static_cast<AlgorithmEditor*>(model());
}

template <typename Action> void AlgorithmEditorView::forward(Action action)
{
    // The view must not touch the editor afterwards: it may be closed and gone.
    if (AlgorithmEditor* e = editor())
        action(*e);
}

QTableWidget& AlgorithmEditorView::grid() const
{
    return *grid_;
}

QLineEdit& AlgorithmEditorView::cellEditor() const
{
    return *cellEditor_;
}

QAction* AlgorithmEditorView::action(const std::string& name) const
{
    return menus_->action(name);
}

void AlgorithmEditorView::createGrid()
{
    grid_ = new EditorGridWidget(this);
    setUpEditorGrid(*grid_, "grdVS", gridColumn::count);

    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        forward([=](AlgorithmEditor& e) { e.grdVS_DblClick(row + 1, column); });
    });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int column) { forward([=](AlgorithmEditor& e) { e.grdVS_DblClick(0, column); }); });
    // The cell editor stays over its cell while the grid scrolls.
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeCellEditor(); });
    connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeCellEditor(); });
}

void AlgorithmEditorView::createCellEditor()
{
    cellEditor_ = new EditorLineEdit(grid_->viewport());
    cellEditor_->setObjectName(QStringLiteral("txtValue"));
    cellEditor_->hide();
    cellEditor_->lostFocus = [this] { forward([](AlgorithmEditor& e) { e.txtValue_LostFocus(); }); };
    connect(cellEditor_, &QLineEdit::textEdited, this, [this](const QString& text) {
        forward([&](AlgorithmEditor& e) { e.setCellEditorText(text.toStdString()); });
    });
    // Enter leaves the box for the grid, which applies the entry.
    connect(cellEditor_, &QLineEdit::returnPressed, this, [this] { grid_->setFocus(Qt::OtherFocusReason); });
}

void AlgorithmEditorView::createPanel(const AlgorithmEditor& editor)
{
    optionsFrame_ = new QGroupBox(this);
    optionsFrame_->setObjectName(qs(editor.optionsFrame().name));
    toleranceLabel_ = makePlainLabel(editor.toleranceLabel().name, optionsFrame_);
    toleranceBox_ = new EditorLineEdit(optionsFrame_);
    toleranceBox_->setObjectName(qs(editor.toleranceBox().name));
    toleranceBox_->setReadOnly(true);
    toleranceBox_->setCursor(Qt::PointingHandCursor);
    toleranceBox_->clicked = [this] { forward([](AlgorithmEditor& e) { e.txtAbsRel_Click(); }); };
    simplexLabel_ = makePlainLabel(editor.simplexCallsLabel().name, optionsFrame_);
    marquardtLabel_ = makePlainLabel(editor.marquardtCallsLabel().name, optionsFrame_);
    terminalLabel_ = makePlainLabel(editor.terminalLabel().name, optionsFrame_);
    reductionLabel_ = makePlainLabel(editor.reductionLabel().name, optionsFrame_);

    logFrame_ = new QGroupBox(optionsFrame_);
    logFrame_->setObjectName(qs(editor.logFrame().name));
    logNameLabel_ = makePlainLabel(editor.logNameLabel().name, logFrame_);
    logNameBox_ = new QLineEdit(logFrame_);
    logNameBox_->setObjectName(qs(editor.logNameBox().name));
    logNameBox_->setReadOnly(true); // the name comes from "&Open"
    fileFrequencyLabel_ = makePlainLabel(editor.fileFrequencyLabel().name, logFrame_);
    openLog_ = makePushButton(editor.openLogButton().name, logFrame_);
    closeLog_ = makePushButton(editor.closeLogButton().name, logFrame_);
    connect(openLog_, &QPushButton::clicked, this,
            [this] { forward([](AlgorithmEditor& e) { e.cmdOpenLog_Click(); }); });
    connect(closeLog_, &QPushButton::clicked, this,
            [this] { forward([](AlgorithmEditor& e) { e.cmdCloseLog_Click(); }); });

    for (OptionBox which : {OptionBox::MaxCalls, OptionBox::TerminalFrequency, OptionBox::FileFrequency,
                            OptionBox::Reduction}) {
        QWidget* parent =
            which == OptionBox::FileFrequency ? static_cast<QWidget*>(logFrame_) : optionsFrame_;
        auto* box = new EditorLineEdit(parent);
        box->setObjectName(qs(editor.box(which).name));
        box->lostFocus = [this, which] { forward([which](AlgorithmEditor& e) { e.boxLostFocus(which); }); };
        connect(box, &QLineEdit::textEdited, this, [this, which](const QString& text) {
            forward([&](AlgorithmEditor& e) { e.setBoxText(which, text.toStdString()); });
        });
        boxes_[which] = box;
    }
    const int boxWidth =
        toleranceBox_->fontMetrics().horizontalAdvance(QString(optionBoxCharacters, QLatin1Char('0')));
    for (QLineEdit* box :
         {static_cast<QLineEdit*>(toleranceBox_), static_cast<QLineEdit*>(boxes_[OptionBox::MaxCalls]),
          static_cast<QLineEdit*>(boxes_[OptionBox::TerminalFrequency]),
          static_cast<QLineEdit*>(boxes_[OptionBox::FileFrequency]),
          static_cast<QLineEdit*>(boxes_[OptionBox::Reduction])})
        box->setFixedWidth(boxWidth + cellPadding);

    note1_ = makePlainLabel(editor.note1().name, this);
    note2_ = makePlainLabel(editor.note2().name, this);
    doubleClickNote_ = makePlainLabel(editor.doubleClickNote().name, this);
    for (QLabel* note : {note1_, note2_, doubleClickNote_})
        note->setWordWrap(true);
    update_ = makePushButton(editor.updateButton().name, this);
    finish_ = makePushButton(editor.finishButton().name, this);
    connect(update_, &QPushButton::clicked, this,
            [this] { forward([](AlgorithmEditor& e) { e.cmdUpdate_Click(); }); });
    connect(finish_, &QPushButton::clicked, this,
            [this] { forward([](AlgorithmEditor& e) { e.cmdFinish_Click(); }); });
}

void AlgorithmEditorView::createMenus(const AlgorithmEditor& editor)
{
    menus_ = std::make_unique<EngineMenuBar>(
        *this, "mnuAlgo", mainWindow_.mdiArea(),
        [this](const std::string& name) { forward([&name](AlgorithmEditor& e) { e.menuChosen(name); }); });
    menus_->build(editor.menus());
}

void AlgorithmEditorView::arrange()
{
    auto* options = new QGridLayout(optionsFrame_);
    options->setHorizontalSpacing(8);
    options->setVerticalSpacing(6);
    options->addWidget(toleranceLabel_, 0, 0);
    options->addWidget(toleranceBox_, 0, 1);
    options->addWidget(simplexLabel_, 1, 0);
    options->addWidget(marquardtLabel_, 2, 0);
    // One box for both minimizers, between their two labels.
    options->addWidget(boxes_[OptionBox::MaxCalls], 1, 1, 2, 1, Qt::AlignVCenter);
    options->addWidget(terminalLabel_, 3, 0);
    options->addWidget(boxes_[OptionBox::TerminalFrequency], 3, 1);
    options->addWidget(logFrame_, 4, 0, 1, 2);
    options->addWidget(reductionLabel_, 5, 0);
    options->addWidget(boxes_[OptionBox::Reduction], 5, 1);
    options->setRowStretch(6, 1);

    auto* log = new QGridLayout(logFrame_);
    log->setHorizontalSpacing(8);
    log->setVerticalSpacing(6);
    log->addWidget(logNameLabel_, 0, 0, 1, 3);
    log->addWidget(logNameBox_, 1, 0, 1, 3);
    log->addWidget(fileFrequencyLabel_, 2, 0);
    log->addWidget(boxes_[OptionBox::FileFrequency], 2, 1);
    auto* logButtons = new QHBoxLayout;
    logButtons->addStretch(1);
    logButtons->addWidget(openLog_);
    logButtons->addWidget(closeLog_);
    log->addLayout(logButtons, 3, 0, 1, 3);
    log->setColumnStretch(2, 1);

    auto* notes = new QVBoxLayout;
    notes->setSpacing(2);
    notes->addWidget(note1_);
    notes->addWidget(note2_);
    notes->addWidget(doubleClickNote_);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(update_);
    buttons->addWidget(finish_);

    auto* right = new QVBoxLayout;
    right->setSpacing(10);
    right->addWidget(optionsFrame_, 1);
    right->addLayout(buttons);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(grid_, 1);
    top->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(&menus_->bar());
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(8);
    layout->addLayout(top, 1);
    // The notes run the whole width, under the grid and the options.
    layout->addLayout(notes);
}

void AlgorithmEditorView::fitNarrowColumns()
{
    // The design widths, widened where this screen's font needs more room.
    const TwipScale scale(*grid_);
    // A value or step also fits the cell editor's frame and margins.
    const int numberWidth =
        grid_->fontMetrics().horizontalAdvance(QLatin1String(widestNumber)) + 2 * cellPadding;
    for (int column = 0; column < gridColumn::description; ++column) {
        const QString heading = qs(EditorGrid::headings()[static_cast<std::size_t>(column)]);
        const int headingWidth =
            grid_->horizontalHeader()->fontMetrics().horizontalAdvance(heading) + 2 * cellPadding;
        const bool holdsNumbers = column == gridColumn::value || column == gridColumn::step;
        grid_->setColumnWidth(column, std::max({scale.x(EditorGrid::columnWidth(column)), headingWidth,
                                                holdsNumbers ? numberWidth : 0}));
    }
}

void AlgorithmEditorView::fitDescriptionColumn()
{
    // The rest of the grid, or as much as the longest description needs (the grid scrolls).
    int used = 0;
    for (int column = 0; column < gridColumn::description; ++column)
        used += grid_->columnWidth(column);
    const int rest = grid_->viewport()->width() - used;
    grid_->setColumnWidth(gridColumn::description,
                          std::max(rest, grid_->contentWidth(gridColumn::description)));
}

void AlgorithmEditorView::refreshContent()
{
    const AlgorithmEditor& e = *editor();
    refreshGrid(e);
    refreshCellEditor(e);
    refreshPanel(e);
    menus_->refresh(e.menus());
    followFocusRequest(*this, e.focusRequest().control, e.focusRequest().serial, focusSerial_);
}

void AlgorithmEditorView::refreshGrid(const AlgorithmEditor& editor)
{
    const int dataRows = std::max(0, editor.rowCount() - 1);
    if (grid_->rowCount() != dataRows) {
        grid_->setRowCount(dataRows);
        grid_->updateGeometry();
    }
    for (int column = 0; column < gridColumn::count; ++column) {
        const GridCell heading = editor.cell(0, column);
        QTableWidgetItem* item = grid_->horizontalHeaderItem(column);
        item->setText(qs(heading.text));
        item->setTextAlignment(qtAlignment(heading.alignment));
    }
    for (int row = 1; row <= dataRows; ++row) {
        for (int column = 0; column < gridColumn::count; ++column) {
            QTableWidgetItem* item = grid_->item(row - 1, column);
            if (!item) {
                item = new QTableWidgetItem;
                grid_->setItem(row - 1, column, item);
            }
            showGridCell(*item, editor.cell(row, column));
            if (column == gridColumn::description)
                item->setToolTip(item->text());
        }
    }
    fitDescriptionColumn();
    if (editor.editingRow() != shownEditingRow_) {
        shownEditingRow_ = editor.editingRow();
        if (shownEditingRow_ > 0 && shownEditingRow_ <= dataRows)
            grid_->scrollToItem(grid_->item(shownEditingRow_ - 1, 0));
    }
}

void AlgorithmEditorView::refreshCellEditor(const AlgorithmEditor& editor)
{
    const AlgorithmEditor::CellEditor& model = editor.cellEditor();
    cellEditor_->setToolTip(qs(model.toolTip));
    if (!model.active) {
        cellEditor_->hide();
        return;
    }
    if (model.serial != cellEditorSerial_) {
        cellEditorSerial_ = model.serial;
        cellEditor_->setText(qs(model.text));
        cellEditor_->setAlignment(qtAlignment(editor.cell(model.row, model.column).alignment));
        cellEditor_->selectAll();
        grid_->scrollToItem(grid_->item(model.row - 1, model.column));
    }
    placeCellEditor();
    cellEditor_->show();
    cellEditor_->raise();
}

void AlgorithmEditorView::placeCellEditor()
{
    const AlgorithmEditor* e = editor();
    if (!e || !e->cellEditor().active)
        return;
    const AlgorithmEditor::CellEditor& model = e->cellEditor();
    if (QTableWidgetItem* item = grid_->item(model.row - 1, model.column))
        cellEditor_->setGeometry(grid_->visualItemRect(item));
}

void AlgorithmEditorView::refreshPanel(const AlgorithmEditor& editor)
{
    showFrame(*optionsFrame_, editor.optionsFrame().caption, editor.optionsFrame().enabled);
    showLabel(*toleranceLabel_, editor.toleranceLabel());
    showBoxText(*toleranceBox_, editor.toleranceBox().text, editor.toleranceBox().enabled);
    showLabel(*simplexLabel_, editor.simplexCallsLabel());
    showLabel(*marquardtLabel_, editor.marquardtCallsLabel());
    showLabel(*terminalLabel_, editor.terminalLabel());
    showLabel(*reductionLabel_, editor.reductionLabel());
    for (const auto& [which, box] : boxes_)
        showBoxText(*box, editor.box(which).text, editor.box(which).enabled);

    showFrame(*logFrame_, editor.logFrame().caption, editor.logFrame().enabled);
    showLabel(*logNameLabel_, editor.logNameLabel());
    showBoxText(*logNameBox_, editor.logNameBox().text, editor.logNameBox().enabled);
    showLabel(*fileFrequencyLabel_, editor.fileFrequencyLabel());
    showButton(*openLog_, editor.openLogButton());
    showButton(*closeLog_, editor.closeLogButton());

    showLabel(*note1_, editor.note1());
    showLabel(*note2_, editor.note2());
    showLabel(*doubleClickNote_, editor.doubleClickNote());
    showButton(*update_, editor.updateButton());
    showButton(*finish_, editor.finishButton());
}

void AlgorithmEditorView::layoutContent(bool /*opening*/)
{
    fitDescriptionColumn();
    placeCellEditor();
}

void AlgorithmEditorView::closeRequested()
{
    // Closing the window finishes the editing, as "&Finish editing" does.
    forward([](AlgorithmEditor& e) { e.closeRequested(); });
}

WindowView* makeAlgorithmEditorView(Window& window, Application& app, MainWindowView& mainWindow)
{
    if (auto* model = dynamic_cast<AlgorithmEditor*>(&window))
        return new AlgorithmEditorView(*model, app, mainWindow);
    return nullptr;
}

} // namespace orvanta::gui
