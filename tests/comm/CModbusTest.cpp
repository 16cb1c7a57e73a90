#include "ModbusOnPty.h"

#include <cstring>
#include <memory>
#include <time.h>

using namespace testsupport;
using Clock = std::chrono::steady_clock;
using Result = CModbus::Result;

namespace {

class CModbusTest : public ::testing::Test, public ModbusOnPty {};

// 28-byte Report Slave ID reply: id 0x05, run 0xFF, 21 text bytes.
Bytes slaveIdReply(uint8_t byteCount = 23) {
    Bytes frame = hex("01 11");
    frame.push_back(byteCount);
    frame.push_back(0x05);
    frame.push_back(0xFF);
    for (char c : std::string("SERVO-DRIVE-1234ABCDE")) frame.push_back(static_cast<uint8_t>(c));
    return withCrc(frame);
}

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

}  // namespace

TEST_F(CModbusTest, EveryFunctionSendsItsFrameAndDecodesTheReply) {
    ASSERT_TRUE(opened);
    // The worked example, spelled out literally rather than computed.
    device.expect(hex("01 03 00 00 00 01 84 0A"), Answer(withCrc(hex("01 03 02 00 05"))));
    unsigned short reg = 0;
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &reg), 1);
    EXPECT_EQ(reg, 5);

    device.expect(withCrc(hex("01 03 00 10 00 02")), Answer(withCrc(hex("01 03 04 12 34 FF FE"))));
    unsigned short regs[2] = {};
    EXPECT_EQ(master.ReadHoldingRegisters(0x10, 2, regs), 1);
    EXPECT_EQ(regs[0], 0x1234);
    EXPECT_EQ(regs[1], 0xFFFE);

    device.expect(withCrc(hex("01 01 00 13 00 0A")), Answer(withCrc(hex("01 01 02 CD 01"))));
    unsigned char coils[2] = {};
    EXPECT_EQ(master.ReadCoils(0x13, 10, coils), 1);
    EXPECT_EQ(coils[0], 0xCD);
    EXPECT_EQ(coils[1], 0x01);

    device.expect(withCrc(hex("01 0F 00 13 00 0A 02 CD 01")), Answer(withCrc(hex("01 0F 00 13 00 0A"))));
    EXPECT_EQ(master.WriteMultipleCoils(0x13, 10, coils), 1);

    unsigned short values[2] = {0x000A, 0x0102};
    device.expect(withCrc(hex("01 10 00 01 00 02 04 00 0A 01 02")), Answer(withCrc(hex("01 10 00 01 00 02"))));
    EXPECT_EQ(master.WriteMultipleRegisters(1, 2, values), 1);

    master.SetSlaveAddress(0x11);
    device.expect(withCrc(hex("11 11")), Answer(slaveIdReply()));
    char text[32] = {};
    unsigned char capacity = sizeof text, id = 0, run = 0;
    EXPECT_EQ(master.ReportSlaveID(text, &capacity, &id, &run), 1);
    EXPECT_EQ(std::string(text), "SERVO-DRIVE-1234ABCDE");
    EXPECT_EQ(id, 0x05);
    EXPECT_EQ(run, 0xFF);

    // Tx_ sends the frame and leaves the reply alone.
    device.expect(withCrc(hex("11 10 00 01 00 02 04 00 0A 01 02")), Answer(withCrc(hex("11 10 00 01 00 02"))));
    EXPECT_EQ(master.Tx_WriteMultipleRegisters(1, 2, values), 1);
    EXPECT_TRUE(queuedAtLeast(8));

    EXPECT_EQ(device.pendingExpectations(), 0u);
    EXPECT_EQ(device.unexpectedBytes(), 0u);
}

TEST_F(CModbusTest, CrcHelpersMatchTheWireOrder) {
    unsigned char frame[8] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(master.CRC16(frame, 6), 0x840Au);
    master.AppendCRC(frame, 8);
    EXPECT_EQ(frame[6], 0x84);
    EXPECT_EQ(frame[7], 0x0A);
    EXPECT_EQ(master.CheckCRC(frame, 8), 1);
    frame[3] ^= 1;
    EXPECT_EQ(master.CheckCRC(frame, 8), 0);
    EXPECT_EQ(master.CheckCRC(frame, 1), 0);
}

TEST_F(CModbusTest, ReplyMustHaveTheExactLength) {
    ASSERT_TRUE(opened);
    const Bytes request = withCrc(hex("01 03 00 00 00 01"));
    // One byte too many: fails, and the surplus stays queued.
    device.expect(request, Answer(withCrc(hex("01 03 02 00 05"))).pad(hex("AA")));
    unsigned short reg = 0;
    EXPECT_EQ(master._ReadHoldingRegisters(0, 1, &reg), 0);
    EXPECT_EQ(master.LastResult(), Result::LongReply);
    EXPECT_EQ(master.PreCountInQue(), 1u);
    EXPECT_TRUE(monitorLines().empty());
    master.GarbageCollection("", 0);
    EXPECT_EQ(master.PreCountInQue(), 0u);

    // The same reply split with a gap inside the poll budget is accepted.
    device.expect(request, Answer(withCrc(hex("01 03 02 00 07"))).split({3}, 5));
    EXPECT_EQ(master._ReadHoldingRegisters(0, 1, &reg), 1);
    EXPECT_EQ(reg, 7);
}

TEST_F(CModbusTest, RetriesAtLeastOnceAndAtMostRetryTimes) {
    ASSERT_TRUE(opened);
    master.SetPreCountQueTimes(100);
    const Bytes request = withCrc(hex("01 10 00 05 00 01 02 00 01"));
    device.always(request, Answer::none());
    unsigned short value = 1;
    size_t total = 0;
    for (unsigned times : {0u, 1u, 3u}) {
        master.SetRetryTimes(times);
        EXPECT_EQ(master.WriteMultipleRegisters(5, 1, &value), 0);
        total += std::max(1u, times);
        // The last request may still be on its way to the device.
        EXPECT_TRUE(device.waitAnswered(total));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(device.requests().size(), total) << "RetryTimes " << times;
    }
    EXPECT_EQ(master.LastResult(), Result::NoReply);
}

TEST_F(CModbusTest, RetryStopsAtTheFirstSuccess) {
    ASSERT_TRUE(opened);
    const Bytes request = withCrc(hex("01 03 00 00 00 01"));
    device.expect(request, Answer::none());
    device.expect(request, Answer(withCrc(hex("01 03 02 00 09"))));
    device.always(request, Answer(withCrc(hex("01 03 02 00 01"))));
    master.SetRetryTimes(3);
    unsigned short reg = 0;
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &reg), 1);
    EXPECT_EQ(reg, 9);
    EXPECT_EQ(device.requests().size(), 2u);
}

TEST_F(CModbusTest, FailuresLogWhatTheyDiscard) {
    ASSERT_TRUE(opened);
    // An exception reply to a register read is discarded and logged.
    EXPECT_EQ(withCrc(hex("01 83 02")), hex("01 83 02 C0 F1"));
    device.expect(withCrc(hex("01 03 00 00 00 01")), Answer(hex("01 83 02 C0 F1")));
    unsigned short reg = 0;
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &reg), 0);
    EXPECT_EQ(monitorLines(), std::vector<std::string>{"RReg: 01 83 02 C0 F1 "});

    // A coil reply of the full length with a bad CRC: logged after the pause.
    device.expect(withCrc(hex("01 01 00 00 00 08")), Answer(withCrc(hex("01 01 01 55"))).corrupt(5));
    unsigned char coils[1] = {};
    EXPECT_EQ(master.ReadCoils(0, 8, coils), 0);
    EXPECT_EQ(master.LastResult(), Result::BadCrc);
    auto lines = monitorLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("RCoil: ", 0), 0u);

    // An exception to a coil read is read and dropped without a line.
    device.expect(withCrc(hex("01 01 00 00 00 08")), Answer(withCrc(hex("01 81 02"))));
    EXPECT_EQ(master.ReadCoils(0, 8, coils), 0);
    EXPECT_EQ(master.PreCountInQue(), 0u);
    EXPECT_TRUE(monitorLines().empty());

    // An exception to a write stays in the queue, unlogged.
    unsigned short value = 3;
    device.expect(withCrc(hex("01 10 00 00 00 01 02 00 03")), Answer(withCrc(hex("01 90 02"))));
    EXPECT_EQ(master.WriteMultipleRegisters(0, 1, &value), 0);
    EXPECT_EQ(master.PreCountInQue(), 5u);
    EXPECT_TRUE(monitorLines().empty());
    master.GarbageCollection("", 0);  // as the plug-in flushes: empty tag
    EXPECT_EQ(monitorLines(), std::vector<std::string>{"01 90 02 CD C1 "});

    // A short Report Slave ID reply.
    device.expect(withCrc(hex("01 11")), Answer(withCrc(hex("01 91 01"))));
    char text[32];
    unsigned char capacity = sizeof text;
    EXPECT_EQ(master.ReportSlaveID(text, &capacity, nullptr, nullptr), 0);
    EXPECT_EQ(monitorLines(), std::vector<std::string>{"RSlv: " + toHex(withCrc(hex("01 91 01"))) + " "});
}

TEST_F(CModbusTest, MissingReplyEndsWithinTheDefaultBudgetWithoutSpinning) {
    ASSERT_TRUE(opened);
    master.SetPreCountQueTimes(60000);  // the default: about 0.6 s
    device.always(withCrc(hex("01 10 00 00 00 01 02 00 00")), Answer::none());
    unsigned short value = 0;
    const auto start = Clock::now();
    const double cpuBefore = threadCpuMs();
    EXPECT_EQ(master.WriteMultipleRegisters(0, 1, &value), 0);
    const auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(500));
    EXPECT_LT(took, std::chrono::milliseconds(1500));
    EXPECT_LT(threadCpuMs() - cpuBefore, 250.0);  // waits in poll, not in a busy loop
    EXPECT_EQ(master.LastResult(), Result::NoReply);
    EXPECT_TRUE(monitorLines().empty());

    // With a sleep per poll the budget is WaitWriteTime x (polls + 1).
    master.SetWaitWriteTime(2);
    master.SetPreCountQueTimes(9);
    const auto start2 = Clock::now();
    EXPECT_EQ(master.WriteMultipleRegisters(0, 1, &value), 0);
    const auto took2 = Clock::now() - start2;
    EXPECT_GE(took2, std::chrono::milliseconds(20));
    EXPECT_LT(took2, std::chrono::milliseconds(300));
}

TEST_F(CModbusTest, PacedReplyWithLatencyIsAccepted) {
    ASSERT_TRUE(opened);
    master.SetPreCountQueTimes(60000);
    // 125 registers: 255 bytes, about 133 ms at 19200 baud after 5 ms.
    Bytes reply = hex("01 03 FA");
    for (int j = 0; j < 125; ++j) {
        reply.push_back(static_cast<uint8_t>(j >> 8));
        reply.push_back(static_cast<uint8_t>(j));
    }
    device.expect(withCrc(hex("01 03 00 00 00 7D")), Answer(withCrc(reply)).after(5).paced(19200));
    std::vector<unsigned short> regs(125);
    const double cpuBefore = threadCpuMs();
    EXPECT_EQ(master.ReadHoldingRegisters(0, 125, regs.data()), 1);
    EXPECT_LT(threadCpuMs() - cpuBefore, 120.0);
    for (int j = 0; j < 125; ++j) ASSERT_EQ(regs[j], j);
}

TEST_F(CModbusTest, ReportSlaveIdRespectsTheCallersBuffer) {
    ASSERT_TRUE(opened);
    device.always(withCrc(hex("01 11")), Answer(slaveIdReply()));
    char text[8] = {};
    unsigned char capacity = 5, id = 0, run = 0;
    EXPECT_EQ(master.ReportSlaveID(text, &capacity, &id, &run), 0);
    EXPECT_EQ(capacity, 21);  // what it would need
    EXPECT_EQ(id, 0x05);      // still stored
    EXPECT_EQ(run, 0xFF);
    EXPECT_EQ(master.LastResult(), Result::TextTooSmall);

    // A byte count that points past the frame is refused, not copied.
    device.setHandler([](Bytes& pending) -> std::optional<Answer> {
        if (pending.size() < 4) return std::nullopt;
        pending.erase(pending.begin(), pending.begin() + 4);
        return Answer(slaveIdReply(0xF0));
    });
    char big[255];
    std::memset(big, 0x7E, sizeof big);
    capacity = 255;
    EXPECT_EQ(master._ReportSlaveID(big, &capacity, nullptr, nullptr), 0);
    EXPECT_EQ(master.LastResult(), Result::BadLength);
    EXPECT_EQ(capacity, 255);
    EXPECT_EQ(big[0], 0x7E);
}

TEST_F(CModbusTest, RequestsBeyondTheLimitsAreRefusedUnsent) {
    ASSERT_TRUE(opened);
    std::vector<unsigned short> regs(200);
    std::vector<unsigned char> coils(300);
    EXPECT_EQ(master.ReadHoldingRegisters(0, 126, regs.data()), 0);
    EXPECT_EQ(master.ReadHoldingRegisters(0, 0, regs.data()), 0);
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, nullptr), 0);
    EXPECT_EQ(master.WriteMultipleRegisters(0, 124, regs.data()), 0);
    EXPECT_EQ(master.ReadCoils(0, 236 * 8, coils.data()), 0);
    EXPECT_EQ(master.WriteMultipleCoils(0, 247 * 8, coils.data()), 0);
    EXPECT_EQ(master.Tx_WriteMultipleRegisters(0, 124, regs.data()), 0);
    EXPECT_EQ(master.ReportSlaveID(nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(master.LastResult(), Result::InvalidRequest);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(device.received().empty());
}

TEST(CModbusDeadLine, ClosedOrHungUpPortFailsFastWithoutSpinning) {
    CModbus master;
    unsigned short reg = 0;
    auto start = Clock::now();
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &reg), 0);  // never opened
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));

    // The far end goes away while the port is open (an adapter pulled).
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped(prompt);
    auto pty = std::make_unique<PtyPair>();
    platform::PortTable::setExplicitEntry(2, pty->slavePath());
    platform::SerialSettings settings;
    ASSERT_EQ(master.OpenComPort(2, settings), 1);
    pty.reset();
    start = Clock::now();
    const double cpuBefore = threadCpuMs();
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &reg), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_LT(threadCpuMs() - cpuBefore, 250.0);
    master.CloseComPort();
    platform::PortTable::setExplicitEntry(2, "");
}
