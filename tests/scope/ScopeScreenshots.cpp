// Takes the scope's pictures for the README: the program's shell with the
// scope scanning drivesim, both cursors and a marker shown; and one page of
// the print preview. Run by docs/make-scope-screenshots.sh under xvfb.
//   scope_screenshots RUNNING.png PREVIEW.png
#include "link/LinkRequests.h"
#include "tests/scope/ScopeShell.h"
#include "tests/scope/ScopeTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QPrinter>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNNING.png PREVIEW.png\n", argv[0]);
        return 2;
    }
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed(prompt);
    std::unique_ptr<DriveSimProcess> sim;
    CQDDToolsApp app;
    CWaveGdiView* scope = OpenScopeInShell(app, QDir::tempPath().toStdString(),
                                           [&sim] { sim = ConnectDriveSim({"--model", "VR-008"}); });
    if (!scope || linkState().online != 1) {
        std::fprintf(stderr, "the shell or drivesim did not start\n");
        return 1;
    }
    app.mainFrame()->resize(1280, 860);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(scope->parentWidget()))
        frame->showMaximized();
    for (int c : {kSpeed, kTorque, kCommand})
        scope->scaleTab()->channelBox(c)->click();
    const std::pair<int, int> fullScales[] = {{kSpeed, 1}, {kTorque, 2}, {kCommand, 1}};  // 200 RPM, 30 %, 200 RPM
    for (const auto& [channel, index] : fullScales) {
        scope->scaleTab()->volDivList(channel)->setCurrentIndex(index);
        scope->scaleTab()->volDivList(channel)->activated(index);
    }
    scope->button(ScopeButton::RunStop)->click();
    scope->button(ScopeButton::Cursors)->click();
    // The servo goes on while the scope runs: the machine starts to follow the
    // host's pulse train, and the picture shows the speed settling.
    QTest::qWait(300);
    LinkWriteCoil(1, 0x00, 38, 0xFF);
    QTest::qWait(350);
    scope->screen()->cursors().setPosition(0, 150, 500);
    scope->screen()->cursors().setPosition(1, 250, 500);
    app.mainFrame()->grab().save(argv[1]);

    scope->button(ScopeButton::RunStop)->click();
    QPrinter printer(QPrinter::HighResolution);
    CWaveGdiView::SetUpPrinter(printer);
    QPrintPreviewDialog preview(&printer, scope);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, scope,
                     [scope](QPrinter* printer) { scope->printTo(*printer); });
    preview.resize(1100, 860);
    preview.show();
    QTest::qWait(800);
    preview.grab().save(argv[2]);
    preview.close();
    app.mainFrame()->close();
    return 0;
}
