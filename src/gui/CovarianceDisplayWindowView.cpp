#include "gui/CovarianceDisplayWindowView.h"

#include "gui/ControlBinding.h"
#include "gui/Twips.h"
#include "uncertainty/CovarianceDisplayWindow.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvanta::gui {

namespace {
constexpr int designWidth = 5600; // twips
constexpr int designHeight = 5800;
} // namespace

CovarianceDisplayWindowView::CovarianceDisplayWindowView(CovarianceDisplayWindow& window, Application& app)
    : WindowView(window, app)
{
    label_ = makePlainLabel(CovarianceDisplayWindow::labelName, this);

    explain_ = new QPlainTextEdit(this);
    explain_->setObjectName(QString::fromLatin1(CovarianceDisplayWindow::explanationBoxName));
    explain_->setReadOnly(true);
    explain_->setFocusPolicy(Qt::NoFocus);
    explain_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    screen_ = makePushButton(window.screenButton().name, this);
    file_ = makePushButton(window.fileButton().name, this);
    finish_ = makePushButton(window.finishButton().name, this);
    connect(screen_, &QPushButton::clicked, this, [this] {
        if (CovarianceDisplayWindow* w = display())
            w->cmdScreen_Click();
    });
    connect(file_, &QPushButton::clicked, this, [this] {
        if (CovarianceDisplayWindow* w = display())
            w->cmdFile_Click();
    });
    connect(finish_, &QPushButton::clicked, this, [this] {
        if (CovarianceDisplayWindow* w = display())
            w->cmdFinish_Click();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(explain_, 1);
    layout->addWidget(screen_);
    layout->addWidget(file_);
    layout->addWidget(finish_);

    if (QWidget* focus = findChild<QWidget*>(QString::fromLatin1(CovarianceDisplayWindow::initialFocus)))
        focus->setFocus(Qt::OtherFocusReason);
}

CovarianceDisplayWindow* CovarianceDisplayWindowView::display() const
{
    return static_cast<CovarianceDisplayWindow*>(model());
}

void CovarianceDisplayWindowView::refreshContent()
{
    const CovarianceDisplayWindow* w = display();
    label_->setText(qs(w->labelText()));
    const QString explanation = qs(w->explanation());
    if (explain_->toPlainText() != explanation)
        explain_->setPlainText(explanation);
    showCommandButton(*screen_, w->screenButton());
    showCommandButton(*file_, w->fileButton());
    showCommandButton(*finish_, w->finishButton());
}

QSize CovarianceDisplayWindowView::designFrameSize()
{
    return TwipScale(*this).size(designWidth, designHeight);
}

WindowView* makeCovarianceDisplayWindowView(Window& window, Application& app, MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<CovarianceDisplayWindow*>(&window))
        return new CovarianceDisplayWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
