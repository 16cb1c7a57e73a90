// The block diagrams: which picture and which buttons each drive class and
// Pr.5B give, which buttons each diagram has, and that the layout keeps
// every button on its box and inside the picture.
#include "FakeWizardDrive.h"

#include "wizard/DiagramSetup.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const std::set<int> kNotch2 = {2194, 2195, 2188};  // the second notch's buttons
const std::set<int> kNotch2AndPr56 = {2194, 2195, 2188, 2131};

TEST(DiagramSetup, PictureFollowsTheDriveClassAndTheTorqueInput)
{
    const struct {
        WizardDiagram diagram;
        int driveClass;
        std::optional<uint16_t> pr5b;
        const char* picture;
        std::set<int> hidden;
        bool pin16;
        const char* message;
    } rows[] = {
        {WizardDiagram::Position, 1, {}, "Images/PCBDD_BackgrandII.bmp", kNotch2, false, ""},
        {WizardDiagram::Position, 2, {}, "Images/PCBDD_Backgrand007.bmp", {}, false, ""},
        {WizardDiagram::Velocity, 0, {}, "Images/Velocity_BackgrandII.bmp", kNotch2, false, ""},
        {WizardDiagram::Velocity, 5, {}, "Images/Velocity_Backgrand007.bmp", {}, false, ""},
        {WizardDiagram::Torque, 3, 0, "Images/TorquePin14_Backgrand007.bmp", {}, false, ""},
        {WizardDiagram::Torque, 3, 1, "Images/TorquePin16_Backgrand007.bmp", {2131}, true, ""},
        {WizardDiagram::Torque, 4, 9, "Images/TorquePin16_Backgrand007.bmp", {2131}, true, ""},
        {WizardDiagram::Torque, 1, 0, "Images/TorquePin14_BackgrandII.bmp", kNotch2, false, ""},
        {WizardDiagram::Torque, 0, 1, "Images/TorquePin16_BackgrandII.bmp", kNotch2AndPr56, true, ""},
        // An early drive with another input: no picture, no message, Pr.56 stays.
        {WizardDiagram::Torque, 1, 2, "", kNotch2, false, ""},
        {WizardDiagram::Torque, 2, std::nullopt, "", {}, false, "Get Pr5B Error!"},
        {WizardDiagram::Torque, 1, std::nullopt, "", kNotch2, false, "Get Pr5B Error!"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.picture) + " class " + std::to_string(row.driveClass));
        const DiagramSetup setup = PrepareDiagram(row.diagram, row.driveClass, row.pr5b);
        EXPECT_EQ(setup.picture, row.picture);
        EXPECT_EQ(std::set<int>(setup.hiddenButtons.begin(), setup.hiddenButtons.end()), row.hidden);
        EXPECT_EQ(setup.torquePin16, row.pin16);
        EXPECT_EQ(setup.errorMessage, row.message);
    }
}

TEST(DiagramSetup, OnlyTheTorqueDiagramReadsPr5B)
{
    FakeWizardDrive drive;
    drive.registers[kTorqueCommandInput] = 1;
    EXPECT_EQ(OpenDiagram(WizardDiagram::Position, 3, drive).picture, "Images/PCBDD_Backgrand007.bmp");
    EXPECT_TRUE(drive.reads.empty());
    EXPECT_EQ(OpenDiagram(WizardDiagram::Torque, 3, drive).picture, "Images/TorquePin16_Backgrand007.bmp");
    EXPECT_EQ(drive.reads, (std::vector<uint8_t>{0x5B}));
    drive.failingReads = {0x5B};
    EXPECT_EQ(OpenDiagram(WizardDiagram::Torque, 3, drive).errorMessage, "Get Pr5B Error!");
}

std::set<int> ButtonsOf(const DiagramLayout& layout)
{
    std::set<int> ids;
    for (const DiagramButton& b : layout.buttons)
        ids.insert(b.controlId);
    return ids;
}

TEST(DiagramLayout, EachDiagramHasItsParameterButtons)
{
    std::set<int> position = {2063, 2064, 2070, 2071, 2072, 2073, 2074, 2075, 2076, 2193, 2194, 2195, 2188};
    std::set<int> velocity = position, torquePin16 = position;
    position.insert({2062, 2065, 2066, 2067, 2068, 2069});
    velocity.insert({2109, 2110, 2111, 2112, 2113, 2114, 2115});
    torquePin16.insert({2113, 2129, 2130});
    std::set<int> torquePin14 = torquePin16;
    torquePin14.insert(2131);
    EXPECT_EQ(ButtonsOf(LayoutOf(WizardDiagram::Position)), position);
    EXPECT_EQ(ButtonsOf(LayoutOf(WizardDiagram::Velocity)), velocity);
    EXPECT_EQ(ButtonsOf(LayoutOf(WizardDiagram::Torque, false)), torquePin14);
    EXPECT_EQ(ButtonsOf(LayoutOf(WizardDiagram::Torque, true)), torquePin16);
    EXPECT_THROW(DialogOfButton(2106), std::out_of_range) << "the velocity picture itself is no button";
    EXPECT_EQ(ParameterButtonLabel(WizardDialogId::Wizard46), "Pr.46/4B");
    EXPECT_EQ(ParameterButtonLabel(WizardDialogId::Wizard53), "Pr.53-56/74-77");
}

TEST(DiagramLayout, ButtonsLieOnTheirBoxesAndNothingOverlaps)
{
    for (const DiagramLayout* layout : {&LayoutOf(WizardDiagram::Position), &LayoutOf(WizardDiagram::Velocity),
                                        &LayoutOf(WizardDiagram::Torque, false),
                                        &LayoutOf(WizardDiagram::Torque, true)}) {
        const LayoutRect picture{0, 0, layout->width, layout->height};
        EXPECT_TRUE(picture.contains(layout->cancel));
        for (size_t i = 0; i < layout->boxes.size(); ++i) {
            const DiagramBox& box = layout->boxes[i];
            SCOPED_TRACE(box.key);
            EXPECT_TRUE(picture.contains(box.rect));
            EXPECT_FALSE(box.rect.intersects(layout->cancel));
            for (size_t j = i + 1; j < layout->boxes.size(); ++j)
                EXPECT_FALSE(box.rect.intersects(layout->boxes[j].rect)) << "and " << layout->boxes[j].key;
            for (int id : box.buttons) {
                const DiagramButton* button = layout->button(id);
                ASSERT_NE(button, nullptr);
                EXPECT_TRUE(box.rect.contains(button->rect)) << id;
                EXPECT_GE(button->rect.width, 48) << "room for its label";
            }
        }
        EXPECT_EQ(layout->buttons.size(), ButtonsOf(*layout).size()) << "each button once";
    }
}

}  // namespace
