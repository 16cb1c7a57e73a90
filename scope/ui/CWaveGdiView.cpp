#include "scope/ui/CWaveGdiView.h"

#include "link/LinkState.h"
#include "platform/UserPrompt.h"
#include "scope/ui/CScaleDlg.h"
#include "scope/ui/CTriggerDlg.h"
#include "scope/ui/ScopeChannelList.h"
#include "scope/ui/ScopeDiagnosticsPanel.h"
#include "scope/ui/ScopeFileActions.h"
#include "scope/ui/ScopeScreen.h"
#include "scope/ui/ScopeStatusDisplay.h"
#include "texts/LoadText.h"
#include "texts/QtText.h"

#include <algorithm>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>

#include <ctime>

namespace {

bool online() { return linkState().online == 1; }

constexpr uint32_t kStatusOn = 0xFF8040, kStatusOff = 0x604010;
constexpr uint32_t kIdleOn = 0x808080, kIdleOff = 0x404040;

}  // namespace

CWaveGdiView::CWaveGdiView(QWidget* parent)
    : QWidget(parent),
      screen_(new ScopeScreen(session_, this)),
      channels_(new ScopeChannelList(this)),
      tabs_(new QTabWidget(this)),
      scale_(new CScaleDlg(session_.scale(), tabs_)),
      trigger_(new CTriggerDlg(session_.live(), tabs_)),
      status_(new ScopeStatusDisplay(this)),
      diagnostics_(new ScopeDiagnosticsPanel(this))
{
    setObjectName("CWaveGdiView");
    tabs_->addTab(scale_, LoadQText(255));
    tabs_->addTab(trigger_, LoadQText(256));
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { onTabChanged(index); });
    connect(scale_, &CScaleDlg::settingsChanged, this, [this] { settingsChanged(); });

    addButton(ScopeButton::RunStop, "&Run", "button2135");
    connect(addButton(ScopeButton::AutoSet, "Auto Set", "button2158"), &QPushButton::clicked, this,
            [this] { autoSet(); });
    connect(addButton(ScopeButton::ReCall, "ReCall", "button2159"), &QPushButton::clicked, this,
            [this] { recall(); });
    connect(addButton(ScopeButton::Save, "Save", "button1008"), &QPushButton::clicked, this,
            [this] { ScopeFileActions::Save(session_); });
    addButton(ScopeButton::Exit, "Exit", "button2030")->setToolTip("Exit this View.");
    connect(addButton(ScopeButton::ExportCsv, LoadQText(1160), "buttonExportCsv"), &QPushButton::clicked, this,
            [this] { ScopeFileActions::ExportCsv(session_); });
    connect(addButton(ScopeButton::ExportPng, LoadQText(1161), "buttonExportPng"), &QPushButton::clicked, this,
            [this] { ScopeFileActions::ExportPng(screen_->render()); });
    QPushButton* cursors = addButton(ScopeButton::Cursors, LoadQText(1162), "buttonCursors");
    cursors->setCheckable(true);
    connect(cursors, &QPushButton::toggled, this, [this](bool on) {
        if (on && !screen_->cursors().shown())
            screen_->cursors().place(session_.captureLength());
        screen_->cursors().setShown(on);
        screen_->update();
    });
    connect(addButton(ScopeButton::Diagnostics, LoadQText(1163), "buttonDiagnostics"), &QPushButton::clicked, this,
            [this] {
                diagnostics_->show();
                diagnostics_->raise();
            });
    connect(button(ScopeButton::RunStop), &QPushButton::clicked, this, &CWaveGdiView::runOrStop);
    connect(button(ScopeButton::Exit), &QPushButton::clicked, this, &CWaveGdiView::exitView);
    button(ScopeButton::AutoSet)->setEnabled(false);

    refreshTimer_.setInterval(100);
    connect(&refreshTimer_, &QTimer::timeout, this, &CWaveGdiView::refresh);
    repaintTimer_.setInterval(60);
    connect(&repaintTimer_, &QTimer::timeout, screen_, qOverload<>(&QWidget::update));
    resize(1024, 720);
}

CWaveGdiView::~CWaveGdiView()
{
    refreshTimer_.stop();
    repaintTimer_.stop();
    // The session's destructor joins the worker; nothing it fills may be
    // drawn after this point.
}

QPushButton* CWaveGdiView::addButton(ScopeButton which, const QString& caption, const char* name)
{
    auto* pushButton = new QPushButton(caption, this);
    pushButton->setObjectName(name);
    buttons_[static_cast<int>(which)] = pushButton;
    return pushButton;
}

void CWaveGdiView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    // A frame of the default size leaves the scope cramped: grow it within the
    // area, and move it back in where the cascade placed it partly outside.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        if (QMdiArea* area = frame->mdiArea()) {
            const QSize room = area->viewport()->size();
            frame->resize(frame->size().expandedTo(QSize(1100, 780)).boundedTo(room));
            frame->move(std::max(0, std::min(frame->x(), room.width() - frame->width())),
                        std::max(0, std::min(frame->y(), room.height() - frame->height())));
        }
    button(ScopeButton::RunStop)->setEnabled(online());
    button(ScopeButton::Save)->setEnabled(online());
    session_.refreshChannels();
    refreshTimer_.start();
    repaintTimer_.start();
}

void CWaveGdiView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void CWaveGdiView::layoutChildren()
{
    const ScopeLayout layout = ScopeLayout::ForView(width(), height());
    const Edges& s = layout.screen;
    screen_->setGeometry(s.left, s.top, s.width(), s.height());
    const Edges& p = layout.plot;
    screen_->setPlot({p.left - s.left, p.top - s.top, p.right - s.left, p.bottom - s.top});
    const Edges& list = layout.channelList;
    channels_->setGeometry(list.left, list.top, list.width(), list.height());
    tabs_->setGeometry(layout.tabLeft, layout.tabTop, ScopeLayout::kTabWidth, ScopeLayout::kTabHeight);
    // The status display and three rows of buttons beside the tabs.
    const int left = layout.tabLeft + ScopeLayout::kTabWidth + 10;
    const int room = std::max(width() - left - 8, 90);
    status_->setGeometry(left, layout.tabTop, room, 32);
    const int columnWidth = (room - 8) / 3;
    const int rowHeight = (ScopeLayout::kTabHeight - 32 - 12) / 3;
    for (int i = 0; i < kScopeButtonCount; ++i)
        buttons_[i]->setGeometry(left + (i % 3) * (columnWidth + 4), layout.tabTop + 38 + (i / 3) * (rowHeight + 3),
                                 columnWidth, rowHeight);
}

void CWaveGdiView::runOrStop()
{
    if (running_)
        stop();
    else
        run();
}

void CWaveGdiView::run()
{
    if (!online())
        return;
    if (session_.scale().channelMask() == 0) {
        platform::userPrompt().messageBox(LoadText(272), "Warning");
        return;
    }
    // The source list follows the channels now, not only when its tab
    // was last shown: a source no longer checked would never trigger.
    trigger_->refill(session_.scale().channelMask());
    trigger_->commit();
    const int source = trigger_->triggerSource();
    ScopeSession::RunResult result;
    {
        platform::WaitCursor wait;
        result = session_.run(source);
    }
    if (result != ScopeSession::RunResult::Started) {
        if (result == ScopeSession::RunResult::Refused)
            platform::userPrompt().messageBox(LoadText(273), "Error");
        return;
    }
    running_ = true;
    trigger_->setRunning(true);
    scale_->setRunning(true);
    screen_->update();
    button(ScopeButton::RunStop)->setText("&Stop");
    button(ScopeButton::AutoSet)->setEnabled(true);
    button(ScopeButton::ReCall)->setEnabled(false);
    button(ScopeButton::Save)->setEnabled(false);
    status_->showStatus(source != 0 ? "Trigger" : "Scanning", kStatusOn, kStatusOff, true);
}

void CWaveGdiView::stop()
{
    button(ScopeButton::RunStop)->setEnabled(false);
    session_.stop();
    showStopped();
}

void CWaveGdiView::showStopped()
{
    running_ = false;
    scale_->setRunning(false);
    button(ScopeButton::RunStop)->setText("&Run");
    button(ScopeButton::AutoSet)->setEnabled(false);
    button(ScopeButton::ReCall)->setEnabled(true);
    button(ScopeButton::Save)->setEnabled(online());
    trigger_->setRunning(false);
    button(ScopeButton::RunStop)->setEnabled(online());
    status_->showStatus("            ", kIdleOn, kIdleOff, false);
    screen_->update();
}

void CWaveGdiView::refresh()
{
    session_.refreshChannels();
    channels_->refresh(session_, session_.buffers().snapshot());
    if (running_) {
        const AcquisitionEnd end = session_.acquisition().poll();
        if (end != AcquisitionEnd::None)
            onAcquisitionEnded(end);
    } else {
        button(ScopeButton::RunStop)->setEnabled(online());
    }
}

void CWaveGdiView::onAcquisitionEnded(AcquisitionEnd end)
{
    showStopped();
    switch (end) {
    case AcquisitionEnd::HorizontalOutOfRange:
        platform::userPrompt().messageBox(LoadText(270), "Error");
        tabs_->setCurrentWidget(trigger_);
        trigger_->focusHorizontal();
        break;
    case AcquisitionEnd::DriveSilent: platform::userPrompt().messageBox(LoadText(1168), "Error"); break;
    case AcquisitionEnd::PortFailed: platform::userPrompt().messageBox(LoadText(1169), "Error"); break;
    default: break;  // stopped by the window's closing or a reconnect
    }
}

void CWaveGdiView::exitView()
{
    platform::WaitCursor wait;
    if (!online()) {
        closeDocument();
        return;
    }
    session_.stop();
    button(ScopeButton::Exit)->setEnabled(false);
    QTimer::singleShot(100, this, [this] { closeDocument(); });
}

void CWaveGdiView::closeDocument()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        window()->close();
}

void CWaveGdiView::autoSet()
{
    for (QPushButton* each : buttons_)
        each->setEnabled(false);
    session_.autoSet();
    scale_->syncFromSettings();
    for (QPushButton* each : buttons_)
        each->setEnabled(true);
    button(ScopeButton::AutoSet)->setEnabled(running_);
    button(ScopeButton::ReCall)->setEnabled(!running_);
    button(ScopeButton::Save)->setEnabled(!running_ && online());
    screen_->update();
}

void CWaveGdiView::recall()
{
    if (!ScopeFileActions::Recall(session_))
        return;
    scale_->syncFromSettings();
    session_.refreshChannels();
    screen_->update();
}

void CWaveGdiView::onTabChanged(int index)
{
    if (tabs_->widget(index) != trigger_)
        return;
    if (!trigger_->refill(session_.scale().channelMask())) {
        tabs_->setCurrentWidget(scale_);
        platform::userPrompt().messageBox(LoadText(272), "Error");
    }
}

void CWaveGdiView::settingsChanged()
{
    session_.refreshChannels();
    screen_->update();
}

void CWaveGdiView::printTo(QPrinter& printer)
{
    const ChannelSamples samples = session_.buffers().snapshot();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    QPainter painter(&printer);
    PaintPrintPage(painter, printer.width(), printer.height(), printer.resolution(),
                   session_.printInput(width(), height(), samples, local));
}

void CWaveGdiView::SetUpPrinter(QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
}

void CWaveGdiView::filePrint()
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        printTo(printer);
}

void CWaveGdiView::filePrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { printTo(*target); });
    preview.exec();
}
