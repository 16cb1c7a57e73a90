#include "ModbusOnPty.h"

#include <cstring>
#include <functional>
#include <memory>
#include <time.h>

using namespace testsupport;
using Clock = std::chrono::steady_clock;
using Result = CModbus::Result;
using Lines = std::vector<std::string>;

namespace {

using CModbusTest = ModbusOnPty;

// Report Slave ID reply: id 0x05, run 0xFF, 21 text bytes.
Bytes slaveIdReply(uint8_t byteCount = 23) {
    Bytes frame = {0x01, 0x11, byteCount, 0x05, 0xFF};
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
    unsigned short reg = 0, regs[2] = {}, values[2] = {0x000A, 0x0102};
    unsigned char coils[2] = {}, packed[2] = {0xCD, 0x01};
    char text[32] = {};
    unsigned char capacity = sizeof text, id = 0, run = 0;
    const struct {
        Bytes request;
        const char* reply;  // without its CRC
        std::function<int()> call;
    } exchanges[] = {
        // The worked example, spelled out literally rather than computed.
        {hex("01 03 00 00 00 01 84 0A"), "01 03 02 00 05",
         [&] { return master.ReadHoldingRegisters(0, 1, &reg); }},
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
    EXPECT_EQ(device.pendingExpectations(), 0u);
    EXPECT_EQ(device.unexpectedBytes(), 0u);
}

TEST_F(CModbusTest, CrcHelpersMatchTheWireOrder) {
    unsigned char frame[8] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(master.CRC16(frame, 6), 0x840Au);
    master.AppendCRC(frame, 8);
    EXPECT_EQ(frame[6] << 8 | frame[7], 0x840A);
    EXPECT_EQ(master.CheckCRC(frame, 8), 1);
    frame[3] ^= 1;
    EXPECT_EQ(master.CheckCRC(frame, 8), 0);
    EXPECT_EQ(master.CheckCRC(frame, 1), 0);  // too short to hold a CRC
}

TEST_F(CModbusTest, ReplyMustHaveTheExactLength) {
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

TEST_F(CModbusTest, RetriesAtLeastOnceAtMostRetryTimesAndStopAtTheFirstSuccess) {
    master.SetPreCountQueTimes(100);
    const Bytes write = withCrc(hex("01 10 00 05 00 01 02 00 01"));
    device.always(write, Answer::none());
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

    const Bytes read = withCrc(hex("01 03 00 00 00 01"));
    device.expect(read, Answer::none());
    device.expect(read, Answer(withCrc(hex("01 03 02 00 09"))));
    device.always(read, Answer(withCrc(hex("01 03 02 00 01"))));
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &value), 1);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(device.requests().size(), total + 2);
}

TEST_F(CModbusTest, FailuresLogWhatTheyDiscard) {
    EXPECT_EQ(withCrc(hex("01 83 02")), hex("01 83 02 C0 F1"));
    const Bytes badCrc = Answer(withCrc(hex("01 01 01 55"))).corrupt(5).bytes;
    unsigned short reg = 0, three = 3;
    unsigned char coils[1] = {}, capacity = 8;
    char text[8];
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
        // A coil reply of the full length with a bad CRC: logged after the pause.
        {"01 01 00 00 00 08", badCrc, [&] { return master.ReadCoils(0, 8, coils); },
         Result::BadCrc, {"RCoil: " + toHex(badCrc) + " "}, 0},
        // An exception to a coil read is read and dropped without a line.
        {"01 01 00 00 00 08", withCrc(hex("01 81 02")), [&] { return master.ReadCoils(0, 8, coils); },
         Result::WrongFunction, {}, 0},
        {"01 11", withCrc(hex("01 91 01")), [&] { return master.ReportSlaveID(text, &capacity, nullptr, nullptr); },
         Result::ShortReply, {"RSlv: " + toHex(withCrc(hex("01 91 01"))) + " "}, 0},
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

TEST_F(CModbusTest, MissingReplyEndsWithinItsBudgetWithoutSpinning) {
    master.SetPreCountQueTimes(60000);  // the default: about 0.6 s
    device.always(withCrc(hex("01 10 00 00 00 01 02 00 00")), Answer::none());
    unsigned short value = 0;
    auto start = Clock::now();
    const double cpuBefore = threadCpuMs();
    EXPECT_EQ(master.WriteMultipleRegisters(0, 1, &value), 0);
    auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(500));
    EXPECT_LT(took, std::chrono::milliseconds(1500));
    EXPECT_LT(threadCpuMs() - cpuBefore, 250.0);  // waits in poll, not in a busy loop
    EXPECT_EQ(master.LastResult(), Result::NoReply);
    EXPECT_TRUE(monitorLines().empty());

    // With a sleep per poll the budget is WaitWriteTime x (polls + 1).
    master.SetWaitWriteTime(2);
    master.SetPreCountQueTimes(9);
    start = Clock::now();
    EXPECT_EQ(master.WriteMultipleRegisters(0, 1, &value), 0);
    took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(20));
    EXPECT_LT(took, std::chrono::milliseconds(300));
}

TEST_F(CModbusTest, PacedReplyWithLatencyIsAccepted) {
    master.SetPreCountQueTimes(60000);
    // 125 registers: 255 bytes, about 133 ms at 19200 baud after 5 ms.
    Bytes reply = hex("01 03 FA");
    for (int j = 0; j < 125; ++j) reply.insert(reply.end(), {uint8_t(j >> 8), uint8_t(j)});
    device.expect(withCrc(hex("01 03 00 00 00 7D")), Answer(withCrc(reply)).after(5).paced(19200));
    std::vector<unsigned short> regs(125);
    const double cpuBefore = threadCpuMs();
    EXPECT_EQ(master.ReadHoldingRegisters(0, 125, regs.data()), 1);
    EXPECT_LT(threadCpuMs() - cpuBefore, 120.0);
    for (int j = 0; j < 125; ++j) ASSERT_EQ(regs[j], j);
}

TEST_F(CModbusTest, ReportSlaveIdRespectsTheCallersBuffer) {
    device.expect(withCrc(hex("01 11")), Answer(slaveIdReply()));
    char text[8] = {};
    unsigned char capacity = 5, id = 0, run = 0;
    EXPECT_EQ(master.ReportSlaveID(text, &capacity, &id, &run), 0);
    EXPECT_EQ(master.LastResult(), Result::TextTooSmall);
    EXPECT_EQ(capacity, 21);  // what it would need
    EXPECT_EQ(id << 8 | run, 0x05FF);  // still stored

    // A byte count that points past the frame is refused, not copied.
    device.expect(withCrc(hex("01 11")), Answer(slaveIdReply(0xF0)));
    char big[255];
    std::memset(big, 0x7E, sizeof big);
    capacity = 255;
    EXPECT_EQ(master._ReportSlaveID(big, &capacity, nullptr, nullptr), 0);
    EXPECT_EQ(master.LastResult(), Result::BadLength);
    EXPECT_EQ(capacity, 255);
    EXPECT_EQ(big[0], 0x7E);
}

TEST_F(CModbusTest, RequestsBeyondTheLimitsAreRefusedUnsent) {
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
