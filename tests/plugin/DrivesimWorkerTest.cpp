// The worker on its own master against the simulated drive: reading and
// writing the parameter set, point runs, jog, a host that moves to another
// port, a drive that falls silent and a port the host let go.
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
    void start(std::vector<std::string> options)
    {
        TearDown();
        drive = std::make_unique<DriveOnPty>(options);
        ASSERT_TRUE(drive->ok()) << "drivesim did not start";
        hostVars.port = drive->port();
        bus.usePort(drive->port(), 1);
        worker = std::make_unique<CommWorker>(bus, shared, host, 2);
        worker->start();
        worker->resume();
    }
    template <typename Done>
    bool waitFor(Done done, unsigned limitMs = 8000)
    {
        const uint32_t begin = platform::tickCount();
        while (!done() && platform::tickCount() - begin <= limitMs)
            platform::sleepMs(2);
        return done();
    }
    // Issues a command and returns its result once the worker finished it.
    int32_t command(int32_t step)
    {
        int32_t result = -1;
        if (shared.comm.issue(step))
            waitFor([&] { return shared.comm.take(step + 1, result); });
        return result;
    }
    // Stops the worker so the test may use the port itself.
    void parkWorker()
    {
        worker->pause();
        ASSERT_TRUE(waitFor([&] { return worker->parked(); }));
    }
};

// Reads with and without the feature (1222 and the servo state only with
// it), then writes a changed set and reads it back: catches a field lost or
// mangled on the way, a refused write of 1222 without the feature, and no
// save to EEPROM.
TEST_F(DrivesimWorker, ReadWriteAndReadBackWithAndWithoutTheFeature)
{
    for (const bool extended : {false, true}) {
        start(extended ? std::vector<std::string>{"--mode", "7", "--extended", "--set", "1222=0x0F05"}
                       : std::vector<std::string>{"--mode", "7"});
        shared.progress = 1;
        ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
        EXPECT_EQ(shared.extended(), extended);
        EXPECT_EQ(shared.activeMode.load(), 1);  // REL
        EXPECT_EQ(shared.block.get(PointSpeed(8)), 900);
        EXPECT_EQ(shared.block.get(kJogSpeed), 300);
        EXPECT_EQ(shared.block.get(kSoftLimitNeg), INT32_MIN);
        EXPECT_EQ(shared.block.get(kRegister1222), extended ? 0x0F05 : 0);
        EXPECT_EQ(shared.block.get(kSkipGearRatio), extended ? 1 : 0);
        EXPECT_EQ(shared.progress.load(), 9);
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
        written[kSkipGearRatio] = 0;
        shared.block.assign(written);
        ASSERT_EQ(command(CS_WriteAllParms), kResultSuccess) << extended;
        shared.block.assign(ParameterValues{});
        ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
        written[kRegister1222] = extended ? 0x0F04 : 0;
        EXPECT_EQ(shared.block.snapshot(), written) << extended;
        if (extended) {  // the servo state comes with the read
            shared.servoOn = 1;
            ASSERT_EQ(command(CS_ServoOnOff_2), kResultSuccess);
            ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
            EXPECT_EQ(shared.servoReadOn.load(), 1);
        }
        parkWorker();
        // Saved to EEPROM last: the register reads 1 once the save is done.
        uint16_t saved = 0;
        EXPECT_TRUE(waitFor([&] { return bus.readRegisters(kRegEepromSave, 1, &saved) && saved == 1; }, 1000));
    }
}

// Absolute and relative runs on the drive's motion model: catches wrong
// selection coils (the drive's inputs hold the last point chosen), a base
// not moved on in the relative mode, and a run that ends by itself.
TEST_F(DrivesimWorker, PointRunsAbsoluteAndRelative)
{
    const struct { const char* mode; int first, last; std::vector<int32_t> targets, wanted; } cases[] = {
        {"6", 2, 4, {3000, -2000, 8000}, {3000, -2000, 8000, 3000, -2000}},
        {"7", 0, 1, {1000, -400}, {1000, 600, 1600, 1200}},  // from where the drive stood
    };
    for (const auto& c : cases) {
        start({"--mode", c.mode});
        for (int i = 0; i < kPointCount; ++i)
            shared.block.set(PointSpeed(i), 3000);
        for (size_t i = 0; i < c.targets.size(); ++i)
            shared.block.set(PointPosition(c.first + int(i)), c.targets[i]);
        shared.block.set(kPointAcc, 10);
        shared.block.set(kPointDec, 10);
        ASSERT_EQ(command(CS_WriteAllParms), kResultSuccess);
        shared.servoOn = 1;
        ASSERT_EQ(command(CS_ServoOnOff), kResultSuccess);
        const int32_t base = c.mode[0] == '7' ? int32_t(shared.position) : 0;
        shared.runFirst = c.first;
        shared.runLast = c.last;
        shared.runDelayMs = 0;
        shared.runSubStep = TRC_Init;
        ASSERT_TRUE(shared.comm.issue(CS_RunPointToPoint));
        std::vector<int32_t> reached;
        int32_t previous = TRC_Init;
        waitFor([&] {
            const int32_t sub = shared.runSubStep;
            if (sub == TRC_Sleep && previous != TRC_Sleep)
                reached.push_back(shared.position);
            previous = sub;
            return reached.size() >= c.wanted.size() || shared.comm.step() != CS_RunPointToPoint;
        });
        EXPECT_EQ(shared.comm.step(), CS_RunPointToPoint) << "the run goes on until stopped";
        shared.runSubStep = TRC_IDLE;  // the window's Stop
        shared.comm.reset();
        ASSERT_EQ(reached.size(), c.wanted.size()) << c.mode;
        for (size_t i = 0; i < reached.size(); ++i)
            EXPECT_LE(std::abs(reached[i] - base - c.wanted[i]), 10) << c.mode << "/" << i;  // in-position window
        // The selection inputs 42, 39, 37, 34 (bits 0-3) hold the last point chosen.
        parkWorker();
        uint8_t inputs[2] = {};
        ASSERT_TRUE(bus.readCoils(32, 11, inputs));
        const unsigned bits = inputs[0] | inputs[1] << 8;
        const int selected = (bits >> 10 & 1) | (bits >> 7 & 1) << 1 | (bits >> 5 & 1) << 2 | (bits >> 2 & 1) << 3;
        EXPECT_EQ(selected, c.first + int(c.wanted.size() - 1) % (c.last - c.first + 1)) << c.mode;
    }
}

// Catches wrong jog word bits: 0x8000 pulse jog plus, 0x1000 time jog minus.
TEST_F(DrivesimWorker, JogWordMovesByTimeOrByPulses)
{
    start({"--mode", "6", "--extended"});
    shared.servoOn = 1;
    ASSERT_EQ(command(CS_ServoOnOff_2), kResultSuccess);
    shared.block.set(kJogSpeed, 600);
    ASSERT_EQ(command(CS_JogSpeed), kResultSuccess);
    ASSERT_TRUE(waitFor([&] { return shared.position == 0; }));
    shared.jogWord = 0x8000 | 123;
    ASSERT_EQ(command(CS_Jog), kResultSuccess);
    EXPECT_EQ(shared.jogWord.load(), 123) << "command bits cleared after the write";
    EXPECT_TRUE(waitFor([&] { return shared.position == 123; }));
    shared.jogWord = 0x1000 | 500;  // for 500 ms at 600 rpm: 5000 pulses
    ASSERT_EQ(command(CS_Jog), kResultSuccess);
    EXPECT_TRUE(waitFor([&] { return shared.position < -4000; }));
}

// Catches a changed host port picked up late, more than once, or with the
// old slave address (only station 7 answers on the new port).
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
    ASSERT_EQ(command(CS_ReadAllParms), kResultSuccess);
    EXPECT_EQ(shared.activeMode.load(), 1);
    EXPECT_EQ(worker->portChanges(), 1);
    worker.reset();
}

// Catches a silent drive that hangs the worker or is reported as success.
TEST_F(DrivesimWorker, SilentDriveFailsTheStepAndTheWorkerGoesOn)
{
    start({"--mode", "6", "--silent-after", "3"});
    const uint32_t begin = platform::tickCount();
    EXPECT_EQ(command(CS_ReadAllParms), kResultFailure);
    EXPECT_LT(platform::tickCount() - begin, 8000u);
    hostVars.linkUp = 0;  // the host gave up: no more cyclic reads
    EXPECT_EQ(command(CS_ZeroHomeOffsetRef), kResultFailure);
}

// Catches writes to a port the host let go: the system may have handed
// that number to the next file opened.
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
