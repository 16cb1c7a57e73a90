// The worker, its transfers and the point run against a drive in memory:
// the exact exchanges, their order and timing, and what each failure does;
// the plug-in's master on a port the host let go.
#include "FakeDriveBus.h"
#include "HostVariables.h"

#include "plugin/CommWorker.h"
#include "plugin/DriveTransfers.h"
#include "plugin/PointRun.h"
#include "plugin/WaypadShared.h"
#include "comm/CModbus.h"
#include "platform/SerialPort.h"
#include "platform/Ticks.h"
#include "tests/support/PtyPair.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>

using namespace waypad;

namespace {

class WorkerTest : public ::testing::Test {
protected:
    // Time steps by hand: each worker cycle is 10 ms later.
    uint32_t now = 1000;
    void SetUp() override
    {
        platform::setTickSource([this] { return now; });
        hostVars.port = bus.portHandle;
        hostVars.linkUp = 0;  // no cyclic position reads unless a test wants them
    }
    void TearDown() override { platform::setTickSource(nullptr); }

    FakeDriveBus bus;
    WaypadShared shared;
    HostVariables hostVars;
    HostLink host{hostVars.record()};

    std::unique_ptr<CommWorker> worker(int showPulsePosition = 2)
    {
        return std::make_unique<CommWorker>(bus, shared, host, showPulsePosition);
    }
    void setPoint(int index, int32_t position)
    {
        bus.setLong(uint16_t(200 + 2 * index), position);
        shared.block.set(PointPosition(index), position);
    }
    // Issues `step` and runs cycles until it finished (at most `cycles`).
    void runStep(CommWorker& w, int32_t step, int cycles = 1)
    {
        ASSERT_TRUE(shared.comm.issue(step));
        for (int i = 0; i < cycles && shared.comm.step() == step; ++i, now += 10)
            w.runCycle();
    }
};

// Reads 8 or 6 registers from 1215 by the feature bit, and the servo state
// only with it; the mode and feature reads may fail without failing the step,
// every block from the positions on ends it: catches a wrong block size, a
// missed query, a bad decode or an ignored failed read.
TEST_F(WorkerTest, ReadAllFollowsTheFeatureBitAndFailsOnEveryBlock)
{
    const struct { bool extended; uint16_t answer; int on; } cases[] = {
        {false, 0x401, 0}, {true, 0x401, 1}, {true, 0x400, 0}, {true, 0x7FF, 1},
        {true, 0x801, 0},  {true, 0x001, 0}, {true, 0xFC01, 0}};
    for (const auto& c : cases) {
        bus = FakeDriveBus();
        bus.registers[151] = c.extended ? 0x20 : 0;
        bus.registers[1222] = 0x0F05;
        bus.readOverrides[2003] = c.answer;  // asked, the drive answers
        shared.progress = 1;
        ASSERT_TRUE(ReadAllParameters(bus, shared));
        EXPECT_EQ(bus.count("R1215+8"), c.extended ? 1u : 0u);
        EXPECT_EQ(bus.count("R1215+6"), c.extended ? 0u : 1u);
        EXPECT_EQ(bus.count("W2003=1024") + bus.count("R2003+1"), c.extended ? 2u : 0u);
        EXPECT_EQ(shared.block.get(kRegister1222), c.extended ? 0x0F05 : 0);
        EXPECT_EQ(shared.block.get(kSkipGearRatio), c.extended ? 1 : 0);
        EXPECT_EQ(shared.servoReadOn.load(), c.on) << std::hex << c.answer;
        EXPECT_EQ(shared.progress.load(), 9);
    }
    const struct { const char* read; bool ok; } failing[] = {
        {"R939+1", true}, {"R151+1", true}, {"R200+32", false}, {"R83+4", false}, {"R116+4", false},
        {"R720+8", false}, {"R87+3", false}, {"R1200+10", false}, {"R1215+6", false}};
    for (const auto& c : failing) {
        bus = FakeDriveBus();
        bus.failWhen = [&](const std::string& e) { return e == c.read; };
        EXPECT_EQ(ReadAllParameters(bus, shared), c.ok) << c.read;
    }
}

// Catches words read with the wrong sign and pairs joined high word first.
TEST_F(WorkerTest, ReadAllTakesWordsSignedOrUnsignedAndPairsLowWordFirst)
{
    bus.registers = {{200, 0xEE90}, {201, 0xFFFE}, {230, 0xE240}, {231, 1}, {1201, 0xFFFE}, {1202, 0xFFFF},
                     {1219, 0xBDC0}, {1220, 0xFFF0}, {83, 0xFFFB}, {727, 3000}, {87, 0xFFFF}, {88, 0xFFFE},
                     {1209, 0xFFFF}, {939, 1}};
    ASSERT_TRUE(ReadAllParameters(bus, shared));
    const struct { int field; int32_t value; } wanted[] = {
        {PointPosition(0), -70000}, {PointPosition(15), 123456}, {PointSpeed(0), -5}, {PointSpeed(15), 3000},
        {kJogSpeed, 65535},         {kPointAcc, -2},             {kHomingOffset, -2}, {kOnPosDelay, 65535},
        {kSoftLimitNeg, -1000000}};
    for (const auto& w : wanted)
        EXPECT_EQ(shared.block.get(w.field), w.value) << w.field;
    EXPECT_EQ(shared.activeMode.load(), 1);
}

// Catches a block out of order, 1222 written without the feature, a save
// that is not last, the slow timing left in place afterwards, and a write
// that goes on after a failure or saves a half-written set.
TEST_F(WorkerTest, WriteAllSendsEachBlockInOrderSavesLastAndStopsAtAFailure)
{
    for (const bool extended : {false, true}) {
        bus = FakeDriveBus();
        shared.featureWord = extended ? 0x20 : 0;
        shared.block.set(PointPosition(0), -2);
        shared.block.set(kHomingOffset, 0x12345);
        shared.block.set(kRegister1222, 0x0F04);
        shared.block.set(kSkipGearRatio, 1);
        shared.block.set(kSoftLimitPos, 70000);
        ASSERT_TRUE(WriteAllParameters(bus, shared));
        std::vector<std::string> starts;
        for (const std::string& e : bus.log)
            starts.push_back(e.substr(0, e.find('=')));
        std::vector<std::string> expected = {"W83", "W200", "W116", "W720", "W87"};
        for (int r = 1200; r <= 1220; ++r)
            if (r < 1210 || r > 1214)
                expected.push_back("W" + std::to_string(r));
        if (extended)
            expected.push_back("W1222");
        expected.push_back("W129");
        EXPECT_EQ(starts, expected);
        EXPECT_EQ(bus.log[1].substr(0, 17), "W200=65534,65535,");
        EXPECT_EQ(bus.count("W1201=9029") + bus.count("W1202=1") + bus.count("W1217=4464") + bus.count("W1218=1"), 4u);
        EXPECT_EQ(bus.count("W1222=3845"), extended ? 1u : 0u);
        EXPECT_EQ(bus.log.back(), "W129=2");
        // The first block at the master's own timing, the rest at 25 ms x 200, then back.
        EXPECT_EQ(bus.timings[0].waitMs, 0u);
        EXPECT_EQ(bus.timings[1].waitMs, 25u);
        EXPECT_EQ(bus.timings[1].polls, 200u);
        EXPECT_EQ(bus.current.polls, 60000u);
    }
    shared.featureWord = 0;  // 22 exchanges without 1222
    for (int failing = 1; failing <= 22; ++failing) {
        bus = FakeDriveBus();
        bus.failFrom = failing;
        EXPECT_FALSE(WriteAllParameters(bus, shared)) << failing;
        EXPECT_EQ(int(bus.log.size()), failing) << "nothing is sent after the failure";
        EXPECT_EQ(bus.log.back() == "W129=2", failing == 22) << "the save comes only last";
    }
}

// Catches a wrong selection order, a missing wrap, a skipped dwell, and a
// start coil that does not fall before it rises.
TEST_F(WorkerTest, RunFromThreeToFiveSelectsTwoThreeFourAndWraps)
{
    setPoint(2, 3000);
    setPoint(3, 4000);
    setPoint(4, 5000);
    bus.registers[96] = 10;
    shared.runFirst = 2;
    shared.runLast = 4;
    shared.runDelayMs = 25;
    shared.runSubStep = TRC_Init;
    PointRun run;
    std::vector<int32_t> arrivals;
    int sleeping = 0;
    for (int cycle = 0; cycle < 80 && arrivals.size() < 5; ++cycle, now += 10) {
        ASSERT_TRUE(run.cycle(bus, shared));
        sleeping += shared.runSubStep == TRC_Sleep;
        if (shared.runSubStep == TRC_Sleep && (arrivals.empty() || arrivals.back() != shared.position))
            arrivals.push_back(shared.position);
    }
    EXPECT_EQ(bus.startedPoints, (std::vector<int>{2, 3, 4, 2, 3}));
    EXPECT_EQ(arrivals, (std::vector<int32_t>{3000, 4000, 5000, 3000, 4000}));
    EXPECT_GE(sleeping, 4 * 3) << "each dwell of 25 ms lasts three cycles";
    const auto firstStart = std::find_if(bus.log.begin(), bus.log.end(), [](auto& e) { return e.rfind("C35=", 0) == 0; });
    ASSERT_NE(firstStart, bus.log.end());
    EXPECT_EQ(*firstStart, "C35=0") << "the start coil falls before it rises";
    EXPECT_EQ(bus.count("C35=0"), bus.count("C35=1"));
}

// Catches a failed exchange that leaves the run going or is not reported.
TEST_F(WorkerTest, RunStopsWithTheSubStepThatFailed)
{
    const struct { const char* exchange; PointRunStep at; } cases[] = {
        {"R939+1", TRC_Init}, {"R96+1", TRC_Init}, {"RC0+6", TRC_CheckOnpos},
        {"C39=", TRC_SelectPos}, {"C35=1", TRC_Start}};
    for (const auto& c : cases) {
        bus = FakeDriveBus();
        setPoint(0, 1000);
        shared.runFirst = shared.runLast = 0;
        shared.runSubStep = TRC_Init;
        const std::string prefix = c.exchange;
        bus.failWhen = [&](const std::string& e) { return e.rfind(prefix, 0) == 0; };
        auto w = worker(0);
        runStep(*w, CS_RunPointToPoint, 10);
        EXPECT_EQ(shared.comm.step(), CS_RunPointToPoint + 1) << c.exchange;
        EXPECT_EQ(shared.comm.result(), kResultFailure);
        EXPECT_STREQ(PointRunStepName(shared.runSubStep), PointRunStepName(c.at)) << c.exchange;
        shared.comm.reset();
    }
}

// Catches a command writing the wrong register or value, no flush of stale
// input first, jog bits left set, and a failed write reported as success.
TEST_F(WorkerTest, OneShotCommandsWriteTheirRegisters)
{
    shared.targetPosition = -70000;
    shared.targetSpeed = 1500;
    shared.block.set(kJogSpeed, 321);
    shared.servoOn = 1;
    shared.jogWord = 0x2000 | 740;
    const struct { CommStepId step; std::vector<std::string> writes; } cases[] = {
        {CS_ServoOnOff, {"F", "C38=1"}},
        {CS_GotoABS_PulsePos, {"F", "W1214=1500", "W180=61072,65534"}},
        {CS_GotoREL_PulsePos, {"F", "W1214=1500", "W182=61072,65534"}},
        {CS_ServoOnOff_2, {"F", "W2002=1025"}},
        {CS_Homing, {"F", "W2002=2049"}},
        {CS_ZeroHomeOffsetRef, {"F", "W941=0"}},
        {CS_JogSpeed, {"F", "W87=321"}},
        {CS_Jog, {"F", "W2001=8932"}},
    };
    auto w = worker();
    for (const auto& c : cases) {
        bus.log.clear();
        runStep(*w, c.step);
        EXPECT_EQ(bus.log, c.writes) << CommStepName(c.step);
        int32_t result = 0;
        ASSERT_TRUE(shared.comm.take(c.step + 1, result));
        EXPECT_EQ(result, kResultSuccess);
    }
    EXPECT_EQ(shared.jogWord.load(), 740) << "the jog's command bits clear after the write";
    bus.failFrom = 1;
    runStep(*w, CS_Homing);
    EXPECT_EQ(shared.comm.step(), CS_Homing + 1);
    EXPECT_EQ(shared.comm.result(), kResultFailure);
}

// Catches reads with the link down or in another display mode, the wrong
// timing for the position read, and a wrong homing-dialog poll rhythm.
TEST_F(WorkerTest, CyclicReadsFollowTheDisplayModeAndTheHomingDialog)
{
    for (const auto& [mode, up] : {std::pair{1, 1}, std::pair{2, 0}}) {
        bus.log.clear();
        hostVars.linkUp = up;
        auto w = worker(mode);
        for (int i = 0; i < 10; ++i)
            w->runCycle();
        EXPECT_TRUE(bus.log.empty()) << mode << "/" << up;
    }
    hostVars.linkUp = 1;
    bus.setLong(180, -5);
    auto w = worker(2);
    w->runCycle();
    EXPECT_EQ(bus.log, std::vector<std::string>{"R180+2"});
    EXPECT_EQ(bus.timings[0].waitMs, 1u);
    EXPECT_EQ(bus.timings[0].polls, 1000u);
    EXPECT_EQ(shared.position.load(), -5);
    // The homing dialog: every seventh cycle, status and reference in turn.
    bus.log.clear();
    shared.dialogActive = 1;
    for (int i = 0; i < 28; ++i)
        w->runCycle();
    EXPECT_EQ(bus.log, (std::vector<std::string>{"R2002+1", "R941+2", "R2002+1", "R941+2"}));
}

// Catches the answered bit set before the servo-off write went out, with or
// without the feature, and an interrupted run left running.
TEST_F(WorkerTest, CloseAnsweredNoTurnsTheServoOffBeforeReportingTheAnswer)
{
    for (const bool extended : {false, true}) {
        bus = FakeDriveBus();
        hostVars.status = 0;
        shared.featureWord = extended ? 0x20 : 0;
        shared.servoOn = 1;
        shared.comm.reset();
        ASSERT_TRUE(shared.comm.issue(CS_RunPointToPoint));  // a run is interrupted
        shared.runSubStep = TRC_CheckOnpos;
        int32_t statusAtWrite = -1;
        const std::string servoOff = extended ? "W2002=1024" : "C38=0";
        bus.failWhen = [&](const std::string& e) {
            statusAtWrite = e == servoOff ? hostVars.status.load() : statusAtWrite;
            return false;
        };
        auto w = worker();
        w->runCycle();
        EXPECT_EQ(hostVars.status.load(), kPluginServoOnBit);
        shared.closeAnswer = kTurnServoOff;
        w->runCycle();
        EXPECT_EQ(statusAtWrite & kPluginCloseAnsweredBit, 0) << servoOff;
        EXPECT_EQ(hostVars.status.load(), kPluginCloseAnsweredBit) << "answered, servo reported off";
        EXPECT_TRUE(shared.comm.idle());
        EXPECT_EQ(shared.servoOn.load(), 0);
    }
}

// Catches a thread that parks before the last command went out, a close
// answer dropped at the end, and a thread that does not end.
TEST_F(WorkerTest, ThreadParksOnlyOnceTheLastCommandWentOut)
{
    platform::setTickSource(nullptr);
    auto w = worker();
    w->start();
    w->resume();
    // The window closes right after "Turn ServoOFF": the write still goes out.
    ASSERT_TRUE(shared.comm.issue(CS_ServoOnOff));
    w->pause();
    for (int i = 0; i < 300 && !w->parked(); ++i)
        platform::sleepMs(10);
    EXPECT_TRUE(w->parked());
    EXPECT_EQ(bus.count("C38=0"), 1u);
    EXPECT_EQ(shared.comm.step(), CS_ServoOnOff + 1);
    // A close answer given while parked is carried out before the thread ends.
    shared.comm.reset();
    shared.servoOn = 1;
    shared.closeAnswer = kTurnServoOff;
    w->stop();
    EXPECT_EQ(bus.count("C38=0"), 2u);
    EXPECT_TRUE(hostVars.status & kPluginCloseAnsweredBit);
    EXPECT_FALSE(w->threadRunning());
}

// Catches a second command accepted while one runs or is not yet taken
// back, and a stopped run revived by a late failure.
TEST_F(WorkerTest, SecondCommandWhileOneRunsIsRefusedWithTheRunningStepsName)
{
    ASSERT_TRUE(shared.comm.issue(CS_ReadAllParms));
    EXPECT_FALSE(shared.comm.issue(CS_WriteAllParms));
    EXPECT_EQ(CommStepsBusyText(shared.comm.step()), "Now on processing CommSteps: CS_ReadAllParms");
    shared.comm.finish(CS_ReadAllParms, kResultSuccess);
    EXPECT_FALSE(shared.comm.issue(CS_Homing));
    EXPECT_EQ(CommStepsBusyText(shared.comm.step()), "Now on processing CommSteps: CS_ReadAllParms_Finish");
    shared.comm.reset();
    ASSERT_TRUE(shared.comm.issue(CS_RunPointToPoint));
    shared.comm.reset();
    shared.comm.finish(CS_RunPointToPoint, kResultFailure);
    EXPECT_TRUE(shared.comm.idle());
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
    // The pty hands written bytes on a moment later: wait until `expected`
    // arrived, or (for none) the whole 200 ms.
    const auto sentBytes = [&](int expected) {
        int waiting = -1;
        for (int i = 0; i < 40; ++i, platform::sleepMs(5))
            if (ioctl(line.masterFd(), FIONREAD, &waiting) != 0 || (expected > 0 && waiting == expected))
                break;
        return waiting;
    };
    EXPECT_FALSE(bus.readRegisters(180, 2, &value));  // nobody answers, but the request went out
    EXPECT_EQ(sentBytes(8), 8);
    tcflush(line.masterFd(), TCIFLUSH);
    hostVars.port = platform::kNoPort;  // the host let the port go
    EXPECT_FALSE(bus.readRegisters(180, 2, &value));
    EXPECT_FALSE(bus.writeRegister(2002, 0x400));
    EXPECT_FALSE(bus.writeCoil(38, false));
    bus.flushInput();
    EXPECT_EQ(sentBytes(0), 0);
    platform::serialClose(opened.handle);
}

}  // namespace
