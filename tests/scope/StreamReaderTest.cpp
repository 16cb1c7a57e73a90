// The stream reader and the acquisition against a scripted drive on a pseudo-terminal.
#include "link/LinkRequests.h"
#include "link/ScopeStreamControl.h"
#include "scope/ScopeDiagnostics.h"
#include "scope/StreamRecordReader.h"
#include "tests/scope/ScopeTestSupport.h"

#include <algorithm>
#include <map>

namespace {

const Bytes kStartSpeed = hex("01 06 00 90 00 04 88 24");  // mask 4: Speed alone

// Records of Speed alone (slot 1, 14 bits) numbered from `first`, each carrying its number (0 below `zeroBelow`).
Bytes speedRecords(int first, int count, int zeroBelow = 0)
{
    Bytes out;
    for (int i = first; i < first + count; ++i) {
        const unsigned v = static_cast<unsigned>(i < zeroBelow ? 0 : i) & 0x3FFF;
        out = out + withCrc({0xC5, uint8_t(v >> 12), uint8_t(v >> 4), uint8_t((v & 0xF) << 4), 0, 0, 0});
    }
    return out;
}

}  // namespace

// A port on a scripted drive that answers the stop; a session showing Speed, N = 100.
class StreamBed : public LinkTestBed {
protected:
    void SetUp() override
    {
        LinkTestBed::SetUp();
        openPort(3);
        linkState().slaveAddress = 1;
        linkState().online = 1;
        scopeDiagnostics().resetForRun();
        drive->always(kStopStream, Answer(kStopStream));
        session.scale().setChecked(kSpeed, true);
        ASSERT_TRUE(session.scale().selectSecDivText("100"));
    }
    void TearDown() override
    {
        session.stop();
        LinkTestBed::TearDown();
    }
    // Runs with the drive accepting the start: a scan (0) or a trigger on Speed (1).
    bool start(int triggerSource)
    {
        drive->always(kStartSpeed, Answer(kStartSpeed));
        return session.run(triggerSource) == ScopeSession::RunResult::Started;
    }
    // Sends bytes from the drive; without a reader running, waits until the port has them all.
    void push(const Bytes& bytes, bool readerRunning = false)
    {
        const uint32_t before = queued();
        drive->send(Answer(bytes));
        ASSERT_TRUE(drive->waitIdle());
        if (!readerRunning)
            WaitUntil([&] { return queued() >= before + bytes.size(); }, 2000);
    }
    // Reads until the reader finds the backlog too short, counting results.
    std::map<StreamReadResult, int> drain(std::vector<int>* values)
    {
        std::map<StreamReadResult, int> seen;
        for (StreamReadResult r; (r = ReadStreamRecord(linkState().portHandle)) != StreamReadResult::NoData;) {
            ++seen[r];
            DecodedRecord d;
            if (r == StreamReadResult::Record && DecodeStreamRecord(4, linkState().streamRecord + 1, d))
                values->push_back(d.value[0]);
        }
        return seen;
    }
    uint32_t queued() const
    {
        uint32_t n = 0;
        platform::serialQueuedInput(linkState().portHandle, n);
        return n;
    }
    // How often the program sent `frame`.
    size_t sent(const Bytes& frame) const
    {
        const Bytes all = drive->received();
        size_t count = 0;
        for (auto at = all.begin(); (at = std::search(at, all.end(), frame.begin(), frame.end())) != all.end(); ++at)
            ++count;
        return count;
    }

    ScopeSession session;
};

// Records taken out of the last 1024 bytes; a stall count that a still queue resets.
TEST_F(StreamBed, ConsumesOnlyBeyondTheBacklog)
{
    push(speedRecords(0, 113));  // 1017 bytes: complete records, but not enough
    EXPECT_EQ(ReadStreamRecord(linkState().portHandle), StreamReadResult::NoData);
    EXPECT_EQ(queued(), 1017u);
    EXPECT_EQ(scopeDiagnostics().inputQueue.load(), 1017u);
    EXPECT_EQ(scopeDiagnostics().stallCount.load(), 1u);
    push(speedRecords(113, 10));
    std::vector<int> values;
    EXPECT_EQ(drain(&values).at(StreamReadResult::Record), 10);  // 1107 bytes down to 1017
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 9);
    EXPECT_EQ(queued(), 1017u);
    EXPECT_EQ(scopeDiagnostics().stallCount.load(), 2u) << "only a queue that moves resets it";
}

// Answers in the stream counted as records or kept from the link, CRC failures or garbage mishandled.
TEST_F(StreamBed, CrcFailuresGarbageAndAnswersInTheStream)
{
    Bytes bad = speedRecords(2, 1);
    bad[3] ^= 0x40;  // one bit flipped: the CRC fails
    // A read answer, strays, the start's echo, an answer the reader leaves unread (01 10), and
    // records enough to push all of it past the backlog.
    push(kStationReply + speedRecords(0, 2) + bad + hex("00 FF 55") + kStartSpeed + speedRecords(3, 2) + hex("01 10") +
         speedRecords(5, 120));
    EXPECT_EQ(ReadStreamRecord(linkState().portHandle), StreamReadResult::OtherFrame);
    EXPECT_EQ(toHex(ReceiveBuffer(7)), toHex(kStationReply));
    std::vector<int> values;
    const auto seen = drain(&values);
    EXPECT_EQ(seen.at(StreamReadResult::CrcError), 1);
    EXPECT_EQ(seen.at(StreamReadResult::StrayByte), 3);
    EXPECT_EQ(seen.at(StreamReadResult::OtherFrame), 2);
    EXPECT_EQ(scopeDiagnostics().crcFailures.load(), 1u);
    EXPECT_EQ(toHex(ReceiveBuffer(8)), toHex(kStartSpeed));
    ASSERT_GE(values.size(), 5u);
    EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 3), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(scopeDiagnostics().records.load(), values.size());
    EXPECT_EQ(scopeDiagnostics().leadBytes.load(), 1 + values.size() + 1 + 3 + 2);
    EXPECT_EQ(ReadStreamRecord(platform::kNoPort), StreamReadResult::PortFailure) << "a closed port";
}

// A refused start that costs the samples or leaves a stream or worker; runs with no channel or
// off line; destroying a running session that leaves its thread, flags or stream behind.
TEST_F(StreamBed, StartRefusedThenARunningSessionDestroyed)
{
    session.buffers().replace(kSpeed, {1, 2, 3});
    EXPECT_EQ(session.run(0), ScopeSession::RunResult::Refused);  // the start goes unanswered
    EXPECT_EQ(session.buffers().samples(kSpeed), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(toHex(drive->requests().back()), toHex(kStopStream));
    EXPECT_EQ(linkState().scanRunning.load(), 0);
    EXPECT_EQ(linkState().acquisitionWorker, nullptr);
    EXPECT_EQ(session.run(kTorque + 1), ScopeSession::RunResult::NoChannel) << "a trigger on an unchecked channel";
    session.scale().setChecked(kSpeed, false);
    EXPECT_EQ(session.run(0), ScopeSession::RunResult::NoChannel);
    linkState().online = 0;
    session.scale().setChecked(kSpeed, true);
    EXPECT_EQ(session.run(0), ScopeSession::RunResult::Offline);

    // Destroying a running session joins its thread and stops the stream.
    linkState().online = 1;
    const size_t stops = sent(kStopStream);
    drive->always(kStartSpeed, Answer(kStartSpeed));
    {
        ScopeSession running;
        running.scale().setChecked(kSpeed, true);
        ASSERT_EQ(running.run(0), ScopeSession::RunResult::Started);
        push(speedRecords(0, 200), true);
    }
    EXPECT_EQ(linkState().acquisitionWorker, nullptr);
    EXPECT_EQ(linkState().scanRunning.load(), 0);
    EXPECT_EQ(sent(kStopStream), stops + 1);
}

// A scan that loses or repeats samples; a stop that does not stop the stream once and join; a
// pause that leaves the worker reading; a halt that does not park it first, or stops twice.
TEST_F(StreamBed, ScanKeepsTheNewestScreenAndStopsByTheUserOrTheLink)
{
    ASSERT_TRUE(start(0));
    EXPECT_EQ(linkState().scanRunning.load(), 1);
    EXPECT_EQ(linkState().scopeRunning.load(), 1);
    push(speedRecords(0, 400), true);
    // All but the last 1024 bytes or fewer: 113 records stay queued.
    ASSERT_TRUE(WaitUntil([] { return scopeDiagnostics().records >= 287; }, 3000));
    const std::vector<double> shown = session.buffers().samples(kSpeed);
    ASSERT_EQ(shown.size(), 101u);
    for (size_t i = 1; i < shown.size(); ++i)
        ASSERT_EQ(shown[i], shown[i - 1] + 1) << "no sample lost or repeated";
    session.stop();
    EXPECT_EQ(linkState().scanRunning.load(), 0);
    EXPECT_EQ(linkState().acquisitionWorker, nullptr);
    EXPECT_EQ(sent(kStopStream), 1u);
    EXPECT_EQ(session.acquisition().poll(), AcquisitionEnd::None);

    ASSERT_TRUE(start(0)) << "a new run after a stop";
    platform::WorkerGate* worker = linkState().acquisitionWorker;
    ASSERT_NE(worker, nullptr);
    ScopePause();
    EXPECT_TRUE(worker->suspended());
    ScopeResume();
    EXPECT_TRUE(worker->running());
    EXPECT_EQ(session.acquisition().poll(), AcquisitionEnd::None);
    EXPECT_TRUE(ScopeHaltAcquisition());
    EXPECT_TRUE(worker->suspended()) << "parked before anyone touches the port";
    EXPECT_EQ(session.acquisition().poll(), AcquisitionEnd::StoppedElsewhere);
    EXPECT_EQ(linkState().acquisitionWorker, nullptr);
    EXPECT_EQ(sent(kStopStream), 3u) << "the stop, the pause's and the halt's; none after";
    EXPECT_FALSE(ScopeHaltAcquisition());
}

// A running trigger that misplaces the edge; Horizontal 100 that does not end it and stop the stream.
TEST_F(StreamBed, TriggerCapturesAroundTheEdgeAndHorizontal100EndsIt)
{
    session.live().horizontal = 20;  // P = 20
    session.live().level = 50;
    ASSERT_TRUE(start(1));
    EXPECT_EQ(linkState().triggerRunning.load(), 1);
    push(speedRecords(0, 400, 200), true);
    ASSERT_TRUE(WaitUntil([&] { return session.buffers().captureCount() > 0; }, 3000));
    const std::vector<double> capture = session.buffers().samples(kSpeed);
    ASSERT_EQ(capture.size(), 101u);
    EXPECT_EQ((std::vector<double>{capture[19], capture[20], capture[100]}), (std::vector<double>{0, 200, 280}));
    session.live().horizontal = 100;
    EXPECT_EQ(PollUntil(session, [] { return false; }, 3000), AcquisitionEnd::HorizontalOutOfRange);
    EXPECT_EQ(linkState().triggerRunning.load(), 0);
    EXPECT_EQ(sent(kStopStream), 1u);
}

// A silent drive restarted more than once, given up too early or late, or asked to stop after.
TEST_F(StreamBed, ASilentDriveIsRestartedOnceThenGivenUp)
{
    ASSERT_TRUE(start(0));
    push(speedRecords(0, 250), true);
    ASSERT_TRUE(WaitUntil([] { return scopeDiagnostics().records >= 137; }, 3000));
    // From now on the drive hears everything and answers nothing.
    drive->setHandler([](Bytes& pending) -> std::optional<Answer> {
        pending.clear();
        return std::nullopt;
    });
    AcquisitionEnd end = AcquisitionEnd::None;
    const long took = MillisecondsOf([&] { end = PollUntil(session, [] { return false; }, 5000); });
    EXPECT_EQ(end, AcquisitionEnd::DriveSilent);
    EXPECT_GE(took, 1200);
    EXPECT_LT(took, 4000);
    EXPECT_EQ(sent(kStartSpeed), 2u) << "the start and one restart";
    EXPECT_EQ(linkState().scanRunning.load(), 0);
    EXPECT_EQ(session.buffers().size(kSpeed), 101u) << "the samples stay";
    session.stop();
    EXPECT_EQ(sent(kStopStream), 0u) << "a silent drive is not asked again";
}
