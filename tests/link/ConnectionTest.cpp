// Finding a drive (station scan, port and rate search), taking it into use,
// the connection settings, and identifying and checking its model. The
// whole Auto Search runs in the dialog tests, against drivesim.
#include "LinkTestBed.h"

#include "app/tables/DriveType.h"
#include "app/tables/ModelSelectionList.h"
#include "link/ConnectionSettings.h"
#include "link/DriveConnector.h"
#include "link/DriveIdentification.h"
#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/StationFinder.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserPrompt.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

const Bytes kStopStreamAt3 = withCrc(hex("03 06 00 90 00 00"));

Bytes readStationRequest(uint8_t address)
{
    return withCrc({address, 0x03, 0x00, 0x00, 0x00, 0x01});
}

Bytes stationReply(uint8_t address, uint8_t value)
{
    return withCrc({address, 0x03, 0x02, 0x00, value});
}

// A drive at `station` that answers only while the port is at `baud`.
testsupport::ScriptedResponder::Handler driveAtRate(const testsupport::PtyPair& pty, uint8_t station,
                                                    uint32_t baud)
{
    return [&pty, station, baud](Bytes& pending) -> std::optional<Answer> {
        if (pending.size() < 8)
            return std::nullopt;
        const Bytes request(pending.begin(), pending.begin() + 8);
        pending.erase(pending.begin(), pending.begin() + 8);
        if (pty.slaveBaud() != baud || request != readStationRequest(station))
            return Answer::none();
        return Answer(stationReply(station, station));
    };
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
    // The settings file the connector may write; absent at the start.
    const std::string ini = "/tmp/drivara-link-ini-" + std::to_string(getpid());
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
};

}  // namespace

TEST_F(ConnectionTest, ScanStopsAtTheFirstStationThatAnswers)
{
    openPort();
    drive->always(readStationRequest(3), Answer(stationReply(3, 3)));
    StationScan scan;
    scan.lastAddress = 6;
    EXPECT_EQ(FindStation(0, scan), 1);
    EXPECT_EQ(linkState().slaveAddress, 3);
    // Addresses 1 to 3 once each: no retries while scanning.
    EXPECT_EQ(toHex(drive->received()), toHex(readStationRequest(1)) + " " + toHex(readStationRequest(2)) +
                                            " " + toHex(readStationRequest(3)));
}

TEST_F(ConnectionTest, AChosenStationIsAskedTwiceWithOneRetryEachAndZeroIsRefused)
{
    openPort();
    drive->always(kStopStreamAt3, Answer(kStopStreamAt3));
    EXPECT_EQ(FindStation(3), 0);
    EXPECT_EQ(drive->requests().size(), 2u);  // the stream stops between the read attempts
    EXPECT_EQ(drive->received().size(), 4 * 8u + 2 * 8u);

    linkState().slaveAddress = 9;
    drive->always(readStationRequest(1), Answer(stationReply(1, 0)));
    EXPECT_EQ(FindStation(1), 0);
    EXPECT_EQ(linkState().slaveAddress, 9);
}

TEST_F(ConnectionTest, SearchCanBeCancelledAndFailureIsReported)
{
    MapOnlyPort(16, pty.slavePath());
    DriveConnector connector(ini);
    connector.setProgress([](const SearchProgress& p) { return p.step < 3; });
    EXPECT_EQ(connector.connect(ConnectRequest{false, 0, 1, false}), DriveConnector::Outcome::Cancelled);
    EXPECT_TRUE(prompt.shown().empty());
    EXPECT_FALSE(platform::isOpenHandle(linkState().portHandle));

    MapOnlyPort(5, "/nonexistent/ttyUSB9");
    DriveConnector failing(ini);
    EXPECT_EQ(failing.connect(ConnectRequest{false, 0, 1, false}), DriveConnector::Outcome::Failed);
    EXPECT_EQ(failing.searchResult().refusedPort, 5);
    EXPECT_EQ(prompt.countMessages("Communication interface fails to start"), 1);
    EXPECT_EQ(prompt.shown().back().caption, "Error");
}

TEST_F(ConnectionTest, AChosenPortIsSearchedFastestRateFirstAndChecked)
{
    drive->setHandler(driveAtRate(pty, 2, 57600));
    DriveConnector connector(ini);
    std::vector<int> bauds;
    connector.setProgress([&](const SearchProgress& p) {
        if (p.address == 0)
            bauds.push_back(p.baudIndex);
        return true;
    });
    ASSERT_EQ(connector.connect(ConnectRequest{false, 1, 2, false}), DriveConnector::Outcome::Connected);
    EXPECT_EQ(connector.searchResult().baudIndex, 2);
    EXPECT_EQ(bauds, (std::vector<int>{3, 2}));
    EXPECT_EQ(pty.slaveBaud(), 57600u);
    EXPECT_EQ(linkState().slaveAddress, 2);
}

TEST_F(ConnectionTest, OfflineLetsThePreviousPortGo)
{
    openPort();
    linkState().online = 1;
    linkState().pluginLinkUp = 1;
    DriveConnector connector(ini);
    EXPECT_EQ(connector.connect(ConnectRequest{true, 3, 7, false}), DriveConnector::Outcome::Offline);
    EXPECT_EQ(linkState().portHandle, platform::kNoPort);
    EXPECT_EQ(linkState().online, 0);
    EXPECT_EQ(linkState().pluginLinkUp, 0);
}

// The dialog tests show kept and unkept rows; here the range check and what is written.
TEST_F(ConnectionTest, StoredRowsOutOfRangeFallBackAndUnkeptRowsAreNotWritten)
{
    std::ofstream(ini) << "[SetComPort]\nSaveAsDefault=1\nComPort=40\nSlaveID=-2\n";
    const ConnectionSettings loaded = ConnectionSettings::load(ini);
    EXPECT_EQ(loaded.portRow, 0);
    EXPECT_EQ(loaded.stationRow, 1);

    std::ofstream(ini) << "[SetComPort]\nComPort=3\nSlaveID=9\n";
    ASSERT_TRUE((ConnectionSettings{0, 5, 6}.save(ini)));
    EXPECT_EQ(platform::IniFile::readInt(ini, "SetComPort", "SaveAsDefault", -1), 0);
    EXPECT_EQ(platform::IniFile::readInt(ini, "SetComPort", "ComPort", -1), 3);
    ASSERT_TRUE((ConnectionSettings{1, 5, 6}.save(ini)));
    EXPECT_EQ(platform::IniFile::readInt(ini, "SetComPort", "ComPort", -1), 5);
    EXPECT_EQ(platform::IniFile::readInt(ini, "SetComPort", "SlaveID", -1), 6);
}

TEST_F(ConnectionTest, IdentificationFallsBackToTheOlderFirmwareName)
{
    openPort();
    drive->expect(kReportSlaveId, Answer(SlaveIdAnswer("vr_003", 34, 18)));
    const DriveIdentity identity = IdentifyDrive(1);
    EXPECT_TRUE(identity.answered);
    EXPECT_EQ(identity.family, 0);
    EXPECT_EQ(identity.group, 4);
    EXPECT_EQ(identity.code, "vr_003");
}

class ModelCheck : public ConnectionTest {
protected:
    void SetUp() override
    {
        ConnectionTest::SetUp();
        openPort();
        CompleteConnection(linkState().portHandle, 1);
        ApplyModelSelection(CurrentDriveType(), SelectionRowOfModel(0, 12));  // Vr_102, Pr.1F 2
    }
    const Bytes readPr1F = hex("01 03 00 1F 00 01 B5 CC");
};

TEST_F(ModelCheck, AWrongPr1FIsCorrectedAndSavedOnlyWhenRepairIsOn)
{
    drive->always(kReportSlaveId, Answer(SlaveIdAnswer("VR-102")));
    drive->always(readPr1F, Answer(kStationReply));  // Pr.1F holds 5
    EXPECT_EQ(VerifyDriveModel(0, false), 1);
    EXPECT_TRUE(prompt.shown().empty());

    const Bytes writePr1F = hex("01 10 00 1F 00 01 02 00 02 25 FE");
    const Bytes saveEeprom = hex("01 10 00 81 00 01 02 00 01 79 81");
    drive->expect(writePr1F, Answer(hex("01 10 00 1F 00 01 30 0F")));
    drive->expect(saveEeprom, Answer(hex("01 10 00 81 00 01 51 E1")));
    EXPECT_EQ(VerifyDriveModel(1, true), 1);
    EXPECT_EQ(drive->pendingExpectations(), 0u);
    EXPECT_EQ(prompt.countMessages("Detect parameter error in the driver, press OK to correct parameter and save it back to the driver.(1F)"), 1);
}

TEST_F(ModelCheck, AnotherModelOrAnOlderOneIsRefused)
{
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
