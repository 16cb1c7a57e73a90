// The worker, its transfers and the point run against a drive in memory:
// the exact exchanges, their order and timing, and what each failure does.
#include "FakeDriveBus.h"
#include "HostVariables.h"

#include "plugin/CommWorker.h"
#include "plugin/DriveTransfers.h"
#include "plugin/PointRun.h"
#include "plugin/WaypadShared.h"
#include "platform/Ticks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

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
    bool contains(const std::string& entry) const
    {
        return std::find(bus.log.begin(), bus.log.end(), entry) != bus.log.end();
    }
    void setPoint(int index, int32_t position)
    {
        bus.setLong(static_cast<uint16_t>(200 + 2 * index), position);
        shared.block.set(PointPosition(index), position);
    }
};

// ---- read all ---------------------------------------------------------------

TEST_F(WorkerTest, ReadAllTakesSixOrEightRegistersFrom1215ByTheFeatureBit)
{
    for (const bool extended : {false, true}) {
        bus = FakeDriveBus();
        bus.registers[151] = extended ? 0x20 : 0;
        bus.registers[1222] = 0x0F05;
        bus.readOverrides[2003] = 0x401;  // asked, the drive answers: servo on
        shared.progress = 1;
        ASSERT_TRUE(ReadAllParameters(bus, shared));
        EXPECT_EQ(contains("R1215+8"), extended);
        EXPECT_EQ(contains("R1215+6"), !extended);
        EXPECT_EQ(contains("W2003=1024") && contains("R2003+1"), extended);
        EXPECT_EQ(shared.block.get(kRegister1222), extended ? 0x0F05 : 0);
        EXPECT_EQ(shared.block.get(kSkipGearRatio), extended ? 1 : 0);
        EXPECT_EQ(shared.servoReadOn.load(), extended ? 1 : 0);
        EXPECT_EQ(shared.progress.load(), 9);
    }
}

TEST_F(WorkerTest, ReadAllTakesWordsSignedOrUnsignedAndPairsLowWordFirst)
{
    bus.setLong(200, -70000);          // point 1
    bus.setLong(230, 123456);          // point 16
    bus.registers[83] = 0xFFFB;        // speed 1: -5
    bus.registers[727] = 3000;         // speed 16
    bus.registers[87] = 0xFFFF;        // jog speed: unsigned
    bus.registers[88] = 0xFFFE;        // point acceleration: signed
    bus.setLong(1201, -2);             // homing offset
    bus.registers[1209] = 0xFFFF;      // on-position delay: unsigned
    bus.setLong(1219, -1000000);       // soft limit negative
    bus.registers[939] = 1;
    ASSERT_TRUE(ReadAllParameters(bus, shared));
    const ParameterBlock& b = shared.block;
    EXPECT_EQ(b.get(PointPosition(0)), -70000);
    EXPECT_EQ(b.get(PointPosition(15)), 123456);
    EXPECT_EQ(b.get(PointSpeed(0)), -5);
    EXPECT_EQ(b.get(PointSpeed(15)), 3000);
    EXPECT_EQ(b.get(kJogSpeed), 65535);
    EXPECT_EQ(b.get(kPointAcc), -2);
    EXPECT_EQ(b.get(kHomingOffset), -2);
    EXPECT_EQ(b.get(kOnPosDelay), 65535);
    EXPECT_EQ(b.get(kSoftLimitNeg), -1000000);
    EXPECT_EQ(shared.activeMode.load(), 1);
}

TEST_F(WorkerTest, ServoStateFromTheQueryRegister)
{
    const struct { uint16_t answer; int on; } cases[] = {
        {0x401, 1}, {0x400, 0}, {0x7FF, 1}, {0x801, 0}, {0x001, 0}, {0xFC01, 0}};
    for (const auto& c : cases) {
        bus = FakeDriveBus();
        bus.registers[151] = 0x20;
        bus.readOverrides[2003] = c.answer;
        ASSERT_TRUE(ReadAllParameters(bus, shared));
        EXPECT_EQ(shared.servoReadOn.load(), c.on) << std::hex << c.answer;
    }
}

TEST_F(WorkerTest, ReadAllFailsOnEveryBlockFromThePositionsOn)
{
    // The mode and feature reads may fail without failing the step; every
    // block from the positions on ends it, the homing block included.
    const struct { const char* read; bool ok; } cases[] = {
        {"R939+1", true}, {"R151+1", true}, {"R200+32", false}, {"R83+4", false}, {"R116+4", false},
        {"R720+8", false}, {"R87+3", false}, {"R1200+10", false}, {"R1215+6", false}};
    for (const auto& c : cases) {
        bus = FakeDriveBus();
        bus.failWhen = [&](const std::string& e) { return e == c.read; };
        EXPECT_EQ(ReadAllParameters(bus, shared), c.ok) << c.read;
    }
}

// ---- write all --------------------------------------------------------------

TEST_F(WorkerTest, WriteAllSendsEachBlockInOrderAndSavesLast)
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
        for (int r = 1200; r <= 1209; ++r) expected.push_back("W" + std::to_string(r));
        for (int r = 1215; r <= 1220; ++r) expected.push_back("W" + std::to_string(r));
        if (extended) expected.push_back("W1222");
        expected.push_back("W129");
        EXPECT_EQ(starts, expected);
        EXPECT_EQ(bus.log[1].substr(0, 17), "W200=65534,65535,");
        EXPECT_TRUE(contains("W1201=9029") && contains("W1202=1"));
        EXPECT_TRUE(contains("W1217=4464") && contains("W1218=1"));
        EXPECT_EQ(contains("W1222=3845"), extended);
        EXPECT_EQ(bus.log.back(), "W129=2");
        // The first block at the master's own timing, the rest at 25 ms x 200, then back.
        EXPECT_EQ(bus.timings[0].waitMs, 0u);
        EXPECT_EQ(bus.timings[1].waitMs, 25u);
        EXPECT_EQ(bus.timings[1].polls, 200u);
        EXPECT_EQ(bus.current.polls, 60000u);
    }
}

TEST_F(WorkerTest, WriteAllStopsAtTheFirstFailure)
{
    for (int failing = 1; failing <= 22; ++failing) {
        bus = FakeDriveBus();
        bus.failFrom = failing;
        EXPECT_FALSE(WriteAllParameters(bus, shared)) << failing;
        EXPECT_EQ(int(bus.log.size()), failing) << "nothing is sent after the failure";
        EXPECT_EQ(bus.log.back() == "W129=2", failing == 22) << "the save comes only last";
    }
}

// ---- the point run ----------------------------------------------------------

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
    EXPECT_EQ(bus.selectedPoints(), (std::vector<int>{2, 3, 4, 2, 3}));
    EXPECT_EQ(arrivals, (std::vector<int32_t>{3000, 4000, 5000, 3000, 4000}));
    EXPECT_GE(sleeping, 4 * 3) << "each dwell of 25 ms lasts three cycles";
    // Coil 35 falls, then rises, before each move.
    EXPECT_EQ(bus.entries("C35=").size() % 2, 0u);
    EXPECT_EQ(bus.entries("C35=").front(), "C35=0");
}

TEST_F(WorkerTest, RelativeRunAddsEachReachedTargetToTheBase)
{
    bus.registers[939] = kRelativeMode;
    bus.setLong(180, 500);
    setPoint(0, 100);
    setPoint(1, -250);
    shared.runFirst = 0;
    shared.runLast = 1;
    shared.runSubStep = TRC_Init;
    PointRun run;
    std::vector<int32_t> bases;
    for (int cycle = 0; cycle < 80 && bases.size() < 4; ++cycle, now += 10) {
        const int32_t before = run.basePosition();
        ASSERT_TRUE(run.cycle(bus, shared));
        if (shared.runSubStep != TRC_Init && run.basePosition() != before)
            bases.push_back(run.basePosition());
    }
    EXPECT_EQ(bases, (std::vector<int32_t>{500, 600, 350, 450}));
}

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
        bus.failWhen = [&](const std::string& e) { return e.compare(0, prefix.size(), prefix) == 0; };
        ASSERT_TRUE(shared.comm.issue(CS_RunPointToPoint));
        auto w = worker(0);
        hostVars.linkUp = 0;
        for (int cycle = 0; cycle < 10 && shared.comm.step() == CS_RunPointToPoint; ++cycle)
            w->runCycle();
        EXPECT_EQ(shared.comm.step(), CS_RunPointToPoint + 1) << c.exchange;
        EXPECT_EQ(shared.comm.result(), kResultFailure);
        EXPECT_STREQ(PointRunStepName(shared.runSubStep), PointRunStepName(c.at)) << c.exchange;
        shared.comm.reset();
    }
}

// ---- the worker's cycle -----------------------------------------------------

TEST_F(WorkerTest, OneShotCommandsWriteTheirRegisters)
{
    shared.targetPosition = -70000;
    shared.targetSpeed = 1500;
    shared.block.set(kJogSpeed, 321);
    shared.servoOn = 1;
    const struct { CommStepId step; std::vector<std::string> writes; } cases[] = {
        {CS_ServoOnOff, {"C38=1"}},
        {CS_GotoABS_PulsePos, {"W1214=1500", "W180=61072,65534"}},
        {CS_GotoREL_PulsePos, {"W1214=1500", "W182=61072,65534"}},
        {CS_ServoOnOff_2, {"W2002=1025"}},
        {CS_Homing, {"W2002=2049"}},
        {CS_ZeroHomeOffsetRef, {"W941=0"}},
        {CS_JogSpeed, {"W87=321"}},
    };
    hostVars.linkUp = 0;  // no cyclic reads among the writes
    auto w = worker();
    for (const auto& c : cases) {
        bus.log.clear();
        ASSERT_TRUE(shared.comm.issue(c.step));
        w->runCycle();
        std::vector<std::string> writes;
        for (const std::string& e : bus.log)
            if (e != "F") writes.push_back(e);
        EXPECT_EQ(writes, c.writes) << CommStepName(c.step);
        EXPECT_EQ(bus.log.front(), "F") << "stale input is flushed before a command";
        int32_t result = 0;
        ASSERT_TRUE(shared.comm.take(c.step + 1, result));
        EXPECT_EQ(result, kResultSuccess);
    }
    // A failed write is result 3.
    bus.failFrom = 1;
    ASSERT_TRUE(shared.comm.issue(CS_Homing));
    w->runCycle();
    EXPECT_EQ(shared.comm.step(), CS_Homing + 1);
    EXPECT_EQ(shared.comm.result(), kResultFailure);
}

TEST_F(WorkerTest, JogWritesTheWordThenClearsItsCommandBits)
{
    hostVars.linkUp = 0;
    auto w = worker();
    shared.jogWord = 0x2000 | 740;
    ASSERT_TRUE(shared.comm.issue(CS_Jog));
    w->runCycle();
    EXPECT_TRUE(contains("W2001=" + std::to_string(0x2000 | 740)));
    EXPECT_EQ(shared.jogWord.load(), 740);
}

TEST_F(WorkerTest, CyclicReadsFollowTheDisplayModeAndTheHomingDialog)
{
    // Not in display mode 2, or with the link down: nothing is read.
    for (const auto& [mode, up] : {std::pair{1, 1}, std::pair{2, 0}}) {
        bus.log.clear();
        hostVars.linkUp = up;
        auto w = worker(mode);
        for (int i = 0; i < 10; ++i) w->runCycle();
        EXPECT_TRUE(bus.log.empty()) << mode << "/" << up;
    }
    hostVars.linkUp = 1;
    bus.log.clear();
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
    for (int i = 0; i < 28; ++i) w->runCycle();
    EXPECT_EQ(bus.log, (std::vector<std::string>{"R2002+1", "R941+2", "R2002+1", "R941+2"}));
}

TEST_F(WorkerTest, ChangedHostPortIsAdoptedAfterAPauseWithTheNewAddress)
{
    hostVars.linkUp = 0;
    auto w = worker();
    w->runCycle();
    EXPECT_EQ(w->portChanges(), 0);
    hostVars.port = 7;
    hostVars.slave = 9;
    platform::setTickSource(nullptr);
    const uint32_t start = platform::tickCount();
    w->runCycle();
    EXPECT_GE(platform::tickCount() - start, 100u);
    EXPECT_EQ(bus.log.back(), "P7/9");
    EXPECT_EQ(w->portChanges(), 1);
    w->runCycle();
    EXPECT_EQ(w->portChanges(), 1);
}

// ---- the close handshake ----------------------------------------------------

TEST_F(WorkerTest, CloseAnsweredNoTurnsTheServoOffBeforeReportingTheAnswer)
{
    for (const bool extended : {false, true}) {
        bus = FakeDriveBus();
        hostVars.status = 0;
        hostVars.linkUp = 0;
        shared.featureWord = extended ? 0x20 : 0;
        shared.servoOn = 1;
        shared.comm.reset();
        ASSERT_TRUE(shared.comm.issue(CS_RunPointToPoint));  // a run is interrupted
        shared.runSubStep = TRC_CheckOnpos;
        int32_t statusAtWrite = -1;
        const std::string servoOff = extended ? "W2002=1024" : "C38=0";
        bus.onExchange = [&](const std::string& e) { if (e == servoOff) statusAtWrite = hostVars.status; };
        auto w = worker();
        w->runCycle();
        EXPECT_EQ(hostVars.status.load(), kPluginServoOnBit);
        shared.closeAnswer = kTurnServoOff;
        w->runCycle();
        EXPECT_EQ(statusAtWrite & kPluginCloseAnsweredBit, 0) << servoOff;
        EXPECT_EQ(hostVars.status.load(), kPluginCloseAnsweredBit) << "answered, servo reported off";
        EXPECT_EQ(shared.comm.step(), CS_Idle);
        EXPECT_EQ(shared.comm.result(), kResultIdle);
        EXPECT_EQ(shared.servoOn.load(), 0);
    }
}

TEST_F(WorkerTest, HostCloseRequestIsPassedToTheWindowOnlyWithTheServoOn)
{
    hostVars.linkUp = 0;
    auto w = worker();
    hostVars.closeRequest = 1;
    // Servo off: nothing to ask, the request is answered at once.
    w->runCycle();
    EXPECT_EQ(shared.closeQuestionWanted.load(), 0);
    EXPECT_EQ(hostVars.status.load(), kPluginCloseAnsweredBit);

    hostVars.status = 0;
    shared.servoOn = 1;
    w->runCycle();
    EXPECT_EQ(shared.closeQuestionWanted.load(), 1);
    EXPECT_EQ(hostVars.status.load(), kPluginServoOnBit);
    // The window keeps the servo on: answered, nothing written.
    shared.closeAnswer = kKeepServoState;
    w->runCycle();
    EXPECT_EQ(hostVars.status.load(), kPluginServoOnBit | kPluginCloseAnsweredBit);
    EXPECT_TRUE(bus.entries("C38").empty());
}

TEST_F(WorkerTest, ThreadParksOnlyOnceTheLastCommandWentOut)
{
    platform::setTickSource(nullptr);
    hostVars.linkUp = 0;
    auto w = worker();
    w->start();
    w->resume();
    shared.servoOn = 0;
    // The window closes right after "Turn ServoOFF": the write still goes out.
    ASSERT_TRUE(shared.comm.issue(CS_ServoOnOff));
    w->pause();
    for (int i = 0; i < 300 && !w->parked(); ++i)
        platform::sleepMs(10);
    EXPECT_TRUE(w->parked());
    EXPECT_TRUE(contains("C38=0"));
    EXPECT_EQ(shared.comm.step(), CS_ServoOnOff + 1);

    // A close answer given while parked is carried out before the thread ends.
    shared.comm.reset();
    shared.servoOn = 1;
    shared.closeAnswer = kTurnServoOff;
    w->stop();
    EXPECT_EQ(bus.entries("C38=0").size(), 2u);
    EXPECT_TRUE(hostVars.status & kPluginCloseAnsweredBit);
    EXPECT_FALSE(w->threadRunning());
}

TEST_F(WorkerTest, SecondCommandWhileOneRunsIsRefusedWithTheRunningStepsName)
{
    ASSERT_TRUE(shared.comm.issue(CS_ReadAllParms));
    EXPECT_FALSE(shared.comm.issue(CS_WriteAllParms));
    EXPECT_EQ(shared.comm.step(), CS_ReadAllParms);
    EXPECT_EQ(CommStepsBusyText(shared.comm.step()), "Now on processing CommSteps: CS_ReadAllParms");
    // A finished step still blocks until the window takes it back.
    shared.comm.finish(CS_ReadAllParms, kResultSuccess);
    EXPECT_FALSE(shared.comm.issue(CS_Homing));
    EXPECT_EQ(CommStepsBusyText(shared.comm.step()), "Now on processing CommSteps: CS_ReadAllParms_Finish");
    // A run stopped by the window is not finished by a late failure.
    shared.comm.reset();
    ASSERT_TRUE(shared.comm.issue(CS_RunPointToPoint));
    shared.comm.reset();
    shared.comm.finish(CS_RunPointToPoint, kResultFailure);
    EXPECT_TRUE(shared.comm.idle());
}

}  // namespace
