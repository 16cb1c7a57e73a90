// The parameter page against drivesim (115200 baud, paced, 3 ms latency): every command on line.
#include "ParamFixtures.h"

#include "comm/CModbus.h"
#include "link/LinkConnection.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "param/DriveParameterReader.h"
#include "param/PageDriveCommands.h"
#include "param/PageModeChoice.h"
#include "param/PageOpening.h"
#include "param/ParameterEdit.h"
#include "texts/LoadText.h"

#include <gtest/gtest.h>

#include <optional>

using namespace paramtest;

namespace {

class PageOnDrive : public PageTest {
protected:
    void SetUp() override { ASSERT_TRUE(UseGeneratedModelFiles(folder, "Vr_007")); }
    // Starts drivesim as the current drive, then opens the page on line.
    OpenedPage open(int mode, std::vector<std::string> options = {})
    {
        drive.emplace("Vr_007", options);
        EXPECT_TRUE(drive->connected());
        return reopen(mode);
    }
    OpenedPage reopen(int mode = PageModeParameter)
    {
        OpenedPage opened = OpenParameterPage(environment, CurrentDriveType(), PageModeChoice{mode, OfflineStartNone, {}}, host);
        EXPECT_TRUE(opened.page);
        return opened;
    }
    EditResult edit(ParameterPage& page, int parameter, int32_t value)
    {
        host.answers = {value};
        return EditParameter(page, page.rowOf(parameter), host);
    }

    std::optional<SimDrive> drive;
};

}  // namespace

// Catches an on-line page without the drive's values, or a firmware, tuning or unused lock that asks anyway.
TEST_F(PageOnDrive, OpensWithTheDrivesValuesAndLocksRefuseBeforeAnythingIsAsked)
{
    environment.engineerMode = true;
    OpenedPage opened = open(PageModeParameter, {"--model", "vr_003", "--set", "0x11=48", "--set", "0x21=1"});
    ParameterPage& page = *opened.page;
    EXPECT_TRUE(opened.driveCommandsAvailable);
    EXPECT_EQ(page.values(), CatalogueValues("Vr_007", {{0x11, 48}, {0x21, 1}}));
    EXPECT_EQ(page.realtimeTuning(), 1);
    EXPECT_EQ(host.status, LoadText(320));
    EXPECT_EQ(host.description.rfind("Pr.01 ", 0), 0u) << host.description;  // block 2 for the Vr family
    EXPECT_TRUE(prompt.shown().empty());
    host.answers = {5};
    EXPECT_EQ(EditParameter(page, page.rowOf(0x4E), host), EditResult::FirmwareLocked);
    EXPECT_EQ(host.description, "The version of Servo driver is: vr_003\nThis parameter was locked!");
    EXPECT_TRUE(host.descriptionRed);
    EXPECT_EQ(EditParameter(page, page.rowOf(0x10), host), EditResult::AutoTuningLocked);
    EXPECT_EQ(host.description, LoadText(352));
    EXPECT_EQ(host.answers.size(), 1u);  // never asked
    environment.engineerMode = false;
    OpenedPage normal = reopen();
    EXPECT_EQ(EditParameter(*normal.page, normal.page->rowOf(0x0B), host), EditResult::Unused);
    EXPECT_EQ(host.status, LoadText(351));
}

// Catches an edit, transfer, Read, EEPROM save, factory reset or station change that misses the drive or page.
TEST_F(PageOnDrive, EditTransferReadEepromSaveFactoryResetAndStationChange)
{
    OpenedPage opened = open(PageModePosition, {"--state", folder.file("eeprom.txt")});
    ParameterPage& position = *opened.page;
    EXPECT_EQ(edit(position, 0x10, 120), EditResult::Written);
    EXPECT_EQ(position.row(position.rowOf(0x10)).value, 120);
    EXPECT_EQ(DriveValue(0x10), 120);
    EXPECT_EQ(host.status, "Parameter10 ---> has written.");
    EXPECT_EQ(edit(position, 0x10, 120), EditResult::SameValue);
    EXPECT_EQ(host.status, "Parameter10 Same as before.");
    host.answers.clear();
    EXPECT_EQ(EditParameter(position, position.rowOf(0x10), host), EditResult::Cancelled);
    EXPECT_EQ(host.status, "Parameter10 Discard changes.");
    EXPECT_EQ(edit(position, 0x10, 2001), EditResult::OutOfRange);
    EXPECT_EQ(prompt.countMessages(LoadText(355)), 1);
    EXPECT_EQ(DriveValue(0x10), 120);
    prompt.clear();  // a restart-marked parameter warns after it is written
    EXPECT_EQ(edit(position, 0x04, 1), EditResult::Written);
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{LoadText(359)});

    OpenedPage velocity = reopen(PageModeVelocity);
    ParameterPage& page = *velocity.page;
    for (auto [p, v] : {std::pair{0x11, 77}, {0x12, 20}, {0x20, 300}, {0x44, 100}})
        page.row(page.rowOf(p)).value = v;
    prompt.clear();
    ASSERT_TRUE(TransferPage(page, host));
    EXPECT_EQ(prompt.messageTexts(), (std::vector<std::string>{LoadText(332), LoadText(336)}));
    EXPECT_EQ(host.status, LoadText(337));
    ParameterValues onDrive{};
    ASSERT_TRUE(ReadDriveParameters(onDrive, nullptr));
    for (int i = 0; i < page.rowCount(); ++i)
        EXPECT_EQ(onDrive[page.row(i).parameter], page.row(i).value) << ParameterHex(page.row(i).parameter);
    ASSERT_EQ(LinkWriteRegister(1, 0x00, 0x11, 0x00, 99, 100), 1);  // changed behind the page's back
    prompt.clear();
    ASSERT_TRUE(RefreshPageFromDrive(page, host));
    EXPECT_EQ(page.row(page.rowOf(0x11)).value, 99);
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{LoadText(347)});
    prompt.queueAnswer(platform::PromptCancel);
    page.row(page.rowOf(0x11)).value = 5;
    EXPECT_FALSE(TransferPage(page, host));
    EXPECT_EQ(DriveValue(0x11), 99);

    ASSERT_TRUE(SavePageToEeprom(page, host));
    EXPECT_EQ(host.commandWaits, 1);
    EXPECT_EQ(host.status, LoadText(310));
    ASSERT_TRUE(drive->restart());
    OpenedPage again = reopen();
    EXPECT_EQ(again.page->row(0x10).value, 120);
    EXPECT_EQ(again.page->row(0x11).value, 99);
    prompt.clear();
    ASSERT_TRUE(ResetDriveToFactory(*again.page, host));
    EXPECT_EQ(again.page->row(0x11).value, 36);
    EXPECT_EQ(DriveValue(0x11), 36);
    EXPECT_EQ(prompt.messageTexts(), (std::vector<std::string>{LoadText(341), LoadText(343)}));
    EXPECT_EQ(host.status, LoadText(317));

    environment.engineerMode = true;  // past the row's range (the drive refuses 2500), and Pr.00 (unused)
    OpenedPage engineer = reopen();
    prompt.clear();
    EXPECT_EQ(edit(*engineer.page, 0x10, 2500), EditResult::ReadBackDiffers);
    EXPECT_EQ(engineer.page->row(0x10).value, 35);
    EXPECT_EQ(prompt.countMessages(LoadText(357)), 1);
    EXPECT_EQ(host.status, LoadText(357));
    EXPECT_EQ(edit(*engineer.page, 0x00, 7), EditResult::Written);
    EXPECT_EQ(linkState().slaveAddress, 7);
    EXPECT_EQ(LinkModbus().GetSlaveAddress(), 7);
    EXPECT_EQ(linkState().pluginSlaveAddress, 7);
    EXPECT_EQ(DriveValue(0x00), 7);
}

// Catches a page that keeps the drive commands when the drive falls silent after connecting.
TEST_F(PageOnDrive, ADriveThatStopsAnsweringLeavesThePageOffTheDrive)
{
    drive.emplace("Vr_007", std::vector<std::string>{"--silent-after", "1"});
    ASSERT_TRUE(drive->connected());
    ASSERT_EQ(LinkReadRegisters(1, 0, 0, 0, 1, 200, 0), 1);  // the one answer
    OpenedPage opened = reopen();
    EXPECT_FALSE(opened.driveCommandsAvailable);
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{LoadText(329)});
    EXPECT_EQ(host.status, LoadText(319));
    EXPECT_EQ(opened.page->row(0x10).value, 35);  // the model's values stay
    EXPECT_EQ(FirmwareVersionText(*opened.page), "Get ID Fail!");
}
