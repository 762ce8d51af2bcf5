#include "gui/PlotWindowView.h"

#include "app/Application.h"
#include "gui/ControlBinding.h"
#include "gui/PlotPainter.h"
#include "gui/Twips.h"
#include "plots/PlotWindow.h"
#include "text/TextFile.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace orvanta::gui {

namespace {

constexpr int columnWidth = 3500; // twips, each column of controls
constexpr int designHeight = 9000;
constexpr int listHeight = 1500;

using Kind = PlotControl::Kind;

void showList(QListWidget& list, const PlotControl& control)
{
    QStringList items;
    for (const std::string& item : control.items)
        items << qs(item);
    QStringList present;
    for (int i = 0; i < list.count(); ++i)
        present << list.item(i)->text();
    if (present != items) {
        list.clear();
        list.addItems(items);
    }
    if (list.currentRow() != control.selected)
        list.setCurrentRow(control.selected);
}

} // namespace

PlotGraphWidget::PlotGraphWidget(const PlotWindow& window, QWidget* parent) : QWidget(parent), window_(window)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize PlotGraphWidget::sizeHint() const
{
    return TwipScale(*this).size(static_cast<int>(window_.graph().width()),
                                 static_cast<int>(window_.graph().height()));
}

QSize PlotGraphWidget::minimumSizeHint() const
{
    return sizeHint() / 3;
}

void PlotGraphWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    paintPicture(painter, window_.picture(), QRectF(rect()));
}

PlotWindowView::PlotWindowView(PlotWindow& window, Application& app) : WindowView(window, app)
{
    graph_ = new PlotGraphWidget(window, this);
    graph_->setObjectName(QStringLiteral("Graph"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(graph_, 1);
    // The controls keep their size and scroll when the window is made small; the graph shrinks.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* controls = new QWidget(scroll);
    auto* controlColumns = new QHBoxLayout(controls);
    controlColumns->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(controls);
    layout->addWidget(scroll, 0);

    std::map<int, QVBoxLayout*> columns;
    QGroupBox* frame = nullptr;
    std::string frameCaption;
    int frameColumn = -1;
    for (const PlotControl& control : window.controls()) {
        QVBoxLayout*& column = columns[control.column];
        if (!column) {
            column = new QVBoxLayout;
            auto* holder = new QWidget(controls);
            holder->setLayout(column);
            holder->setFixedWidth(TwipScale(*this).x(columnWidth));
            controlColumns->addWidget(holder, 0, Qt::AlignTop);
        }
        if (control.frame.empty()) {
            frame = nullptr;
        } else if (!frame || frameCaption != control.frame || frameColumn != control.column) {
            frame = new QGroupBox(qs(control.frame), this);
            frame->setLayout(new QFormLayout);
            frameCaption = control.frame;
            frameColumn = control.column;
            column->addWidget(frame);
        }
        QWidget* widget = makeControl(control.name);
        if (frame) {
            auto* form = static_cast<QFormLayout*>(frame->layout());
            if (control.kind == Kind::TextBox)
                form->addRow(qs(control.caption), widget);
            else
                form->addRow(widget);
        } else {
            if (control.kind == Kind::ListBox)
                column->addWidget(new QLabel(qs(control.caption), this));
            column->addWidget(widget);
        }
    }
    savePicture_ = new QPushButton(QStringLiteral("Save &picture..."), this);
    savePicture_->setObjectName(QStringLiteral("cmdSavePicture"));
    savePicture_->setToolTip(QStringLiteral("Saves the plot as a PNG or SVG picture"));
    connect(savePicture_, &QPushButton::clicked, this, [this] {
        if (PlotWindow* w = plot())
            savePlotPicture(*w, this->app().ui(), this->app().clock(), this->app().files(),
                            [](const PlotPicture& picture) { return pictureAsPng(picture); });
    });
    if (!columns.empty())
        columns.rbegin()->second->addWidget(savePicture_);
    for (auto& [index, column] : columns)
        column->addStretch(1);
    scroll->setMinimumWidth(controls->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width());
}

PlotWindow* PlotWindowView::plot() const
{
    return static_cast<PlotWindow*>(model());
}

QWidget* PlotWindowView::makeControl(const std::string& name)
{
    const PlotControl& control = plot()->control(name);
    const QString objectName = qs(name);
    QWidget* widget = nullptr;
    switch (control.kind) {
    case Kind::Label:
    case Kind::Note: {
        auto* label = makePlainLabel(name, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
    }
    case Kind::ListBox: {
        auto* list = new QListWidget(this);
        list->setFixedHeight(TwipScale(*this).y(listHeight));
        connect(list, &QListWidget::itemClicked, this, [this, name, list](QListWidgetItem* item) {
            if (PlotWindow* w = plot())
                w->listClicked(name, list->row(item));
        });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, name, list](QListWidgetItem* item) {
            if (PlotWindow* w = plot())
                w->listDoubleClicked(name, list->row(item));
        });
        widget = list;
        break;
    }
    case Kind::TextBox: {
        auto* box = new QLineEdit(this);
        connect(box, &QLineEdit::textEdited, this, [this, name](const QString& text) {
            if (PlotWindow* w = plot())
                w->textEdited(name, text.toStdString());
        });
        widget = box;
        break;
    }
    case Kind::CheckBox: {
        auto* box = new QCheckBox(this);
        connect(box, &QCheckBox::clicked, this, [this, name](bool checked) {
            if (PlotWindow* w = plot())
                w->checkBoxClicked(name, checked);
        });
        widget = box;
        break;
    }
    case Kind::Button: {
        auto* button = makePushButton(name, this);
        connect(button, &QPushButton::clicked, this, [this, name] {
            if (PlotWindow* w = plot())
                w->buttonClicked(name);
        });
        widget = button;
        break;
    }
    }
    widget->setObjectName(objectName);
    widgets_[name] = widget;
    return widget;
}

void PlotWindowView::refreshContent()
{
    const PlotWindow* w = plot();
    for (const PlotControl& control : w->controls()) {
        QWidget* widget = widgets_.at(control.name);
        const QSignalBlocker blocker(widget);
        widget->setEnabled(control.enabled);
        widget->setToolTip(qs(control.toolTip));
        switch (control.kind) {
        case Kind::Label:
        case Kind::Note:
            static_cast<QLabel*>(widget)->setText(qs(control.caption));
            break;
        case Kind::ListBox:
            showList(*static_cast<QListWidget*>(widget), control);
            break;
        case Kind::TextBox:
            showBoxText(*static_cast<QLineEdit*>(widget), control.text, control.enabled);
            break;
        case Kind::CheckBox: {
            auto* box = static_cast<QCheckBox*>(widget);
            box->setText(qs(control.caption));
            box->setChecked(control.checked);
            break;
        }
        case Kind::Button:
            showCommandButton(
                *static_cast<QPushButton*>(widget),
                CommandButton{control.name, control.caption, control.toolTip, 0, control.enabled});
            break;
        }
    }
    graph_->update();
}

void PlotWindowView::closeRequested()
{
    if (PlotWindow* w = plot())
        w->closeRequested();
}

QSize PlotWindowView::designFrameSize()
{
    const PlotWindow* w = plot();
    int columns = 0;
    for (const PlotControl& control : w->controls())
        columns = std::max(columns, control.column + 1);
    return TwipScale(*this).size(static_cast<int>(w->graph().width()) + columns * (columnWidth + 200) + 400,
                                 designHeight);
}

WindowView* makePlotWindowView(Window& window, Application& app, MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<PlotWindow*>(&window))
        return new PlotWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
