// The worker on its own master against the simulated drive: jog, a host
// that moves to another port, a drive that falls silent and a port the host
// let go. Reading, writing and the point runs: WaypadViewTest.
#include "DriveOnPty.h"
#include "HostVariables.h"

#include "comm/CModbus.h"
#include "plugin/CommWorker.h"
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
    bool waitFor(Done done)
    {
        for (const uint32_t begin = platform::tickCount(); !done() && platform::tickCount() - begin <= 8000;)
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
};

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
