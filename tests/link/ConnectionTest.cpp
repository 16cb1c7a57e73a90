// Finding a drive's station, the kept connection settings, and checking the
// drive's model before parameters go over (Auto Search: the dialog tests).
#include "LinkTestBed.h"

#include "tables/DriveType.h"
#include "tables/ModelSelectionList.h"
#include "link/ConnectionSettings.h"
#include "link/DriveIdentification.h"
#include "link/LinkConnection.h"
#include "link/StationFinder.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserPrompt.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

Bytes readStationRequest(uint8_t address)
{
    return withCrc({address, 0x03, 0x00, 0x00, 0x00, 0x01});
}

class ConnectionTest : public LinkTestBed {
protected:
    void SetUp() override
    {
        LinkTestBed::SetUp();
        CurrentDriveType() = DriveType();
    }
    void TearDown() override
    {
        std::remove(ini.c_str());
        LinkTestBed::TearDown();
    }
    const std::string ini = "/tmp/drivara-link-ini-" + std::to_string(getpid());
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
};

}  // namespace

// A scan asks addresses in order, once each (no retries), up to the first answer.
TEST_F(ConnectionTest, ScanStopsAtTheFirstStationThatAnswers)
{
    openPort();
    drive->always(readStationRequest(3), Answer(withCrc(hex("03 03 02 00 03"))));
    StationScan scan;
    scan.lastAddress = 6;
    EXPECT_EQ(FindStation(0, scan), 1);
    EXPECT_EQ(linkState().slaveAddress, 3);
    EXPECT_EQ(toHex(drive->received()), toHex(readStationRequest(1) + readStationRequest(2) + readStationRequest(3)));
}

// Stored port and station rows count only when kept and in range; unkept ones are not written.
TEST_F(ConnectionTest, StoredRowsCountOnlyWhenKeptAndInRange)
{
    const struct {
        const char* file;
        int portRow, stationRow;
    } loads[] = {{"SaveAsDefault=0\nComPort=4\nSlaveID=7\n", 0, 1},
                 {"SaveAsDefault=1\nComPort=4\nSlaveID=7\n", 4, 7},
                 {"SaveAsDefault=1\nComPort=40\nSlaveID=-2\n", 0, 1}};
    for (const auto& l : loads) {
        std::ofstream(ini) << "[SetComPort]\n" << l.file;
        const ConnectionSettings loaded = ConnectionSettings::load(ini);
        EXPECT_EQ(loaded.portRow, l.portRow) << l.file;
        EXPECT_EQ(loaded.stationRow, l.stationRow) << l.file;
    }
    std::ofstream(ini) << "[SetComPort]\nComPort=3\nSlaveID=9\n";
    ASSERT_TRUE((ConnectionSettings{0, 5, 6}.save(ini)));
    EXPECT_EQ(platform::IniFile::readInt(ini, "SetComPort", "SaveAsDefault", -1), 0);
    EXPECT_EQ(platform::IniFile::readInt(ini, "SetComPort", "ComPort", -1), 3);
    ASSERT_TRUE((ConnectionSettings{1, 5, 6}.save(ini)));
    EXPECT_EQ(platform::IniFile::readInt(ini, "SetComPort", "ComPort", -1), 5);
    EXPECT_EQ(platform::IniFile::readInt(ini, "SetComPort", "SlaveID", -1), 6);
}

// A wrong Pr.1F is corrected and saved only when the repair is on, after asking;
// another model or an older one is refused.
TEST_F(ConnectionTest, Pr1FIsRepairedOnlyWhenOnAndOtherModelsAreRefused)
{
    openPort();
    CompleteConnection(linkState().portHandle, 1);
    ApplyModelSelection(CurrentDriveType(), SelectionRowOfModel(0, 12));  // Vr_102, Pr.1F 2
    drive->always(kReportSlaveId, Answer(SlaveIdAnswer("VR-102")));
    drive->always(hex("01 03 00 1F 00 01 B5 CC"), Answer(kStationReply));  // Pr.1F holds 5
    EXPECT_EQ(VerifyDriveModel(0, false), 1);
    EXPECT_TRUE(prompt.shown().empty());

    const Bytes writePr1F = hex("01 10 00 1F 00 01 02 00 02 25 FE");
    const Bytes saveEeprom = hex("01 10 00 81 00 01 02 00 01 79 81");
    drive->expect(writePr1F, Answer(hex("01 10 00 1F 00 01 30 0F")));
    drive->expect(saveEeprom, Answer(hex("01 10 00 81 00 01 51 E1")));
    EXPECT_EQ(VerifyDriveModel(1, true), 1);
    EXPECT_EQ(drive->pendingExpectations(), 0u);
    EXPECT_EQ(prompt.countMessages("Detect parameter error in the driver, press OK to correct parameter and save it back to the driver.(1F)"), 1);

    // Another model or an older one is refused with its message, Pr.1F never read.
    drive = std::make_unique<testsupport::ScriptedResponder>(pty.masterFd());
    drive->expect(kReportSlaveId, Answer(SlaveIdAnswer("VR-008")));
    EXPECT_EQ(VerifyDriveModel(0, true), 0);
    EXPECT_EQ(prompt.countMessages("The version of parameter page is: Vr_102\nThe version of Servo driver is: VR-008\n"
                                   "Parameter values are incompatible between the two versions!!\n"
                                   "Please manually reconnect to the Servo driver again."), 1);

    drive->expect(kReportSlaveId, Answer(SlaveIdAnswer("Vr_005")));
    EXPECT_EQ(VerifyDriveModel(1, true), 0);
    EXPECT_EQ(prompt.countMessages("The version of parameter page is: Vr_102\nThe version of Servo driver is: Vr_005\n"
                                   "Parameter values are incompatible between the two versions!!"
                                   "The transfering procedure of parameter settings was denied."), 1);
    EXPECT_EQ(drive->requests().size(), 2u);  // Pr.1F never read
}
