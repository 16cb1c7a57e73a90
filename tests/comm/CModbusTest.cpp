// The Modbus master against a scripted device on a pseudo-terminal (COM 1),
// prompts answered by a script: frames, outcome rules, waits, the monitor log
// and seeded random replies.
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include "comm/CModbus.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <time.h>

using namespace testsupport;
using Clock = std::chrono::steady_clock;
using Result = CModbus::Result;
using Lines = std::vector<std::string>;

// The master on COM 1 with a scripted device on the other end of the line.
class CModbusTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PortTable::setExplicitEntry(1, pty.slavePath());
        platform::SerialSettings settings;
        ASSERT_EQ(master.OpenComPort(1, settings), 1);
        master.SetPreCountQueTimes(2000);  // about 20 ms unless a test wants more
    }
    void TearDown() override {
        master.CloseComPort();
        platform::PortTable::setExplicitEntry(1, "");
    }
    // Waits (bounded) until `n` bytes wait on the master's side of the line.
    bool queuedAtLeast(unsigned long n) {
        for (int i = 0; i < 1000 && master.PreCountInQue() < n; ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        return master.PreCountInQue() >= n;
    }
    std::vector<std::string> monitorLines() {
        std::vector<std::string> lines;
        for (std::string line; master.MonitorGetPacket(line);) lines.push_back(line);
        return lines;
    }

    PtyPair pty;
    ScriptedResponder device{pty.masterFd()};
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt prompts{prompt};
    CModbus master;
};

namespace {

// Report Slave ID reply: id 0x05, run 0xFF, 21 text bytes.
Bytes slaveIdReply(uint8_t byteCount = 23) {
    Bytes frame = {0x01, 0x11, byteCount, 0x05, 0xFF};
    for (char c : std::string("SERVO-DRIVE-1234ABCDE")) frame.push_back(static_cast<uint8_t>(c));
    return withCrc(frame);
}

// CPU time this thread spends in `work`: a wait must sit in poll, not spin.
double cpuMsOf(const std::function<void()>& work) {
    timespec a{}, b{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
    work();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
    return (b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6;
}

Bytes noise(size_t i) { return {static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)}; }
std::string noiseLine(size_t i) { return "N: " + toHex(noise(i)) + " "; }

}  // namespace

// Every function's frame against bytes worked out independently, and its reply decoded.
TEST_F(CModbusTest, EveryFunctionSendsItsFrameAndDecodesTheReply) {
    unsigned short reg = 0, regs[2] = {}, values[2] = {0x000A, 0x0102};
    unsigned char coils[2] = {}, packed[2] = {0xCD, 0x01};
    char text[32] = {};
    unsigned char capacity = sizeof text, id = 0, run = 0;
    const struct {
        Bytes request;
        const char* reply;  // without its CRC
        std::function<int()> call;
    } exchanges[] = {
        // Spelled out literally rather than computed.
        {hex("01 03 00 00 00 01 84 0A"), "01 03 02 00 05", [&] { return master.ReadHoldingRegisters(0, 1, &reg); }},
        {withCrc(hex("01 03 00 10 00 02")), "01 03 04 12 34 FF FE",
         [&] { return master.ReadHoldingRegisters(0x10, 2, regs); }},
        {withCrc(hex("01 01 00 13 00 0A")), "01 01 02 CD 01", [&] { return master.ReadCoils(0x13, 10, coils); }},
        {withCrc(hex("01 0F 00 13 00 0A 02 CD 01")), "01 0F 00 13 00 0A",
         [&] { return master.WriteMultipleCoils(0x13, 10, packed); }},
        {withCrc(hex("01 10 00 01 00 02 04 00 0A 01 02")), "01 10 00 01 00 02",
         [&] { return master.WriteMultipleRegisters(1, 2, values); }},
        {withCrc(hex("11 11")), nullptr,
         [&] { master.SetSlaveAddress(0x11); return master.ReportSlaveID(text, &capacity, &id, &run); }},
        // Tx_ sends the frame and leaves the reply queued.
        {withCrc(hex("11 10 00 01 00 02 04 00 0A 01 02")), "11 10 00 01 00 02",
         [&] { return master.Tx_WriteMultipleRegisters(1, 2, values); }},
    };
    for (const auto& e : exchanges) {
        device.expect(e.request, Answer(e.reply ? withCrc(hex(e.reply)) : slaveIdReply()));
        EXPECT_EQ(e.call(), 1) << toHex(e.request);
    }
    EXPECT_TRUE(queuedAtLeast(8));
    EXPECT_EQ(reg, 5);
    EXPECT_EQ(std::vector<unsigned short>(regs, regs + 2), (std::vector<unsigned short>{0x1234, 0xFFFE}));
    EXPECT_EQ(coils[0] | coils[1] << 8, 0x01CD);
    EXPECT_EQ(std::string(text), "SERVO-DRIVE-1234ABCDE");
    EXPECT_EQ(id << 8 | run, 0x05FF);
    EXPECT_EQ(device.unexpectedBytes(), 0u);
}

// One byte too many fails and stays queued; requests beyond the limits are never sent.
TEST_F(CModbusTest, ReplyMustHaveTheExactLengthAndRequestsBeyondTheLimitsStayUnsent) {
    device.expect(withCrc(hex("01 03 00 00 00 01")), Answer(withCrc(hex("01 03 02 00 05"))).pad(hex("AA")));
    unsigned short reg = 0;
    EXPECT_EQ(master._ReadHoldingRegisters(0, 1, &reg), 0);
    EXPECT_EQ(master.LastResult(), Result::LongReply);
    EXPECT_EQ(master.PreCountInQue(), 1u);

    std::vector<unsigned short> regs(200);
    std::vector<unsigned char> coils(300);
    EXPECT_EQ(master.ReadHoldingRegisters(0, 126, regs.data()), 0);
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, nullptr), 0);
    EXPECT_EQ(master.WriteMultipleRegisters(0, 124, regs.data()), 0);
    EXPECT_EQ(master.ReadCoils(0, 236 * 8, coils.data()), 0);
    EXPECT_EQ(master.WriteMultipleCoils(0, 247 * 8, coils.data()), 0);
    EXPECT_EQ(master.LastResult(), Result::InvalidRequest);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(device.received().size(), 8u);  // only the first request went out
}

// Retries: at least one attempt, at most RetryTimes, and none after a success.
TEST_F(CModbusTest, RetriesAtLeastOnceAtMostRetryTimesAndStopAtTheFirstSuccess) {
    master.SetPreCountQueTimes(100);
    device.always(withCrc(hex("01 10 00 05 00 01 02 00 01")), Answer::none());
    unsigned short value = 1;
    size_t total = 0;
    for (unsigned times : {0u, 1u, 3u}) {
        master.SetRetryTimes(times);
        EXPECT_EQ(master.WriteMultipleRegisters(5, 1, &value), 0);
        total += std::max(1u, times);
        EXPECT_TRUE(device.waitAnswered(total));  // the last request may still be on its way
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(device.requests().size(), total) << "RetryTimes " << times;
    }
    EXPECT_EQ(master.LastResult(), Result::NoReply);

    // A budget that a loaded machine's scheduling cannot outrun: the answer
    // to the second attempt must not be taken for a missing one.
    master.SetPreCountQueTimes(5000);
    const Bytes read = withCrc(hex("01 03 00 00 00 01"));
    device.expect(read, Answer::none());
    device.expect(read, Answer(withCrc(hex("01 03 02 00 09"))));
    device.always(read, Answer(withCrc(hex("01 03 02 00 01"))));
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &value), 1);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(device.requests().size(), total + 2);
}

// Exceptions, bad CRCs and short replies fail with their kind and log what they drop.
TEST_F(CModbusTest, FailuresLogWhatTheyDiscard) {
    const Bytes badCrc = Answer(withCrc(hex("01 01 01 55"))).corrupt(5).bytes;
    unsigned short reg = 0, three = 3;
    unsigned char coils[1] = {};
    const struct {
        const char* request;  // without its CRC
        Bytes reply;
        std::function<int()> call;
        Result result;
        Lines logged;
        unsigned long leftQueued;
    } failures[] = {
        {"01 03 00 00 00 01", hex("01 83 02 C0 F1"), [&] { return master.ReadHoldingRegisters(0, 1, &reg); },
         Result::ShortReply, {"RReg: 01 83 02 C0 F1 "}, 0},
        {"01 01 00 00 00 08", badCrc, [&] { return master.ReadCoils(0, 8, coils); },
         Result::BadCrc, {"RCoil: " + toHex(badCrc) + " "}, 0},
        // An exception to a coil read is read and dropped without a line.
        {"01 01 00 00 00 08", withCrc(hex("01 81 02")), [&] { return master.ReadCoils(0, 8, coils); },
         Result::WrongFunction, {}, 0},
        // An exception to a write stays in the queue, unlogged.
        {"01 10 00 00 00 01 02 00 03", withCrc(hex("01 90 02")),
         [&] { return master.WriteMultipleRegisters(0, 1, &three); }, Result::ShortReply, {}, 5},
    };
    for (const auto& f : failures) {
        device.expect(withCrc(hex(f.request)), Answer(f.reply));
        EXPECT_EQ(f.call(), 0) << f.request;
        EXPECT_EQ(master.LastResult(), f.result) << f.request;
        EXPECT_EQ(monitorLines(), f.logged) << f.request;
        EXPECT_EQ(master.PreCountInQue(), f.leftQueued) << f.request;
    }
    master.GarbageCollection("", 0);  // as the plug-in flushes: empty tag
    EXPECT_EQ(monitorLines(), Lines{"01 90 02 CD C1 "});
}

// The monitor keeps the newest lines up to its cap; the reader never repeats one.
TEST_F(CModbusTest, MonitorIsCappedKeepingTheNewestAndTheReaderKeepsItsPlace) {
    auto logNoise = [this](size_t i) {
        device.send(Answer(noise(i)));
        ASSERT_TRUE(queuedAtLeast(2));
        master.GarbageCollection("N: ", 0);
    };
    master.MonitorInit();
    logNoise(0);
    logNoise(1);
    std::string line;
    ASSERT_EQ(master.MonitorGetPacket(line), 1);
    EXPECT_EQ(line, noiseLine(0));

    const size_t total = CModbus::kMonitorCapacity + 10;
    for (size_t i = 2; i < total; ++i) logNoise(i);
    // The reader goes on with the oldest kept line, each once, the newest last.
    auto lines = monitorLines();
    ASSERT_EQ(lines.size(), CModbus::kMonitorCapacity);
    EXPECT_EQ(lines.front(), noiseLine(total - CModbus::kMonitorCapacity));
    EXPECT_EQ(lines.back(), noiseLine(total - 1));
    logNoise(total);  // after the reader caught up: the next line, not a repeat
    EXPECT_EQ(monitorLines(), Lines{noiseLine(total)});
}

// Waits sit in poll, not spin: a missing reply ends within its budget (about
// 0.6 s), and 125 registers paced at 19200 baud after 5 ms are taken whole.
TEST_F(CModbusTest, WaitsEndWithinTheirBudgetWithoutSpinning) {
    master.SetPreCountQueTimes(60000);
    device.always(withCrc(hex("01 10 00 00 00 01 02 00 00")), Answer::none());
    unsigned short value = 0;
    const auto start = Clock::now();
    EXPECT_LT(cpuMsOf([&] { EXPECT_EQ(master.WriteMultipleRegisters(0, 1, &value), 0); }), 250.0);
    const auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(500));
    EXPECT_LT(took, std::chrono::milliseconds(1500));
    EXPECT_EQ(master.LastResult(), Result::NoReply);

    Bytes reply = hex("01 03 FA");
    for (int j = 0; j < 125; ++j) reply.insert(reply.end(), {uint8_t(j >> 8), uint8_t(j)});
    device.expect(withCrc(hex("01 03 00 00 00 7D")), Answer(withCrc(reply)).after(5).paced(19200));
    std::vector<unsigned short> regs(125);
    EXPECT_LT(cpuMsOf([&] { EXPECT_EQ(master.ReadHoldingRegisters(0, 125, regs.data()), 1); }), 120.0);
    for (int j = 0; j < 125; ++j) ASSERT_EQ(regs[j], j);
}

// A text longer than the caller's buffer, or a byte count past the frame, is refused.
TEST_F(CModbusTest, ReportSlaveIdNeverWritesPastTheCallersBuffer) {
    device.expect(withCrc(hex("01 11")), Answer(slaveIdReply()));
    char text[8] = {};
    unsigned char capacity = 5;
    EXPECT_EQ(master.ReportSlaveID(text, &capacity, nullptr, nullptr), 0);
    EXPECT_EQ(master.LastResult(), Result::TextTooSmall);

    device.expect(withCrc(hex("01 11")), Answer(slaveIdReply(0xF0)));
    char big[255];
    std::memset(big, 0x7E, sizeof big);
    capacity = 255;
    EXPECT_EQ(master._ReportSlaveID(big, &capacity, nullptr, nullptr), 0);
    EXPECT_EQ(master.LastResult(), Result::BadLength);
    EXPECT_EQ(big[0], 0x7E);
}

// A port whose far end vanished fails fast instead of waiting or spinning.
TEST(CModbusDeadLine, HungUpPortFailsFastWithoutSpinning) {
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped(prompt);
    auto pty = std::make_unique<PtyPair>();
    platform::PortTable::setExplicitEntry(2, pty->slavePath());
    platform::SerialSettings settings;
    CModbus master;
    ASSERT_EQ(master.OpenComPort(2, settings), 1);
    pty.reset();  // the far end goes away (an adapter pulled)
    unsigned short reg = 0;
    const auto start = Clock::now();
    EXPECT_LT(cpuMsOf([&] { EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &reg), 0); }), 250.0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
    master.CloseComPort();
    platform::PortTable::setExplicitEntry(2, "");
}

// Seeded random replies: every exchange ends, nothing overruns (ASan runs
// this too), and a good reply afterwards still gets through.
TEST_F(CModbusTest, RandomRepliesNeverCrashOrOverrun) {
    std::mt19937 rng(20261206);
    device.setHandler([&rng](Bytes& pending) -> std::optional<Answer> {
        const size_t n = ScriptedResponder::modbusRequestLength(pending);
        if (n == 0 || pending.size() < n) return std::nullopt;
        const Bytes request(pending.begin(), pending.begin() + static_cast<long>(n));
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(n));
        Bytes reply(rng() % 300);
        for (auto& b : reply) b = static_cast<uint8_t>(rng());
        // Often a plausible head, now and then a good CRC, to reach deeper checks.
        if (reply.size() >= 3 && rng() % 2) std::copy(request.begin(), request.begin() + 2, reply.begin());
        if (reply.size() >= 5 && rng() % 4 == 0) reply = withCrc(Bytes(reply.begin(), reply.end() - 2));
        return Answer(reply);
    });
    master.SetPreCountQueTimes(300);
    // Only register reads discard without a 300 ms pause on a bad CRC.
    for (int round = 0; round < 250; ++round) {
        std::vector<unsigned short> regs(1 + rng() % 125);
        master._ReadHoldingRegisters(static_cast<unsigned short>(rng()), static_cast<unsigned short>(regs.size()),
                                     regs.data());
    }
    for (int round = 0; round < 3; ++round) {
        const unsigned short quantity = static_cast<unsigned short>(1 + rng() % 1880);
        std::vector<unsigned char> coils((quantity + 7) / 8);
        master._ReadCoils(0, quantity, coils.data());
        std::vector<unsigned short> values(1 + rng() % 123);
        master._WriteMultipleRegisters(0, static_cast<unsigned short>(values.size()), values.data());
        master._WriteMultipleCoils(0, quantity, coils.data());
        char text[4];
        unsigned char capacity = sizeof text;
        master._ReportSlaveID(text, &capacity, nullptr, nullptr);
    }

    device.setHandler(nullptr);
    device.waitIdle();
    master.GarbageCollection("", 50);
    device.always(withCrc(hex("01 03 00 00 00 01")), Answer(withCrc(hex("01 03 02 12 34"))));
    unsigned short reg = 0;
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &reg), 1);
    EXPECT_EQ(reg, 0x1234);
}
