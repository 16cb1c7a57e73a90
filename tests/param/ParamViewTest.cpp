// The parameter view and the questions before it, headless. With DRIVARA_SCREENSHOTS set to a folder,
// the on-line view and the compare table are saved there.
#include "ParamFixtures.h"

#include "link/LinkState.h"
#include "link/ui/CSetComPortDlg.h"
#include "link/ui/CTypeSelDlg.h"
#include "param/PageModeChoice.h"
#include "param/ui/CCompareDlg.h"
#include "param/ui/CSOM_View.h"
#include "param/ui/CSOModeDlg.h"
#include "param/ui/CSelFileDlg.h"
#include "param/ui/ControlModeChoice.h"
#include "tests/link/ModalScript.h"
#include "texts/LoadText.h"

#include <QtWidgets>
#include <gtest/gtest.h>

using namespace paramtest;

namespace {

class ParamView : public PageTest {
protected:
    void SetUp() override
    {
        WriteModelFiles(folder, "Vr_007");
        CurrentDriveType() = ModelDrive("Vr_007");
        CurrentPageModeChoice() = PageModeChoice();
        linkState().online = 0;
    }
    std::unique_ptr<CSOM_View> openView()
    {
        auto view = std::make_unique<CSOM_View>(environment,
                                                [this](auto&&... question) { return host.askValue(question...); });
        view->openPage();
        return view;
    }
    QString cell(const CSOM_View& view, int parameter, int column = 4)
    {
        return view.table()->item(view.page()->rowOf(parameter), column)->text();
    }
    std::string status(const CSOM_View& view) { return view.statusLine()->text().toStdString(); }
    // The compare table's rows: "parameter=left/right".
    static QStringList compareRows(const CCompareDlg* d)
    {
        QStringList rows;
        for (int r = 0; r < d->table()->rowCount(); ++r)
            rows << d->table()->item(r, 0)->text() + "=" + d->table()->item(r, 2)->text() + "/" +
                        d->table()->item(r, 3)->text();
        return rows;
    }
    // Runs the questions after the connection step, the script answering them.
    bool chain(const ModalScript& script)
    {
        const bool chosen = RunControlModeChoice(nullptr);
        EXPECT_TRUE(script.finished());
        return chosen;
    }
};

void saveScreenshot(QWidget& widget, const char* name)
{
    const QByteArray folder = qgetenv("DRIVARA_SCREENSHOTS");
    if (!folder.isEmpty())
        widget.grab().save(QString::fromLocal8Bit(folder) + "/" + name);
}

// Dialog steps the scripts share.
const auto ok = [](auto* dialog) { dialog->okButton()->click(); };
const auto cancel = [](auto* dialog) { dialog->cancelButton()->click(); };
std::function<void(CSOModeDlg*)> mode(int pageMode)
{
    return [pageMode](CSOModeDlg* d) {
        d->modeOption(pageMode)->setChecked(true);
        d->okButton()->click();
    };
}
void factory(CSelFileDlg* d)
{
    d->factoryOption()->setChecked(true);
    d->okButton()->click();
}

}  // namespace

// Catches a Cancel that does not walk back one question, an unreadable start file taken, a wrong choice.
TEST_F(ParamView, CancelWalksBackOneQuestionAtATime)
{
    // Off line: mode, start choice (Cancel), mode (Cancel): back to the connection.
    EXPECT_FALSE(chain(ModalScript().then<CSOModeDlg>(mode(3)).then<CSelFileDlg>(cancel).then<CSOModeDlg>(cancel)));

    prompt.queueFile(folder.path());  // a folder: opens, does not read; the file dialog comes again
    prompt.queueFile(folder.file("missing.vcm"));
    EXPECT_TRUE(chain(ModalScript().then<CSOModeDlg>(mode(3)).then<CSelFileDlg>(ok).then<CSelFileDlg>(factory)));
    EXPECT_EQ(prompt.countMessages("Open File Error !"), 2);
    EXPECT_EQ(prompt.shown()[0].text, LoadText(598));
    EXPECT_EQ(CurrentPageModeChoice().pageMode, PageModeVelocity);
    EXPECT_EQ(CurrentPageModeChoice().offlineSource, OfflineStartFactory);

    writeBytes(folder.file("start.qdp"), "x");  // a readable file ends the chain and is kept
    prompt.queueFile(folder.file("start.qdp"));
    EXPECT_TRUE(chain(ModalScript().then<CSOModeDlg>(ok).then<CSelFileDlg>(ok)));
    EXPECT_EQ(CurrentPageModeChoice().offlineFile, folder.file("start.qdp"));
    EXPECT_EQ(CurrentPageModeChoice().pageMode, PageModeParameter);

    CurrentDriveType() = ModelDrive("Zt_101");  // not asked its mode; Cancel goes back to the connection
    EXPECT_FALSE(chain(ModalScript().then<CSelFileDlg>(cancel)));
    EXPECT_EQ(CurrentPageModeChoice().pageMode, PageModePosition);

    linkState().online = 1;  // on line only the mode is asked
    CurrentDriveType() = ModelDrive("Vr_007");
    EXPECT_TRUE(chain(ModalScript().then<CSOModeDlg>(mode(4))));
    EXPECT_EQ(CurrentPageModeChoice().pageMode, PageModeTorque);

    linkState().online = 0;  // the connection step runs the choice; its Cancel reopens the connection
    CSetComPortDlg::setControlModeDialogHook([](QWidget* parent) { return RunControlModeChoice(parent); });
    const auto offline = [](CSetComPortDlg* d) {
        d->offlineOption()->setChecked(true);
        d->okButton()->click();
    };
    const auto vr007 = [](CTypeSelDlg* d) { d->findChild<QPushButton*>("ok")->click(); };  // preselected
    ModalScript script;
    script.then<CSetComPortDlg>(offline).then<CTypeSelDlg>(vr007).then<CSOModeDlg>(cancel);
    script.then<CSetComPortDlg>(offline).then<CTypeSelDlg>(vr007).then<CSOModeDlg>(ok).then<CSelFileDlg>(factory);
    CSetComPortDlg::runConnectionStep(folder.file("Preference.ini"));
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(CurrentPageModeChoice().offlineSource, OfflineStartFactory);
    CSetComPortDlg::setControlModeDialogHook(nullptr);
}

// Catches an off-line view that ignores its start file or offers drive commands, or a command that fails.
TEST_F(ParamView, OffLineTheViewStartsFromTheChosenFileAndItsCommandsWork)
{
    writeFile("start.pcm", "Vr_007", CatalogueValues("Vr_007", {{0x10, 77}}));
    CurrentPageModeChoice() = {PageModePosition, OfflineStartFile, folder.file("start.pcm")};
    auto view = openView();
    EXPECT_EQ(status(*view), LoadText(321));
    EXPECT_EQ(view->modeLabel()->text(), "Position Control Mode");
    EXPECT_EQ(view->versionLabel()->text(), "Ver : Vr_007");
    EXPECT_EQ(cell(*view, 0x10), "77");
    for (auto command : {CSOM_View::Transfer, CSOM_View::Eeprom, CSOM_View::Factory, CSOM_View::Read})
        EXPECT_FALSE(view->button(command)->isEnabled()) << command;
    for (auto command : {CSOM_View::Load, CSOM_View::Save, CSOM_View::Compare, CSOM_View::Exit})
        EXPECT_TRUE(view->button(command)->isEnabled()) << command;
    EXPECT_TRUE(prompt.shown().empty());

    view->table()->selectRow(view->page()->rowOf(0x10));
    view->showSelectedRowHelp();
    EXPECT_EQ(view->descriptionLabel()->text(), "Help of Pr.10\nline 2");
    EXPECT_EQ(status(*view), LoadText(348));
    host.answers = {150};
    view->editSelectedRow();
    EXPECT_EQ(cell(*view, 0x10), "150");
    EXPECT_EQ(status(*view), "Parameter10 ---> has written.");
    prompt.queueFile(folder.file("saved"));
    view->button(CSOM_View::Save)->click();
    host.answers = {151};
    view->editSelectedRow();
    prompt.queueFile(folder.file("saved.pcm"));
    view->button(CSOM_View::Load)->click();
    EXPECT_EQ(cell(*view, 0x10), "150");
    EXPECT_EQ(status(*view), folder.file("saved.pcm"));
    view->showFirmwareVersion();
    EXPECT_EQ(status(*view), "Version 1.0.1.8 Vr-007");

    CurrentPageModeChoice() = PageModeChoice();  // every parameter: unused rows grey, refused with a red note
    auto all = openView();
    ASSERT_EQ(all->table()->rowCount(), 128);
    EXPECT_EQ(all->table()->item(0x0B, 1)->foreground().color(), QColor(180, 180, 180));
    EXPECT_EQ(all->table()->item(0x10, 1)->foreground().color(), QColor(Qt::black));
    all->table()->selectRow(0x0B);
    host.answers = {1};
    all->editSelectedRow();
    EXPECT_EQ(host.answers.size(), 1u);
    EXPECT_EQ(all->descriptionLabel()->text().toStdString(), LoadText(351));
    EXPECT_NE(all->descriptionLabel()->styleSheet().indexOf("255,0,0"), -1);

    writeFile("other.qdp", "Vr_007", CatalogueValues("Vr_007", {{0x10, 50}, {0x11, 60}, {0x44, 100}}));
    prompt.queueFile(folder.file("other.qdp"));  // compare a file with the factory values, copy one row
    QStringList rows;
    ModalScript script;
    script.then<CCompareDlg>([&](CCompareDlg* d) {
        EXPECT_TRUE(d->compare().hasColumn(2) && !d->compare().hasColumn(0));  // factory values, no drive
        d->loadButton(0)->click();                                             // the first file
        d->leftChoice()->setCurrentIndex(0);
        d->rightChoice()->setCurrentIndex(2);
        d->onlyDifferences()->setChecked(true);
        rows = compareRows(d);
        EXPECT_EQ(d->summary()->text(), "3 parameter(s) differ.");
        d->table()->selectRow(0);
        d->copyChoice()->setCurrentIndex(0);  // from the file
        d->copyButton()->click();
        d->accept();
    });
    all->button(CSOM_View::Compare)->click();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(rows, QStringList({"10=50/35", "11=60/36", "44=100/1"}));
    EXPECT_EQ(cell(*all, 0x10), "50");
    EXPECT_EQ(cell(*all, 0x11), "36");

    QMdiArea area;  // Exit closes the view's own window
    QPointer<QMdiSubWindow> frame = area.addSubWindow(all.release());
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->show();
    static_cast<CSOM_View*>(frame->widget())->button(CSOM_View::Exit)->click();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isNull());
}

// Catches an on-line view without the drive's values, or a compare with other rows or copying to the drive.
TEST_F(ParamView, OnLineAgainstDrivesim)
{
    ASSERT_TRUE(UseGeneratedModelFiles(folder, "Vr_007"));
    SimDrive drive("Vr_007", {"--set", "0x10=48"});
    ASSERT_TRUE(drive.connected());
    auto view = openView();
    EXPECT_EQ(status(*view), LoadText(320));
    for (auto command : {CSOM_View::Transfer, CSOM_View::Eeprom, CSOM_View::Factory, CSOM_View::Read})
        EXPECT_TRUE(view->button(command)->isEnabled()) << command;
    EXPECT_EQ(cell(*view, 0x10), "48");
    view->showFirmwareVersion();
    EXPECT_NE(view->statusLine()->text().indexOf("ACSERVO"), -1);
    view->button(CSOM_View::Transfer)->click();  // confirmed by the scripted prompt; the buttons stay usable
    EXPECT_EQ(status(*view), LoadText(337));
    EXPECT_TRUE(view->button(CSOM_View::Transfer)->isEnabled());

    view->resize(780, 560);
    view->show();
    QApplication::processEvents();
    view->table()->selectRow(0x10);
    view->table()->scrollToItem(view->table()->item(0x08, 0), QAbstractItemView::PositionAtTop);
    view->showSelectedRowHelp();
    saveScreenshot(*view, "parameter-page.png");
    writeFile("tuned.qdp", "Vr_007", CatalogueValues("Vr_007", {{0x11, 48}, {0x14, 80}}));
    prompt.queueFile(folder.file("tuned.qdp"));
    QStringList rows;
    ModalScript script;
    script.then<CCompareDlg>([&](CCompareDlg* d) {
        EXPECT_TRUE(d->compare().hasColumn(0));  // the drive, read at once
        d->loadButton(1)->click();
        d->onlyDifferences()->setChecked(true);  // Pr.10 set on the drive, Pr.11 and Pr.14 in the file
        rows = compareRows(d);
        d->table()->selectAll();
        d->copyChoice()->setCurrentIndex(1);  // from the file
        d->copyButton()->click();
        d->onlyDifferences()->setChecked(false);
        QApplication::processEvents();
        d->table()->scrollToItem(d->table()->item(0x0C, 0), QAbstractItemView::PositionAtTop);
        saveScreenshot(*d, "parameter-compare.png");
        d->accept();
    });
    view->button(CSOM_View::Compare)->click();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(rows, QStringList({"10=48/35", "11=36/48", "14=65/80"}));
    EXPECT_EQ(cell(*view, 0x14), "80");
    EXPECT_EQ(DriveValue(0x14), 65);  // the page's value changed, not the drive's
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
