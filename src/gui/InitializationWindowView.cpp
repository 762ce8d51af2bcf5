#include "gui/InitializationWindowView.h"

#include "gui/ControlBinding.h"
#include "model/InitializationWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace orvanta::gui {

namespace {

constexpr int boxPadding = 24; // pixels around the entry of a text box
constexpr int minimumButtonWidth = 88;
constexpr int firstCellDigits = 6; // the room txtFirst keeps for its entry

// A file path in whatever room the window gives it, shortened in the middle when it does not
// fit; text() keeps the whole path, which the tooltip shows too.
class PathLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        drawFrame(&painter);
        const QRect room = contentsRect().adjusted(margin() + indent(), 0, -margin(), 0);
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width());
        style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(), shown,
                              foregroundRole());
    }
};

// A read-only description that shows every one of its lines without wrapping or scrolling.
class FormatTextBox final : public QPlainTextEdit {
public:
    explicit FormatTextBox(QWidget* parent) : QPlainTextEdit(parent)
    {
        // The size hint follows the text; layouts keep hints until told.
        connect(this, &QPlainTextEdit::textChanged, this, [this] { updateGeometry(); });
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        const QStringList lines = toPlainText().split(QLatin1Char('\n'));
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const int margins = 2 * (frameWidth() + static_cast<int>(std::ceil(document()->documentMargin())));
        // A few pixels for the cursor and rounding in the text layout.
        constexpr int slack = 4;
        return {widest + margins + slack,
                static_cast<int>(lines.size()) * metrics.lineSpacing() + margins + slack};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

QLabel* makePathLabel(const InitializationWindow::Label& model, QWidget* parent)
{
    auto* label = new PathLabel(parent);
    label->setObjectName(qs(model.name));
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setMargin(2);
    label->setIndent(3);
    // A long path must not widen the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumWidth(120);
    return label;
}

QRadioButton* makeOption(const InitializationWindow::OptionButton& model, QWidget* parent)
{
    auto* option = new QRadioButton(parent);
    option->setObjectName(qs(model.name));
    // The engine decides which option is selected, including none at all.
    option->setAutoExclusive(false);
    return option;
}

QPlainTextEdit* makeFormatBox(const InitializationWindow::Label& model, QWidget* parent)
{
    auto* box = new FormatTextBox(parent);
    box->setObjectName(qs(model.name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus); // selectable, but no stop of the tab order
    return box;
}

void showLabel(QLabel& label, const InitializationWindow::Label& model)
{
    label.setText(qs(model.text));
}

void showPath(QLabel& label, const InitializationWindow::Label& model)
{
    label.setText(qs(model.text));
    label.setToolTip(label.text());
}

void showButton(QPushButton& button, const CommandButton& model)
{
    showCommandButton(button, model);
    fitButtonToCaption(button, minimumButtonWidth);
}

void showOption(QRadioButton& option, const InitializationWindow::OptionButton& model)
{
    option.setText(qs(model.caption));
    option.setToolTip(qs(model.toolTip));
    option.setEnabled(model.enabled);
    option.setChecked(model.selected);
}

void showFormat(QPlainTextEdit& box, const InitializationWindow::Label& model)
{
    const QString text = qs(model.text);
    if (box.toPlainText() != text) // keeps the user's selection
        box.setPlainText(text);
}

} // namespace

InitializationWindowView::InitializationWindowView(InitializationWindow& window, Application& app)
    : WindowView(window, app)
{
    createControls(window);
    connectControls();
    arrange();
    // The first tab stop has the focus when the window opens.
    setTabOrderByIndex(window)->setFocus();
}

InitializationWindow* InitializationWindowView::window() const
{
    return static_cast<InitializationWindow*>(model());
}

void InitializationWindowView::createControls(const InitializationWindow& window)
{
    frequencyLabel_ = makePlainLabel(window.frequencyLabel().name, this);
    frequencyPath_ = makePathLabel(window.frequencyPath(), this);
    frequencyButton_ = makePushButton(window.frequencyButton().name, this);
    incrementLabel_ = makePlainLabel(window.incrementLabel().name, this);
    incrementPath_ = makePathLabel(window.incrementPath(), this);
    incrementButton_ = makePushButton(window.incrementButton().name, this);
    firstCellLabel_ = makePlainLabel(window.firstCellLabel().name, this);

    auto* firstCellBox = new FocusLossLineEdit(this);
    firstCellBox->lostFocus = [this] { forward(&InitializationWindow::txtFirst_LostFocus); };
    firstCellBox_ = firstCellBox;
    firstCellBox_->setObjectName(qs(window.firstCellBox().name));
    firstCellBox_->setFixedWidth(
        firstCellBox_->fontMetrics().horizontalAdvance(QString(firstCellDigits, QLatin1Char('0'))) +
        boxPadding);
    firstCellLabel_->setBuddy(firstCellBox_);

    distributionFrame_ = new QGroupBox(this);
    distributionFrame_->setObjectName(qs(window.distributionFrame().name));
    gammaOption_ = makeOption(window.gammaOption(), distributionFrame_);
    gaussianOption_ = makeOption(window.gaussianOption(), distributionFrame_);

    likelihoodNote_ = makePlainLabel(window.likelihoodNote().name, this);
    frequencyFormat_ = makeFormatBox(window.frequencyFormat(), this);
    incrementFormat_ = makeFormatBox(window.incrementFormat(), this);
    okButton_ = makePushButton(window.okButton().name, this);
    cancelButton_ = makePushButton(window.cancelButton().name, this);
}

void InitializationWindowView::connectControls()
{
    const auto forwardClick = [this](QAbstractButton* button, void (InitializationWindow::*action)()) {
        connect(button, &QAbstractButton::clicked, this, [this, action] { forward(action); });
    };
    forwardClick(frequencyButton_, &InitializationWindow::cmdFrequency_Click);
    forwardClick(incrementButton_, &InitializationWindow::cmdIncrement_Click);
    forwardClick(gammaOption_, &InitializationWindow::optGamma_Click);
    forwardClick(gaussianOption_, &InitializationWindow::optGaussian_Click);
    forwardClick(okButton_, &InitializationWindow::cmdOK_Click);
    forwardClick(cancelButton_, &InitializationWindow::cmdCancel_Click);

    connect(firstCellBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (InitializationWindow* w = window())
            w->setFirstCellText(text.toStdString());
    });
}

void InitializationWindowView::forward(void (InitializationWindow::*action)())
{
    // The view must not touch the window afterwards: it may be closed and gone.
    if (InitializationWindow* w = window())
        (w->*action)();
}

void InitializationWindowView::arrange()
{
    auto* files = new QGridLayout;
    files->setHorizontalSpacing(10);
    files->setVerticalSpacing(8);
    files->addWidget(frequencyButton_, 0, 0);
    files->addWidget(frequencyLabel_, 0, 1);
    files->addWidget(frequencyPath_, 0, 2);
    files->addWidget(incrementButton_, 1, 0);
    files->addWidget(incrementLabel_, 1, 1);
    files->addWidget(incrementPath_, 1, 2);
    files->setColumnStretch(2, 1);

    auto* firstCell = new QHBoxLayout;
    firstCell->addWidget(firstCellLabel_);
    firstCell->addWidget(firstCellBox_);
    firstCell->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(firstCell);
    left->addStretch(1);
    left->addWidget(likelihoodNote_);

    auto* options = new QVBoxLayout(distributionFrame_);
    options->addWidget(gammaOption_);
    options->addWidget(gaussianOption_);

    auto* settings = new QHBoxLayout;
    settings->setSpacing(16);
    settings->addLayout(left, 1);
    settings->addWidget(distributionFrame_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(10);
    layout->addLayout(files);
    layout->addLayout(settings);
    layout->addWidget(frequencyFormat_);
    layout->addWidget(incrementFormat_);
    layout->addLayout(buttons);
}

QWidget* InitializationWindowView::setTabOrderByIndex(const InitializationWindow& window)
{
    std::vector<std::pair<int, QWidget*>> stops = {
        {window.frequencyButton().tabIndex, frequencyButton_},
        {window.incrementButton().tabIndex, incrementButton_},
        {window.firstCellBox().tabIndex, firstCellBox_},
        {window.okButton().tabIndex, okButton_},
        {window.cancelButton().tabIndex, cancelButton_},
    };
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // The option buttons have no tab index of their own: they follow the others.
    stops.emplace_back(0, gammaOption_);
    stops.emplace_back(0, gaussianOption_);
    for (size_t i = 1; i < stops.size(); ++i)
        setTabOrder(stops[i - 1].second, stops[i].second);
    return stops.front().second;
}

void InitializationWindowView::refreshContent()
{
    const InitializationWindow& w = *window();
    showLabel(*frequencyLabel_, w.frequencyLabel());
    showPath(*frequencyPath_, w.frequencyPath());
    showButton(*frequencyButton_, w.frequencyButton());
    showLabel(*incrementLabel_, w.incrementLabel());
    showPath(*incrementPath_, w.incrementPath());
    showButton(*incrementButton_, w.incrementButton());
    showLabel(*firstCellLabel_, w.firstCellLabel());

    showBoxText(*firstCellBox_, w.firstCellBox().text, w.firstCellBox().enabled);

    showFrame(*distributionFrame_, w.distributionFrame().caption, w.distributionFrame().enabled);
    showOption(*gammaOption_, w.gammaOption());
    showOption(*gaussianOption_, w.gaussianOption());

    showLabel(*likelihoodNote_, w.likelihoodNote());
    showFormat(*frequencyFormat_, w.frequencyFormat());
    showFormat(*incrementFormat_, w.incrementFormat());
    showButton(*okButton_, w.okButton());
    showButton(*cancelButton_, w.cancelButton());
    followFocusRequest(*this, w.focusRequest().control, w.focusRequest().serial, focusSerial_);
}

void InitializationWindowView::closeRequested()
{
    // The engine keeps the window while it reads the data files and closes it otherwise.
    if (InitializationWindow* w = window())
        w->closeRequested();
}

WindowView* makeInitializationWindowView(Window& window, Application& app, MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<InitializationWindow*>(&window))
        return new InitializationWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
