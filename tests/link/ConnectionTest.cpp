// Finding a drive (station scan, port and rate search), taking it into use,
// the connection settings, and identifying and checking its model, against
// a scripted drive on a pseudo-terminal.
#include "LinkTestBed.h"

#include "app/tables/DriveType.h"
#include "app/tables/ModelSelectionList.h"
#include "comm/CModbus.h"
#include "link/ConnectionSettings.h"
#include "link/DriveConnector.h"
#include "link/DriveIdentification.h"
#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/StationFinder.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserPrompt.h"
#include "tests/support/HexBytes.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

using testsupport::Answer;
using testsupport::Bytes;
using testsupport::hex;
using testsupport::toHex;
using testsupport::withCrc;

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

Bytes slaveIdAnswer(const std::string& code, int offset = 12)
{
    Bytes frame(32, 0);
    frame[0] = 0x01;
    frame[1] = 0x11;
    frame[2] = 29;
    std::copy(code.begin(), code.end(), frame.begin() + offset);
    return withCrc(frame);
}

// A temporary settings file, removed afterwards.
struct TempIni {
    std::string path;
    TempIni()
    {
        char pattern[] = "/tmp/drivara-link-ini-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0)
            close(fd);
        path = pattern;
    }
    ~TempIni() { std::remove(path.c_str()); }
    void write(const std::string& text) const { std::ofstream(path) << text; }
};

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
    Bytes expected;
    for (uint8_t address = 1; address <= 3; ++address) {
        const Bytes request = readStationRequest(address);
        expected.insert(expected.end(), request.begin(), request.end());
    }
    EXPECT_EQ(toHex(drive->received()), toHex(expected));  // no retries while scanning
}

TEST_F(ConnectionTest, AStationNumberOfZeroIsRefused)
{
    openPort();
    linkState().slaveAddress = 9;
    drive->always(readStationRequest(1), Answer(stationReply(1, 0)));
    EXPECT_EQ(FindStation(1), 0);
    EXPECT_EQ(linkState().slaveAddress, 9);
}

TEST_F(ConnectionTest, AChosenStationIsAskedTwiceWithOneRetryEach)
{
    openPort();
    drive->always(kStopStreamAt3, Answer(kStopStreamAt3));
    EXPECT_EQ(FindStation(3), 0);
    const auto requests = drive->requests();
    EXPECT_EQ(requests.size(), 2u);  // the stream stops between the read attempts
    EXPECT_EQ(drive->received().size(), 4 * 8u + 2 * 8u);
}

TEST_F(ConnectionTest, AutoSearchTriesPortsAndRatesInOrderAndFindsTheDrive)
{
    MapOnlyPort(2, pty.slavePath());
    drive->setHandler(driveAtRate(pty, 4, 38400));
    DriveConnector connector(TempIni().path);
    std::vector<SearchProgress> tries;
    connector.setProgress([&](const SearchProgress& p) {
        if (p.address == 0)
            tries.push_back(p);
        return true;
    });
    connector.setLastScanAddress(5);
    ASSERT_EQ(connector.connect(ConnectRequest{false, 0, 0, false}), DriveConnector::Outcome::Connected);

    ASSERT_EQ(tries.size(), 7u);  // COM 1 (absent) at four rates, then COM 2 until found
    const int expectedBauds[] = {3, 2, 1, 0, 3, 2, 1};
    for (size_t i = 0; i < tries.size(); ++i) {
        EXPECT_EQ(tries[i].step, static_cast<int>(i) + 1);
        EXPECT_EQ(tries[i].port, i < 4 ? 1 : 2);
        EXPECT_EQ(tries[i].baudIndex, expectedBauds[i]);
    }
    EXPECT_EQ(prompt.countMessages("Communication interface ready to start.\nSerial Port : 2\nBuadrate : 38400\nID: 4"), 1);
    EXPECT_EQ(prompt.shown().back().caption, "Servo connected");

    const LinkState& link = linkState();
    EXPECT_TRUE(platform::isOpenHandle(link.portHandle));
    EXPECT_EQ(link.slaveAddress, 4);
    EXPECT_EQ(link.online, 1);
    EXPECT_EQ(link.pluginPortHandle, link.portHandle);
    EXPECT_EQ(link.pluginSlaveAddress, 4);
    EXPECT_EQ(link.pluginLinkUp, 1);
    EXPECT_EQ(LinkModbus().m_hComm, link.portHandle);
    EXPECT_EQ(LinkModbus().GetSlaveAddress(), 4);
}

TEST_F(ConnectionTest, SearchCanBeCancelledAndFailureIsReported)
{
    MapOnlyPort(16, pty.slavePath());
    DriveConnector connector(TempIni().path);
    connector.setProgress([](const SearchProgress& p) { return p.step < 3; });
    EXPECT_EQ(connector.connect(ConnectRequest{false, 0, 1, false}), DriveConnector::Outcome::Cancelled);
    EXPECT_TRUE(prompt.shown().empty());
    EXPECT_FALSE(platform::isOpenHandle(linkState().portHandle));

    MapOnlyPort(5, "/nonexistent/ttyUSB9");
    DriveConnector failing(TempIni().path);
    EXPECT_EQ(failing.connect(ConnectRequest{false, 0, 1, false}), DriveConnector::Outcome::Failed);
    EXPECT_EQ(failing.searchResult().refusedPort, 5);
    EXPECT_EQ(prompt.countMessages("Communication interface fails to start"), 1);
    EXPECT_EQ(prompt.shown().back().caption, "Error");
}

TEST_F(ConnectionTest, AChosenPortIsSearchedFastestRateFirstAndChecked)
{
    drive->setHandler(driveAtRate(pty, 2, 57600));
    DriveConnector connector(TempIni().path);
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
    DriveConnector connector(TempIni().path);
    EXPECT_EQ(connector.connect(ConnectRequest{true, 3, 7, false}), DriveConnector::Outcome::Offline);
    EXPECT_EQ(linkState().portHandle, platform::kNoPort);
    EXPECT_EQ(linkState().online, 0);
    EXPECT_EQ(linkState().pluginLinkUp, 0);
}

TEST(ConnectionSettings, StoredRowsCountOnlyWhenKept)
{
    TempIni ini;
    ini.write("[SetComPort]\nSaveAsDefault=0\nComPort=3\nSlaveID=9\n");
    ConnectionSettings loaded = ConnectionSettings::load(ini.path);
    EXPECT_EQ(loaded.portRow, 0);
    EXPECT_EQ(loaded.stationRow, 1);

    ini.write("[SetComPort]\nSaveAsDefault=1\nComPort=3\nSlaveID=9\n");
    loaded = ConnectionSettings::load(ini.path);
    EXPECT_EQ(loaded.portRow, 3);
    EXPECT_EQ(loaded.stationRow, 9);

    ini.write("[SetComPort]\nSaveAsDefault=1\nComPort=40\nSlaveID=-2\n");
    loaded = ConnectionSettings::load(ini.path);
    EXPECT_EQ(loaded.portRow, 0);
    EXPECT_EQ(loaded.stationRow, 1);

    ini.write("[SetComPort]\nComPort=3\nSlaveID=9\n");
    ConnectionSettings notKept{0, 5, 6};
    ASSERT_TRUE(notKept.save(ini.path));
    EXPECT_EQ(platform::IniFile::readInt(ini.path, "SetComPort", "SaveAsDefault", -1), 0);
    EXPECT_EQ(platform::IniFile::readInt(ini.path, "SetComPort", "ComPort", -1), 3);
    ConnectionSettings kept{1, 5, 6};
    ASSERT_TRUE(kept.save(ini.path));
    EXPECT_EQ(platform::IniFile::readInt(ini.path, "SetComPort", "ComPort", -1), 5);
    EXPECT_EQ(platform::IniFile::readInt(ini.path, "SetComPort", "SlaveID", -1), 6);
}

TEST_F(ConnectionTest, IdentificationReadsTheCodeOrTheOlderFirmwareName)
{
    openPort();
    drive->expect(hex("01 11 C0 2C"), Answer(slaveIdAnswer("VR-101")));
    DriveIdentity identity = IdentifyDrive(1);
    EXPECT_TRUE(identity.answered);
    EXPECT_EQ(identity.family, 0);
    EXPECT_EQ(identity.group, 9);
    EXPECT_EQ(identity.code, "VR-101");

    drive->expect(hex("01 11 C0 2C"), Answer(slaveIdAnswer("vr_003", 18)));
    identity = IdentifyDrive(1);
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
    drive->always(hex("01 11 C0 2C"), Answer(slaveIdAnswer("VR-102")));
    drive->always(readPr1F, Answer(hex("01 03 02 00 05 78 47")));
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
    drive->expect(hex("01 11 C0 2C"), Answer(slaveIdAnswer("VR-008")));
    EXPECT_EQ(VerifyDriveModel(0, true), 0);
    EXPECT_EQ(prompt.countMessages("The version of parameter page is: Vr_102\nThe version of Servo driver is: VR-008\n"
                                   "Parameter values are incompatible between the two versions!!\n"
                                   "Please manually reconnect to the Servo driver again."), 1);

    drive->expect(hex("01 11 C0 2C"), Answer(slaveIdAnswer("Vr_005")));
    EXPECT_EQ(VerifyDriveModel(1, true), 0);
    EXPECT_EQ(prompt.countMessages("The version of parameter page is: Vr_102\nThe version of Servo driver is: Vr_005\n"
                                   "Parameter values are incompatible between the two versions!!"
                                   "The transfering procedure of parameter settings was denied."), 1);
    EXPECT_TRUE(drive->requests().size() == 2u);  // Pr.1F never read
}
