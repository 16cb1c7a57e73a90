// The plot stream decoder, the block read and the capture FIFO. Plot frames
// carry the CRC of the test fixture's own bitwise implementation.
#include "comm/CCommPlot.h"

#include "ProtocolOnPty.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>

using namespace testsupport;

namespace {

using Decoded = std::array<int, 4>;  // stamp and three values

class PlotStream : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        plot().SetPreCountQueTimes(3000);  // about 30 ms
    }
    CCommPlot& plot() { return line.link; }
    void stream(const Bytes& bytes) {
        line.device.send(Answer(bytes));
        ASSERT_TRUE(line.device.waitIdle());
        // The pty hands the bytes over at once; give the kernel a moment.
        for (int i = 0; i < 100 && plot().PreCountInQue() < bytes.size(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int next() { return plot().ReadData2(&stamp, values); }
    Decoded decoded() const { return {stamp, values[0], values[1], values[2]}; }

    ProtocolOnPty<CCommPlot> line;
    unsigned short stamp = 99;
    short values[3] = {0, 0, 0};
};

}  // namespace

// A frame is decoded after noise, whole or split; a partial frame is held, not lost.
TEST_F(PlotStream, DecodesFramesWholeOrSplitAfterNoise) {
    const Bytes frame = withCrc(hex("C5 0A 12 34 56 78 9A"));
    stream(hex("01") + frame);
    ASSERT_EQ(next(), CCommPlot::PlotDecoded);
    EXPECT_EQ(decoded(), (Decoded{1, 8483, 4441, 14490}));

    stream(hex("00 17") + Bytes(frame.begin(), frame.begin() + 4));
    EXPECT_EQ(next(), CCommPlot::PlotNeedMore);
    EXPECT_EQ(plot().GetPlotHeld(), 1);  // the sync byte; the other three still queued
    stream(Bytes(frame.begin() + 4, frame.end()));
    ASSERT_EQ(next(), CCommPlot::PlotDecoded);
    EXPECT_EQ(decoded(), (Decoded{1, 8483, 4441, 14490}));
}

// A bad CRC resynchronises on the next sync byte inside the dropped frame.
TEST_F(PlotStream, BadCrcResynchronisesOnAnInnerSyncByte) {
    const Bytes bad = hex("C5 0A 12 34 C5 78 9A 11 22");
    stream(bad);
    EXPECT_EQ(next(), CCommPlot::PlotCrcError);
    EXPECT_EQ(plot().GetPlotHeld(), 5);
    // The held C5 78 9A 11 22 start the next frame.
    const Bytes whole = withCrc(hex("C5 78 9A 11 22 33 44"));
    stream(Bytes(whole.begin() + 5, whole.end()));
    ASSERT_EQ(next(), CCommPlot::PlotDecoded);
    EXPECT_EQ(decoded(), (Decoded{15, 0x9A * 16 + 1, 1 * 1024 + 0x22 * 4 + 0, 0x33 * 256 + 0x44}));
}

// A block read checks its sum, drops a bad reply and refuses counts beyond its buffer.
TEST_F(PlotStream, BlockReadChecksTheSumAndFitsItsBuffer) {
    unsigned short out[2] = {0, 0};
    // Leading byte, 12 34 56 78, sum 0x114 -> check byte 14.
    const Bytes reply = hex("AA 12 34 56 78 14");
    line.device.expect(hex("21"), Answer(reply).corrupt(5, 0x01));
    EXPECT_EQ(plot().ReadData(0x21, 2, out), 0);
    EXPECT_EQ(plot().PreCountInQue(), 0u);  // discarded
    EXPECT_EQ(out[0] | out[1], 0);
    line.device.expect(hex("21"), Answer(reply));
    ASSERT_EQ(plot().ReadData(0x0121, 2, out), 1);  // only the low byte of the command goes
    EXPECT_EQ(out[0], 0x1234);
    EXPECT_EQ(out[1], 0x5678);
    // The receive buffer holds 127 values; more are refused before sending.
    std::vector<unsigned short> many(300);
    EXPECT_EQ(plot().ReadData(0x21, 128, many.data()), 0);
    EXPECT_EQ(line.device.received().size(), 2u);
}

// The capture FIFO stops at its capacity and refuses negative counts.
TEST(PlotFifo, AppendsUpToItsCapacityAndReadsFromTheHead) {
    CCommPlot plot;
    Bytes bytes(4050);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i);
    EXPECT_EQ(plot.MB_Add(bytes.data(), 4050), 4050);
    Bytes more(100, 0xEE);
    EXPECT_EQ(plot.MB_Add(more.data(), 100), 46);
    EXPECT_EQ(plot.MB_GetQueueCnt(), 4096);
    EXPECT_EQ(plot.MB_Add(more.data(), -1), 0);
    Bytes rest(5000);
    EXPECT_EQ(plot.MB_Read(rest.data(), 5000), 4096);
    EXPECT_EQ(Bytes(rest.begin(), rest.begin() + 3), hex("00 01 02"));
    EXPECT_EQ(rest[4095], 0xEE);
}

// Extracted frames never overrun the caller's buffer.
TEST(PlotFifo, ExtractedFramesNeverOverrunTheirBuffers) {
    CCommPlot plot;
    const Bytes reply = withCrc(hex("01 03 02 00 05"));
    plot.MB_Add(reply.data(), static_cast<int>(reply.size()));
    EXPECT_EQ(plot.MB_Extract(257), CCommPlot::PlotCrcError);  // no such frame
    EXPECT_EQ(plot.MB_Extract(7), CCommPlot::PlotDecoded);
    Bytes frame(7);
    EXPECT_EQ(plot.GetExtractedFrame(frame.data(), 6), 0);  // does not fit
    ASSERT_EQ(plot.GetExtractedFrame(frame.data(), 7), 7);
    EXPECT_EQ(frame, reply);
}
