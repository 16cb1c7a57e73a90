#include "ModbusOnPty.h"

using namespace testsupport;

namespace {

class CModbusMonitorTest : public ::testing::Test, public ModbusOnPty {
protected:
    // Puts `bytes` on the line and discards them into the monitor.
    void logNoise(const Bytes& bytes, const char* tag = "N: ") {
        device.send(Answer(bytes));
        ASSERT_TRUE(queuedAtLeast(bytes.size()));
        master.GarbageCollection(tag, 0);
    }
};

}  // namespace

TEST_F(CModbusMonitorTest, EmptyQueueAndEmptyListGiveNothing) {
    ASSERT_TRUE(opened);
    master.MonitorInit();
    master.GarbageCollection("X: ", 0);
    std::string line = "untouched";
    EXPECT_EQ(master.MonitorGetPacket(line), 0);
    EXPECT_EQ(line, "untouched");
}

TEST_F(CModbusMonitorTest, DeliversEachLineOnceInOrderIncludingLaterOnes) {
    ASSERT_TRUE(opened);
    master.MonitorInit();
    logNoise(hex("01 02"), "A: ");
    logNoise(hex("0A"), "B: ");
    EXPECT_EQ(monitorLines(), (std::vector<std::string>{"A: 01 02 ", "B: 0A "}));
    // A line logged after the reader caught up is the next one, not a repeat.
    logNoise(hex("FF"), "C: ");
    EXPECT_EQ(monitorLines(), std::vector<std::string>{"C: FF "});

    // After MonitorInit the reader starts over with the new lines.
    master.MonitorInit();
    logNoise(hex("10"), "D: ");
    EXPECT_EQ(monitorLines(), std::vector<std::string>{"D: 10 "});
}

TEST_F(CModbusMonitorTest, ListIsCappedAndTheReaderKeepsItsPlace) {
    ASSERT_TRUE(opened);
    master.MonitorInit();
    auto noise = [](size_t i) { return Bytes{static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)}; };
    logNoise(noise(0));
    logNoise(noise(1));
    std::string line;
    ASSERT_EQ(master.MonitorGetPacket(line), 1);
    EXPECT_EQ(line, "N: 00 00 ");

    const size_t total = CModbus::kMonitorCapacity + 10;
    for (size_t i = 2; i < total; ++i) logNoise(noise(i));

    // The oldest lines are gone; the reader goes on with the oldest kept one
    // and sees every kept line exactly once, the newest last.
    auto lines = monitorLines();
    ASSERT_EQ(lines.size(), CModbus::kMonitorCapacity);
    EXPECT_EQ(lines.front(), "N: " + toHex(noise(total - CModbus::kMonitorCapacity)) + " ");
    EXPECT_EQ(lines.back(), "N: " + toHex(noise(total - 1)) + " ");
    logNoise(noise(total));
    EXPECT_EQ(monitorLines(), std::vector<std::string>{"N: " + toHex(noise(total)) + " "});
}
