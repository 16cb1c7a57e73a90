// Pausing and resuming the scope's stream around the link's own exchanges.
#include "LinkTestBed.h"

#include "link/CommandWait.h"
#include "link/LinkRequests.h"
#include "link/ScopeStreamControl.h"
#include "platform/WorkerGate.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace {

const Bytes kStartStreamC = hex("01 06 00 90 00 0C 89 E2");

class StreamingLink : public LinkTestBed {
protected:
    void SetUp() override
    {
        LinkTestBed::SetUp();
        openPort();
        linkState().slaveAddress = 1;
        linkState().channelMask = 0x0C;
        linkState().scanRunning = 1;
        linkState().acquisitionWorker = &worker;
        drive->always(kStopStream, Answer(kStopStream));
        drive->always(kStartStreamC, Answer(kStartStreamC));
        worker.start();
        worker.resume();
    }
    void TearDown() override
    {
        worker.stop();
        LinkTestBed::TearDown();
    }
    std::atomic<int> loops{0};
    // An acquisition worker that only counts its loops.
    platform::WorkerGate worker{[this] {
        ++loops;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    }};
};

}  // namespace

// Pauses nest: only the outermost pair stops and restarts the stream and parks the
// worker, the restart keeps the caller's reply; a command wait pauses once too.
TEST_F(StreamingLink, NestedPausesAndCommandWaitsStopAndRestartTheStreamOnce)
{
    const Bytes reply = SlaveIdAnswer("VR-101");
    {
        StreamPause outer;
        EXPECT_TRUE(worker.suspended());
        const int parkedAt = loops.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(loops.load(), parkedAt);
        ScopePause();  // an identification inside a view's pause
        ScopeResume();
        EXPECT_TRUE(worker.suspended());
        std::memcpy(linkState().receiveBuffer, reply.data(), reply.size());
    }
    EXPECT_TRUE(worker.running());
    EXPECT_EQ(toHex(ReceiveBuffer(reply.size())), toHex(reply));
    ScopeResume();  // unmatched: restarts nothing
    ASSERT_EQ(drive->requests().size(), 2u);
    EXPECT_EQ(toHex(drive->requests()[0]), toHex(kStopStream));
    EXPECT_EQ(toHex(drive->requests()[1]), toHex(kStartStreamC));

    // A command wait pauses the stream once around its attempts.
    linkState().commandWait.targetRegister = 0x81;
    drive->expect(kSaveEeprom, Answer::none());
    drive->expect(kSaveEeprom, Answer(kSaveEeprom));
    CommandWait wait;
    EXPECT_TRUE(wait.tick() && wait.accepted());
    EXPECT_TRUE(worker.running());
    const auto requests = drive->requests();
    ASSERT_GE(requests.size(), 6u);
    EXPECT_EQ(toHex(requests[2]), toHex(kStopStream));
    EXPECT_EQ(toHex(requests.back()), toHex(kStartStreamC));
}

// A drive that never accepts ends the wait after its tick limit.
TEST_F(LinkTestBed, CommandWaitGivesUpAfterAHundredFailedTicks)
{
    openPort();
    linkState().slaveAddress = 1;
    linkState().commandWait.targetRegister = 0x81;
    drive->always(kSaveEeprom, Answer(kSaveEeprom).corrupt(7));
    CommandWait wait(0);
    int ticks = 0;
    while (!wait.tick() && ticks < 200)
        ++ticks;
    EXPECT_FALSE(wait.accepted());
    EXPECT_EQ(wait.failedTicks(), CommandWait::kMaxFailedTicks);
}
