// The scope view headless: off line, printing, a run against drivesim, and in the program's shell.
#include "scope/ScopeDiagnostics.h"
#include "scope/ui/ScopeChannelList.h"
#include "scope/ui/ScopeDiagnosticsPanel.h"
#include "scope/ui/ScopeStatusDisplay.h"
#include "tests/platform/TempFolder.h"
#include "tests/scope/ScopeShell.h"
#include "tests/scope/ScopeTestSupport.h"
#include "texts/LoadText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QTabWidget>

#include <csignal>

using namespace testing_files;

namespace {

// Waits while the event loop runs.
template <typename Done>
bool waitUntil(Done done, int timeoutMs = 5000)
{
    for (int waited = 0; waited < timeoutMs && !done(); waited += 20)
        QTest::qWait(20);
    return done();
}

}  // namespace

// The view under a scripted prompt, and the drivesims a test started.
class ScopeView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetLinkState();
        scopeDiagnostics().resetForRun();
    }
    void TearDown() override
    {
        view.reset();
        ResetLinkState();
        sims.clear();
    }
    // A new drivesim, connected as COM 1.
    void connectDrive()
    {
        sims.push_back(ConnectDriveSim());
        ASSERT_EQ(linkState().online, 1);
    }
    void showView()
    {
        view = std::make_unique<CWaveGdiView>();
        view->resize(1280, 800);
        view->show();
    }
    void click(ScopeButton which) { view->button(which)->click(); }
    void showTab(QWidget* tab) { view->tabs()->setCurrentWidget(tab); }

    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
    std::vector<std::unique_ptr<DriveSimProcess>> sims;
    std::unique_ptr<CWaveGdiView> view;
};

// Off line: Run or Save offered, a fourth channel taken, trigger sources not following the
// channels, ReCall not showing the file's settings, printing that fails headless.
TEST_F(ScopeView, OffLineRulesReCallAndPrint)
{
    showView();
    EXPECT_FALSE(view->button(ScopeButton::RunStop)->isEnabled());
    EXPECT_FALSE(view->button(ScopeButton::Save)->isEnabled());
    EXPECT_TRUE(view->button(ScopeButton::ReCall)->isEnabled());
    EXPECT_FALSE(view->scaleTab()->secDivList()->isEnabled()) << "no channel checked";
    showTab(view->triggerTab());
    EXPECT_EQ(view->tabs()->currentWidget(), view->scaleTab()) << "the Trigger tab wants a channel first";
    EXPECT_EQ(prompt.countMessages(LoadText(272)), 1);
    EXPECT_EQ(prompt.shown().back().caption, "Error");

    CScaleDlg* scale = view->scaleTab();
    for (int c : {kSpeed, kDeviation, kCommand, kTorque})
        scale->channelBox(c)->click();
    EXPECT_FALSE(scale->channelBox(kTorque)->isChecked()) << "a fourth";
    EXPECT_EQ(prompt.countMessages(LoadText(268)), 1);
    EXPECT_EQ(view->session().scale().channelMask(), 4 | 1 | 2);
    EXPECT_TRUE(scale->secDivList()->isEnabled());
    EXPECT_FALSE(scale->volDivList(kTorque)->isEnabled());

    // The trigger's sources: Disable and the checked channels, in channel order.
    CTriggerDlg* trigger = view->triggerTab();
    QComboBox* sources = trigger->sourceList();
    showTab(trigger);
    ASSERT_EQ(sources->count(), 4);
    EXPECT_EQ(sources->itemText(1), "Speed");
    EXPECT_EQ(sources->itemText(2), "Pulse Deviation");
    EXPECT_EQ(sources->itemText(3), "Speed Command");
    EXPECT_FALSE(trigger->horizontalField()->isEnabled());
    sources->setCurrentIndex(2);
    EXPECT_TRUE(trigger->horizontalField()->isEnabled());
    EXPECT_EQ(trigger->levelUnit()->text(), "Pulse");
    EXPECT_EQ(trigger->triggerSource(), kDeviation + 1);
    // The choice survives a refill that still offers it, and goes with its channel.
    for (auto [channel, stays] : {std::pair{kSpeed, "Pulse Deviation"}, {kDeviation, "Disable"}}) {
        showTab(scale);
        scale->channelBox(channel)->click();
        showTab(trigger);
        EXPECT_EQ(sources->currentText(), stays);
    }
    // Run follows the channels even without a visit to the tab.
    sources->setCurrentIndex(1);  // Speed Command
    showTab(scale);
    scale->channelBox(kTorque)->click();
    scale->channelBox(kCommand)->click();
    linkState().online = 1;  // no port: the start goes no further
    view->runOrStop();
    EXPECT_EQ(sources->currentText(), "Disable");
    EXPECT_FALSE(view->running());

    // ReCall shows the file's settings; the page prints to a PDF file.
    linkState().online = 0;
    TempFolder folder;
    std::string file = "#\r\n04 Speed ,1500\r\n08 All ,200\r\n13 Speed ,000 ,-2500\r\n";
    for (int i = 1; i <= 200; ++i)
        file += "                    ," + std::to_string(i) + "     ," + std::to_string(i * 25 - 2500) + "\r\n";
    writeBytes(folder.file("in.wfm"), file + "#\r\nend of file.\r\n");
    prompt.queueFile(folder.file("in.wfm"));
    click(ScopeButton::ReCall);
    EXPECT_TRUE(view->scaleTab()->channelBox(kSpeed)->isChecked());
    EXPECT_EQ(view->scaleTab()->volDivList(kSpeed)->currentText(), "1500");
    EXPECT_EQ(view->scaleTab()->secDivList()->currentText(), "200");
    EXPECT_EQ(view->session().buffers().size(kSpeed), 201u);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(folder.file("page.pdf")));
    view->printTo(printer);
    const std::string pdf = readBytes(folder.file("page.pdf"));
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_GT(pdf.size(), 2000u);
}

// Controls, cursors, panel and exports while running; Horizontal 100; a vanished port; Save; Exit.
TEST_F(ScopeView, RunsFromStartToExit)
{
    connectDrive();
    showView();
    TempFolder folder;
    CScaleDlg* scale = view->scaleTab();
    CTriggerDlg* trigger = view->triggerTab();
    scale->channelBox(kSpeed)->click();
    scale->channelBox(kCommand)->click();
    click(ScopeButton::RunStop);
    ASSERT_TRUE(view->running());
    EXPECT_EQ(view->button(ScopeButton::RunStop)->text(), "&Stop");
    EXPECT_FALSE(view->button(ScopeButton::Save)->isEnabled());
    EXPECT_FALSE(view->button(ScopeButton::ReCall)->isEnabled());
    EXPECT_TRUE(view->button(ScopeButton::AutoSet)->isEnabled());
    EXPECT_FALSE(scale->channelBox(kTorque)->isEnabled());
    EXPECT_EQ(view->statusDisplay()->text(), "Scanning");
    ASSERT_TRUE(waitUntil([&] { return view->session().buffers().size(kCommand) == 501; }));
    EXPECT_NE(view->channelList()->item(kSpeed, 5)->text(), "");
    click(ScopeButton::Cursors);
    EXPECT_TRUE(view->screen()->cursors().shown());
    EXPECT_EQ(view->screen()->cursors().position(1), 375);
    click(ScopeButton::Diagnostics);
    EXPECT_TRUE(view->diagnosticsPanel()->isVisible());
    EXPECT_TRUE(view->diagnosticsPanel()->lines().at(1).startsWith("AllIn : "));
    prompt.queueFile(folder.file("capture"));  // the extension comes with the choice
    click(ScopeButton::ExportCsv);
    EXPECT_EQ(readBytes(folder.file("capture.csv")).rfind("Time (ms),Speed (RPM),Speed Command (RPM)\r\n0,", 0), 0u);
    prompt.queueFile(folder.file("screen.png"));
    click(ScopeButton::ExportPng);
    EXPECT_EQ(readBytes(folder.file("screen.png")).substr(1, 3), "PNG");
    click(ScopeButton::RunStop);
    EXPECT_FALSE(view->running());
    EXPECT_EQ(linkState().acquisitionWorker, nullptr);
    EXPECT_EQ(view->button(ScopeButton::RunStop)->text(), "&Run");
    EXPECT_TRUE(view->button(ScopeButton::Save)->isEnabled());
    EXPECT_TRUE(scale->channelBox(kTorque)->isEnabled());

    showTab(trigger);
    trigger->sourceList()->setCurrentIndex(2);  // Speed Command
    click(ScopeButton::RunStop);
    ASSERT_TRUE(view->running());
    EXPECT_EQ(view->statusDisplay()->text(), "Trigger");
    EXPECT_FALSE(trigger->sourceList()->isEnabled());
    trigger->horizontalField()->setText("100");
    trigger->commit();
    ASSERT_TRUE(waitUntil([&] { return !view->running(); }));
    EXPECT_EQ(prompt.countMessages(LoadText(270)), 1);
    EXPECT_TRUE(trigger->sourceList()->isEnabled());
    EXPECT_EQ(trigger->horizontalField()->selectedText(), "100");

    trigger->sourceList()->setCurrentIndex(0);
    click(ScopeButton::RunStop);
    ASSERT_TRUE(waitUntil([&] { return scopeDiagnostics().records > 600; }));
    ASSERT_EQ(kill(sims.back()->pid(), SIGKILL), 0);  // the adapter pulled: EIO
    EXPECT_LT(MillisecondsOf([&] { ASSERT_TRUE(waitUntil([&] { return !view->running(); }, 3000)); }), 2000);
    EXPECT_EQ(linkState().acquisitionWorker, nullptr);
    EXPECT_EQ(prompt.countMessages(LoadText(1169)), 1);
    EXPECT_EQ(view->session().buffers().size(kSpeed), 501u);
    prompt.queueFile(folder.file("capture.wfm"));
    click(ScopeButton::Save);
    EXPECT_EQ(readBytes(folder.file("capture.wfm")).substr(0, 3), "#\r\n");
    click(ScopeButton::Exit);
    EXPECT_FALSE(view->button(ScopeButton::Exit)->isEnabled());
    EXPECT_TRUE(waitUntil([&] { return !view->isVisible(); }, 2000)) << "the window closes 100 ms later";
}

// A reconnect changing the port under a reading worker, Run failing after; a thread left at close.
TEST_F(ScopeView, ReconnectParksTheWorkerBeforeThePortChangesAndANewRunWorks)
{
    TempFolder folder;
    bool parkedBeforeEveryChange = true;
    int connections = 0;
    {
        CQDDToolsApp app;
        CWaveGdiView* scope = OpenScopeInShell(app, folder.path(), [&] {
            platform::WorkerGate* worker = linkState().acquisitionWorker;
            // Parked at its gate, or ended: either way off the port.
            parkedBeforeEveryChange &= linkState().scanRunning == 0 && (!worker || !worker->running());
            ++connections;
            connectDrive();  // a new drive on a new port
        });
        LinkBridge().forgetConnection = [] { linkState().online = 0; };
        ASSERT_NE(scope, nullptr);
        // The frame's Print and Print Preview commands call these by name.
        EXPECT_GE(scope->metaObject()->indexOfSlot("filePrint()"), 0);
        EXPECT_GE(scope->metaObject()->indexOfSlot("filePrintPreview()"), 0);
        EXPECT_NE(app.mainFrame()->commandAction(57609), nullptr);
        scope->scaleTab()->channelBox(kSpeed)->click();
        scope->button(ScopeButton::RunStop)->click();
        ASSERT_TRUE(waitUntil([&] { return scopeDiagnostics().records > 300; }));

        app.reconnect();
        EXPECT_EQ(connections, 2);
        EXPECT_TRUE(parkedBeforeEveryChange) << "the worker was still reading when the port changed";
        ASSERT_TRUE(waitUntil([&] { return !scope->running(); }));
        EXPECT_EQ(linkState().acquisitionWorker, nullptr);
        scope->button(ScopeButton::RunStop)->click();
        ASSERT_TRUE(scope->running()) << "a new Run on the new connection";
        ASSERT_TRUE(waitUntil([&] { return scopeDiagnostics().records > 300; }));

        // Closing the program while the scope runs: told, stopped, joined.
        app.mainFrame()->close();
        EXPECT_EQ(prompt.countMessages("Scope process is stopping!"), 1);
        QTest::qWait(50);
        EXPECT_EQ(app.mainFrame()->findChild<CWaveGdiView*>(), nullptr);
        EXPECT_EQ(linkState().acquisitionWorker, nullptr);
        EXPECT_EQ(linkState().scanRunning.load(), 0);
    }
    LinkBridge() = DriveLinkBridge();
}
