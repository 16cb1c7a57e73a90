// The block-diagram views: the picture and the buttons by drive class and
// Pr.5B, the messages for an unreadable Pr.5B and a missing picture, the
// buttons opening their dialogs, and Cancel closing the window.
#include "WizardUiTestBed.h"

#include "tables/DriveType.h"
#include "wizard/DiagramArt.h"
#include "wizard/ui/CPWizardView.h"
#include "wizard/ui/CTWizardView.h"
#include "wizard/ui/CVWizardView.h"
#include "wizard/ui/CWizardDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <cstdlib>
#include <unistd.h>

namespace {

const std::set<int> kSecondNotch = {2194, 2195, 2188};

std::unique_ptr<CWizardDiagramView> MakeView(WizardDiagram diagram, const std::string& folder)
{
    switch (diagram) {
    case WizardDiagram::Position: return std::make_unique<CPWizardView>(folder);
    case WizardDiagram::Velocity: return std::make_unique<CVWizardView>(folder);
    case WizardDiagram::Torque: break;
    }
    return std::make_unique<CTWizardView>(folder);
}

bool Shows(const CWizardDiagramView& view, int button)
{
    const QPushButton* b = view.parameterButton(button);
    return b && b->isVisible();
}

class DiagramViews : public SimulatedDriveTest {
protected:
    void SetUp() override
    {
        SimulatedDriveTest::SetUp();
        CurrentDriveType() = DriveType();
    }
    void TearDown() override
    {
        CurrentDriveType() = DriveType();
        SimulatedDriveTest::TearDown();
    }
    std::unique_ptr<CWizardDiagramView> show(WizardDiagram diagram, int driveClass,
                                             const std::string& folder = RuntimeFolder())
    {
        CurrentDriveType().driveClass = driveClass;
        auto view = MakeView(diagram, folder);
        view->show();
        return view;
    }
};

TEST_F(DiagramViews, TorqueAtPin16OnAClassThreeDriveHasNoSpeedLimitButton)
{
    SetDriveRegister(0x5B, 1);
    const auto view = show(WizardDiagram::Torque, 3);
    EXPECT_EQ(view->setup().picture, "Images/TorquePin16_Backgrand007.bmp");
    ASSERT_FALSE(view->picture()->pixmap().isNull());
    EXPECT_EQ(view->picture()->pixmap().size(), QSize(960, 560));
    EXPECT_FALSE(Shows(*view, 2131));
    for (int button : {2113, 2129, 2130, 2071, 2194, 2195, 2188})
        EXPECT_TRUE(Shows(*view, button)) << button;
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(DiagramViews, TorqueAtPin14ShowsTheSpeedLimitButton)
{
    SetDriveRegister(0x5B, 0);
    const auto view = show(WizardDiagram::Torque, 2);
    EXPECT_EQ(view->setup().picture, "Images/TorquePin14_Backgrand007.bmp");
    EXPECT_TRUE(Shows(*view, 2131));
}

TEST_F(DiagramViews, ClassOneDrivesHaveNoSecondNotchButtons)
{
    SetDriveRegister(0x5B, 1);
    for (WizardDiagram diagram : {WizardDiagram::Position, WizardDiagram::Velocity, WizardDiagram::Torque}) {
        const auto view = show(diagram, 1);
        EXPECT_NE(view->setup().picture.find("_BackgrandII.bmp"), std::string::npos);
        EXPECT_FALSE(view->picture()->pixmap().isNull());
        for (int button : kSecondNotch)
            EXPECT_FALSE(Shows(*view, button)) << button;
        EXPECT_TRUE(Shows(*view, 2074)) << "the first notch stays";
    }
    const auto position = show(WizardDiagram::Position, 1);
    EXPECT_EQ(position->setup().picture, "Images/PCBDD_BackgrandII.bmp");
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(DiagramViews, Pr11OpensTheSameDialogInEveryDiagram)
{
    SetDriveRegister(0x11, 44);
    for (WizardDiagram diagram : {WizardDiagram::Position, WizardDiagram::Velocity, WizardDiagram::Torque}) {
        const auto view = show(diagram, 3);
        QPushButton* button = view->parameterButton(2071);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), "Pr.11");
        bool opened = false;
        OnNextModal<CWizardDlg>(view.get(), [&](CWizardDlg* dialog) {
            opened = true;
            EXPECT_EQ(dialog->dialogId(), WizardDialogId::Wizard11);
            EXPECT_EQ(dialog->edits().at(0)->text(), "44");
            dialog->reject();
        });
        button->click();
        EXPECT_TRUE(opened);
    }
}

TEST_F(DiagramViews, CancelClosesTheWindow)
{
    QMdiArea area;
    auto* view = new CVWizardView(RuntimeFolder());
    QMdiSubWindow* frame = area.addSubWindow(view);
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    area.show();
    frame->show();
    EXPECT_GE(frame->width(), view->width()) << "the frame fits the form";
    view->cancelButton()->click();
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(DiagramViews, MissingPictureIsReportedAndTheButtonsStillWork)
{
    char folder[] = "/tmp/drivara-no-images-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const auto view = show(WizardDiagram::Position, 2, folder);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text,
              std::string("Failed to load image file: \n") + folder + "/Images/PCBDD_Backgrand007.bmp");
    EXPECT_EQ(prompt.shown()[0].caption, "Error");
    EXPECT_TRUE(view->picture()->pixmap().isNull());
    EXPECT_TRUE(Shows(*view, 2068));
    rmdir(folder);
}

TEST(DiagramViewsWithoutDrive, UnreadablePr5BLeavesNoPictureAndButtonsThatStillOpenDialogs)
{
    ResetLinkState();
    CurrentDriveType() = DriveType();
    CurrentDriveType().driveClass = 1;
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped(prompt);
    CTWizardView view(RuntimeFolder());
    view.show();
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{"Get Pr5B Error!"});
    EXPECT_EQ(prompt.shown()[0].caption, "Error");
    EXPECT_TRUE(view.picture()->pixmap().isNull());
    for (int button : kSecondNotch)
        EXPECT_FALSE(Shows(view, button)) << "the class rule holds without Pr.5B";
    ASSERT_TRUE(Shows(view, 2131));
    prompt.clear();
    view.parameterButton(2131)->click();  // its dialog cannot read Pr.56 either
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{"Read data failed!"});
    CurrentDriveType() = DriveType();
}

// The pictures the build wrote are the drawings of the layouts the views
// place their buttons by: each button lies on its strip in the picture.
TEST(DiagramPictures, ButtonStripsLieWhereTheButtonsGo)
{
    struct Picture {
        WizardDiagram diagram;
        bool early;
        bool pin16;
    };
    for (const Picture p : {Picture{WizardDiagram::Position, false, false}, Picture{WizardDiagram::Velocity, true, false},
                            Picture{WizardDiagram::Torque, false, true}, Picture{WizardDiagram::Torque, true, false}}) {
        const std::string file = DiagramPictureFile(p.diagram, p.early, p.pin16);
        const QImage built(QString::fromStdString(PictureFullPath(RuntimeFolder(), file)));
        ASSERT_FALSE(built.isNull()) << file;
        const QImage drawn = DrawDiagram(p.diagram, p.early, p.pin16);
        ASSERT_EQ(built.size(), drawn.size());
        for (const DiagramButton& button : LayoutOf(p.diagram, p.pin16).buttons) {
            const bool drawnOn = !(p.early && kSecondNotch.count(button.controlId));
            const QColor colour = built.pixelColor(button.rect.x + 2, button.rect.centreY());
            EXPECT_EQ(colour.blue() > colour.red() + 60, drawnOn) << file << " button " << button.controlId;
        }
    }
}

}  // namespace
