// The worker on its own master against the simulated drive: reading and
// writing the parameter set, point runs, homing, jog, the close handshake
// and a host that moves to another port.
#include "DriveOnPty.h"
#include "HostVariables.h"

#include "comm/CModbus.h"
#include "plugin/CommWorker.h"
#include "plugin/DriveTransfers.h"
#include "plugin/WaypadShared.h"
#include "platform/SerialPort.h"
#include "platform/Ticks.h"
#include "tests/support/PtyPair.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>

using namespace waypad;

namespace {

class DrivesimWorker : public ::testing::Test {
protected:
    std::unique_ptr<DriveOnPty> drive;
    CModbus modbus;
    ModbusDriveBus bus{modbus};
    WaypadShared shared;
    HostVariables hostVars;
    HostLink host{hostVars.record()};
    std::unique_ptr<CommWorker> worker;

    void TearDown() override
    {
        worker.reset();
        drive.reset();
    }
    // Starts the drive and a running worker on its port.
    void start(std::vector<std::string> options, int station = 1)
    {
        drive = std::make_unique<DriveOnPty>(options, station);
        ASSERT_TRUE(drive->ok()) << "drivesim did not start";
        hostVars.port = drive->port();
        hostVars.slave = static_cast<uint8_t>(station);
        bus.usePort(drive->port(), hostVars.slave);
        worker = std::make_unique<CommWorker>(bus, shared, host, 2);
        worker->start();
        worker->resume();
    }
    // Waits (bounded) until `done` holds.
    template <typename Done>
    bool waitFor(Done done, unsigned limitMs = 8000)
    {
        const uint32_t start = platform::tickCount();
        while (!done()) {
            if (platform::tickCount() - start > limitMs)
                return false;
            platform::sleepMs(2);
        }
        return true;
    }
    // Issues a command and returns its result once the worker finished it.
    int32_t command(int32_t step)
    {
        if (!shared.comm.issue(step))
            return -1;
        int32_t result = -1;
        waitFor([&] { return shared.comm.take(step + 1, result); });
        return result;
    }
    // Stops the worker so the test may use the port itself.
    void parkWorker()
    {
        worker->pause();
        ASSERT_TRUE(waitFor([&] { return worker->parked(); }));
    }
    uint16_t readRegister(uint16_t address)
    {
        uint16_t v = 0xDEAD;
        EXPECT_TRUE(bus.readRegisters(address, 1, &v)) << address;
        return v;
    }
    // Fast moves: 3000 rpm with short ramps.
    void fastPoints(const std::vector<std::pair<int, int32_t>>& points)
    {
        for (int i = 0; i < kPointCount; ++i)
            shared.block.set(PointSpeed(i), 3000);
        for (const auto& [index, position] : points)
            shared.block.set(PointPosition(index), position);
        shared.block.set(kPointAcc, 10);
        shared.block.set(kPointDec, 10);
    }
    // Runs points first..last (0-based) until `arrivals` targets were reached;
    // returns the positions at each arrival.
    std::vector<int32_t> runPoints(int first, int last, size_t arrivals)
    {
        shared.runFirst = first;
        shared.runLast = last;
        shared.runDelayMs = 0;
        shared.runSubStep = TRC_Init;
        EXPECT_TRUE(shared.comm.issue(CS_RunPointToPoint));
        std::vector<int32_t> reached;
        int32_t previous = TRC_Init;
        waitFor([&] {
            const int32_t sub = shared.runSubStep;
            if (sub == TRC_Sleep && previous != TRC_Sleep)
                reached.push_back(shared.position);
            previous = sub;
            return reached.size() >= arrivals || shared.comm.step() != CS_RunPointToPoint;
        });
        EXPECT_EQ(shared.comm.step(), CS_RunPointToPoint) << "the run goes on until stopped";
        shared.runSubStep = TRC_IDLE;  // the window's Stop
        shared.comm.reset();
        return reached;
    }
};

TEST_F(DrivesimWorker, ReadAllWithoutTheExtendedFeature)
{
    start({"--mode", "6"});
    shared.progress = 1;
    ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
    EXPECT_FALSE(shared.extended());
    EXPECT_EQ(shared.activeMode.load(), 0);  // ABS
    EXPECT_EQ(shared.block.get(PointSpeed(0)), 100);   // Pr.53
    EXPECT_EQ(shared.block.get(PointSpeed(8)), 900);
    EXPECT_EQ(shared.block.get(kJogSpeed), 300);       // Pr.57
    EXPECT_EQ(shared.block.get(kSoftLimitPos), INT32_MAX);
    EXPECT_EQ(shared.block.get(kSoftLimitNeg), INT32_MIN);
    EXPECT_EQ(shared.block.get(kRegister1222), 0);
    EXPECT_EQ(shared.progress.load(), 9);
}

TEST_F(DrivesimWorker, ReadAllWithTheExtendedFeatureTakesRegister1222AndTheServoState)
{
    start({"--mode", "6", "--extended", "--set", "1222=0x0F05"});
    shared.servoOn = 1;
    ASSERT_EQ(command(CS_ServoOnOff_2), kResultSuccess);
    ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
    EXPECT_TRUE(shared.extended());
    EXPECT_EQ(shared.block.get(kRegister1222), 0x0F05);
    EXPECT_EQ(shared.block.get(kSkipGearRatio), 1);
    EXPECT_EQ(shared.servoReadOn.load(), 1);
}

TEST_F(DrivesimWorker, WriteAllThenReadAllGivesTheSameSet)
{
    for (const bool extended : {false, true}) {
        start(extended ? std::vector<std::string>{"--mode", "7", "--extended"} : std::vector<std::string>{"--mode", "7"});
        ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
        ParameterValues written = shared.block.snapshot();
        for (int i = 0; i < kPointCount; ++i) {
            written[PointPosition(i)] = (i % 2 ? -1 : 1) * (100000 * i + 7);
            written[PointSpeed(i)] = 50 + 10 * i;
        }
        written[kHomingOffset] = -123456;
        written[kCreepSpeed] = 33;
        written[kOnPosDelay] = 12;
        written[kSoftLimitPos] = 5000000;
        written[kJogSpeed] = 777;
        written[kSkipGearRatio] = extended ? 1 : 0;
        shared.block.assign(written);
        // Without the feature a write of 1222 would be refused and fail the step.
        ASSERT_EQ(command(CS_WriteAllParms), kResultSuccess) << extended;
        shared.block.assign(ParameterValues{});
        ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
        written[kRegister1222] = extended ? 1 : 0;
        EXPECT_EQ(shared.block.snapshot(), written) << extended;
        parkWorker();
        // Saved to EEPROM last: the register reads 1 once the save is done.
        EXPECT_TRUE(waitFor([&] { return readRegister(kRegEepromSave) == 1; }, 1000));
        TearDown();
    }
}

TEST_F(DrivesimWorker, RunFromThreeToFiveVisitsThreeFourFiveThree)
{
    start({"--mode", "6"});
    fastPoints({{2, 3000}, {3, -2000}, {4, 8000}});
    ASSERT_EQ(command(CS_WriteAllParms), kResultSuccess);
    shared.servoOn = 1;
    ASSERT_EQ(command(CS_ServoOnOff), kResultSuccess);
    const std::vector<int32_t> reached = runPoints(2, 4, 5);
    ASSERT_EQ(reached.size(), 5u);
    const int32_t expected[] = {3000, -2000, 8000, 3000, -2000};
    for (size_t i = 0; i < reached.size(); ++i)
        EXPECT_LE(std::abs(reached[i] - expected[i]), 10) << i;  // the in-position window, Pr.60
    // The drive's selection inputs hold the last point chosen: 3 (point 4).
    parkWorker();
    uint8_t inputs[2] = {};
    ASSERT_TRUE(bus.readCoils(32, 11, inputs));
    const uint16_t bits = uint16_t(inputs[0] | inputs[1] << 8);
    const int selected = (bits >> 10 & 1) | (bits >> 7 & 1) << 1 | (bits >> 5 & 1) << 2 | (bits >> 2 & 1) << 3;
    EXPECT_EQ(selected, 3);
}

TEST_F(DrivesimWorker, RelativeRunAddsEachTargetToTheBase)
{
    start({"--mode", "7"});
    fastPoints({{0, 1000}, {1, -400}});
    ASSERT_EQ(command(CS_WriteAllParms), kResultSuccess);
    shared.servoOn = 1;
    ASSERT_EQ(command(CS_ServoOnOff), kResultSuccess);
    const int32_t start = shared.position;
    const std::vector<int32_t> reached = runPoints(0, 1, 4);
    ASSERT_EQ(reached.size(), 4u);
    const int32_t expected[] = {start + 1000, start + 600, start + 1600, start + 1200};
    for (size_t i = 0; i < reached.size(); ++i)
        EXPECT_LE(std::abs(reached[i] - expected[i]), 10) << i;
}

TEST_F(DrivesimWorker, HomingThenZeroTheReference)
{
    start({"--mode", "6", "--extended"});
    ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
    shared.block.set(kHomingOffset, 300);
    shared.block.set(kHomingSpeed, 3000);
    shared.block.set(kHomingAcc, 10);
    shared.block.set(kHomingDec, 10);
    shared.block.set(kCreepSpeed, 300);  // leaving the switch, creeping
    ASSERT_EQ(command(CS_WriteAllParms), kResultSuccess);
    shared.servoOn = 1;
    ASSERT_EQ(command(CS_ServoOnOff_2), kResultSuccess);
    shared.dialogActive = 1;  // the worker now polls status and reference
    ASSERT_EQ(command(CS_Homing), kResultSuccess);
    EXPECT_TRUE(waitFor([&] { return shared.driveStatus == 3; })) << "At home";
    EXPECT_TRUE(waitFor([&] { return shared.homeReference == 300; }));
    ASSERT_EQ(command(CS_ZeroHomeOffsetRef), kResultSuccess);
    EXPECT_TRUE(waitFor([&] { return shared.homeReference == 0; }));
    shared.dialogActive = 0;
    EXPECT_TRUE(waitFor([&] { return shared.position == 0; })) << "home is position 0";
}

TEST_F(DrivesimWorker, JogWordMovesByTimeOrByPulses)
{
    start({"--mode", "6", "--extended"});
    shared.servoOn = 1;
    ASSERT_EQ(command(CS_ServoOnOff_2), kResultSuccess);
    shared.block.set(kJogSpeed, 600);
    ASSERT_EQ(command(CS_JogSpeed), kResultSuccess);

    ASSERT_TRUE(waitFor([&] { return shared.position == 0; }));
    shared.jogWord = 0x8000 | 123;  // pulse jog +123
    ASSERT_EQ(command(CS_Jog), kResultSuccess);
    EXPECT_EQ(shared.jogWord.load(), 123) << "command bits cleared after the write";
    EXPECT_TRUE(waitFor([&] { return shared.position == 123; }));

    shared.jogWord = 0x1000 | 500;  // continuous jog - for 500 ms at 600 rpm: 5000 pulses
    ASSERT_EQ(command(CS_Jog), kResultSuccess);
    EXPECT_TRUE(waitFor([&] { return shared.position < -4000; }));
}

TEST_F(DrivesimWorker, CloseAnsweredNoTurnsTheServoOffBeforeTheAnswerIsReported)
{
    start({"--mode", "6"});
    shared.servoOn = 1;
    ASSERT_EQ(command(CS_ServoOnOff), kResultSuccess);
    ASSERT_TRUE(waitFor([&] { return hostVars.status == kPluginServoOnBit; }));
    hostVars.closeRequest = 1;
    ASSERT_TRUE(waitFor([&] { return shared.closeQuestionWanted == 1; }));
    shared.closeAnswer = kTurnServoOff;
    shared.closeQuestionWanted = 0;
    ASSERT_TRUE(waitFor([&] { return (hostVars.status & kPluginCloseAnsweredBit) != 0; }));
    EXPECT_EQ(hostVars.status & kPluginServoOnBit, 0);
    parkWorker();
    uint8_t servo = 0xFF;
    ASSERT_TRUE(bus.readCoils(38, 1, &servo));
    EXPECT_EQ(servo, 0) << "the drive's servo-on input is off";
}

TEST_F(DrivesimWorker, ChangedHostPortIsPickedUpWithinACyclePlus100Ms)
{
    start({"--mode", "6"});
    DriveOnPty second({"--mode", "7"}, 7);
    ASSERT_TRUE(second.ok());
    ASSERT_TRUE(waitFor([&] { return worker->longestCycleMs() > 0 || shared.position == 0; }));
    const uint32_t changed = platform::tickCount();
    hostVars.slave = 7;
    hostVars.port = second.port();
    ASSERT_TRUE(waitFor([&] { return worker->portChanges() == 1; }));
    const uint32_t took = platform::tickCount() - changed;
    EXPECT_GE(took, 100u);
    EXPECT_LT(took, 100u + 1000u) << "one cycle plus 100 ms, with room for a loaded machine";
    // Only station 7 answers there: the new address is in use.
    ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
    EXPECT_EQ(shared.activeMode.load(), 1);
    worker.reset();
}

TEST_F(DrivesimWorker, SilentDriveFailsTheStepAndTheWorkerGoesOn)
{
    start({"--mode", "6", "--silent-after", "3"});
    const uint32_t begin = platform::tickCount();
    EXPECT_EQ(command(CS_ReadAllParms), kResultFailure);
    EXPECT_LT(platform::tickCount() - begin, 8000u);
    hostVars.linkUp = 0;  // the host gave up: no more cyclic reads
    EXPECT_EQ(command(CS_ZeroHomeOffsetRef), kResultFailure);
}

}  // namespace

namespace {

// The plug-in's master never writes to a port the host no longer holds: the
// system may have handed that number to the next file opened.
TEST(ModbusDriveBus, NoExchangeOnAPortTheHostLetGo)
{
    testsupport::PtyPair line;
    ASSERT_TRUE(line.ok());
    const platform::SerialOpenResult opened = platform::serialOpen(line.slavePath());
    ASSERT_TRUE(platform::isOpenHandle(opened.handle));
    HostVariables hostVars;
    hostVars.port = opened.handle;
    HostLink host(hostVars.record());
    CModbus modbus;
    modbus.SetPreCountQueTimes(100);
    ModbusDriveBus bus(modbus, &host);
    bus.usePort(opened.handle, 1);
    uint16_t value = 0;
    const auto sentBytes = [&] {
        int waiting = 0;
        return ioctl(line.masterFd(), FIONREAD, &waiting) == 0 ? waiting : -1;
    };
    EXPECT_FALSE(bus.readRegisters(180, 2, &value));  // nobody answers, but the request went out
    EXPECT_EQ(sentBytes(), 8);
    tcflush(line.masterFd(), TCIFLUSH);

    hostVars.port = platform::kNoPort;  // the host let the port go
    EXPECT_FALSE(bus.readRegisters(180, 2, &value));
    EXPECT_FALSE(bus.writeRegister(2002, 0x400));
    EXPECT_FALSE(bus.writeCoil(38, false));
    bus.flushInput();
    EXPECT_EQ(sentBytes(), 0);
    platform::serialClose(opened.handle);
}

}  // namespace
