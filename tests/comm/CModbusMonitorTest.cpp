#include "ModbusOnPty.h"

using namespace testsupport;
using Lines = std::vector<std::string>;

namespace {

class CModbusMonitorTest : public ModbusOnPty {
protected:
    // Puts `bytes` on the line and discards them into the monitor.
    void logNoise(const Bytes& bytes, const char* tag = "N: ") {
        device.send(Answer(bytes));
        ASSERT_TRUE(queuedAtLeast(bytes.size()));
        master.GarbageCollection(tag, 0);
    }
    static Bytes noise(size_t i) { return {static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)}; }
    static std::string lineOf(size_t i) { return "N: " + toHex(noise(i)) + " "; }
};

}  // namespace

TEST_F(CModbusMonitorTest, DeliversEachLineOnceInOrderAndStartsOverAtInit) {
    master.MonitorInit();
    master.GarbageCollection("X: ", 0);  // nothing queued: no line
    std::string line = "untouched";
    EXPECT_EQ(master.MonitorGetPacket(line), 0);
    EXPECT_EQ(line, "untouched");

    logNoise(hex("01 02"), "A: ");
    logNoise(hex("0A"), "B: ");
    EXPECT_EQ(monitorLines(), (Lines{"A: 01 02 ", "B: 0A "}));
    master.MonitorInit();
    logNoise(hex("10"), "D: ");
    EXPECT_EQ(monitorLines(), Lines{"D: 10 "});
}

TEST_F(CModbusMonitorTest, ListIsCappedKeepingTheNewestAndTheReaderKeepsItsPlace) {
    master.MonitorInit();
    logNoise(noise(0));
    logNoise(noise(1));
    std::string line;
    ASSERT_EQ(master.MonitorGetPacket(line), 1);
    EXPECT_EQ(line, lineOf(0));

    const size_t total = CModbus::kMonitorCapacity + 10;
    for (size_t i = 2; i < total; ++i) logNoise(noise(i));
    // The reader goes on with the oldest kept line and sees each kept line
    // once, the newest last.
    auto lines = monitorLines();
    ASSERT_EQ(lines.size(), CModbus::kMonitorCapacity);
    EXPECT_EQ(lines.front(), lineOf(total - CModbus::kMonitorCapacity));
    EXPECT_EQ(lines.back(), lineOf(total - 1));
    // A line logged after the reader caught up is the next one, not a repeat.
    logNoise(noise(total));
    EXPECT_EQ(monitorLines(), Lines{lineOf(total)});
}
