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

#include <set>
#include <unistd.h>

namespace {

const std::set<int> kSecondNotch = {2194, 2195, 2188};

bool Shows(const CWizardDiagramView& view, int button)
{
    const QPushButton* b = view.parameterButton(button);
    return b && b->isVisible();
}

class DiagramViews : public SimulatedDriveTest {
protected:
    void TearDown() override
    {
        CurrentDriveType() = DriveType();
        connected().answerAgain();
    }
    std::unique_ptr<CWizardDiagramView> show(WizardDiagram diagram, int driveClass,
                                             const std::string& folder = RuntimeFolder())
    {
        CurrentDriveType() = DriveType();
        CurrentDriveType().driveClass = driveClass;
        std::unique_ptr<CWizardDiagramView> view;
        if (diagram == WizardDiagram::Position)
            view = std::make_unique<CPWizardView>(folder);
        else if (diagram == WizardDiagram::Velocity)
            view = std::make_unique<CVWizardView>(folder);
        else
            view = std::make_unique<CTWizardView>(folder);
        view->show();
        return view;
    }
};

// The view hides the buttons its setup names (the rules themselves are in
// the diagram rules test): no Pr.56 at Pin16, no second notch on class 1.
TEST_F(DiagramViews, PictureAndButtonsFollowTheDriveClassAndPr5B)
{
    const std::set<int> torque = {2113, 2129, 2130, 2071, 2194, 2195, 2188};
    const struct {
        WizardDiagram diagram;
        int driveClass;
        uint16_t pr5b;
        const char* picture;
        std::set<int> hidden, shown;
    } rows[] = {
        {WizardDiagram::Torque, 3, 1, "Images/TorquePin16_Backgrand007.bmp", {2131}, torque},
        {WizardDiagram::Torque, 2, 0, "Images/TorquePin14_Backgrand007.bmp", {}, {2131}},
        {WizardDiagram::Position, 1, 1, "Images/PCBDD_BackgrandII.bmp", kSecondNotch, {2074}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.picture);
        SetDriveRegister(0x5B, row.pr5b);
        const auto view = show(row.diagram, row.driveClass);
        EXPECT_EQ(view->setup().picture, row.picture);
        EXPECT_EQ(view->picture()->pixmap().size(), QSize(960, 560));
        for (int button : row.hidden)
            EXPECT_FALSE(Shows(*view, button)) << button;
        for (int button : row.shown)
            EXPECT_TRUE(Shows(*view, button)) << button;
    }
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(DiagramViews, Pr11OpensTheSameDialogInEveryDiagramAndCancelCloses)
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

    // Cancel closes the window the form sits in.
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

// A missing picture file and an unreadable Pr.5B are each reported once;
// the view stays without a picture and its buttons still work.
TEST_F(DiagramViews, MissingPictureOrUnreadablePr5BLeavesWorkingButtons)
{
    char folder[] = "/tmp/drivara-no-images-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    {
        const auto view = show(WizardDiagram::Position, 2, folder);
        EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{std::string("Failed to load image file: \n") +
                                                                  folder + "/Images/PCBDD_Backgrand007.bmp"});
        EXPECT_TRUE(view->picture()->pixmap().isNull());
        EXPECT_TRUE(Shows(*view, 2068));
    }
    rmdir(folder);

    prompt.clear();
    connected().silence();
    const auto view = show(WizardDiagram::Torque, 1);
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{"Get Pr5B Error!"});
    EXPECT_EQ(prompt.shown()[0].caption, "Error");
    EXPECT_TRUE(view->picture()->pixmap().isNull());
    for (int button : kSecondNotch)
        EXPECT_FALSE(Shows(*view, button)) << "the class rule holds without Pr.5B";
    ASSERT_TRUE(Shows(*view, 2131));
    prompt.clear();
    view->parameterButton(2131)->click();  // its dialog cannot read Pr.56 either
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{"Read data failed!"});
}

// The pictures the build wrote are the drawings of the layouts the views
// place their buttons by: each button lies on its strip in the picture.
TEST(DiagramPictures, ButtonStripsLieWhereTheButtonsGo)
{
    const struct {
        WizardDiagram diagram;
        bool early, pin16;
    } pictures[] = {{WizardDiagram::Position, false, false}, {WizardDiagram::Velocity, true, false},
                    {WizardDiagram::Torque, false, true}, {WizardDiagram::Torque, true, false}};
    for (const auto& p : pictures) {
        const std::string file = DiagramPictureFile(p.diagram, p.early, p.pin16);
        const QImage built(QString::fromStdString(PictureFullPath(RuntimeFolder(), file)));
        ASSERT_FALSE(built.isNull()) << file;
        ASSERT_EQ(built.size(), DrawDiagram(p.diagram, p.early, p.pin16).size());
        for (const DiagramButton& button : LayoutOf(p.diagram, p.pin16).buttons) {
            const bool drawnOn = !(p.early && kSecondNotch.count(button.controlId));
            const QColor colour = built.pixelColor(button.rect.x + 2, button.rect.centreY());
            EXPECT_EQ(colour.blue() > colour.red() + 60, drawnOn) << file << " button " << button.controlId;
        }
    }
}

}  // namespace
