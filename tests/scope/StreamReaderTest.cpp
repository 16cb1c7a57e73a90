// The stream reader and the acquisition on a pseudo-terminal, against a
// scripted drive: records, CRC failures, resynchronisation, answers in the
// stream, the 1024-byte backlog, stalls, starts refused, the link's pause.
#include "tests/link/LinkTestBed.h"

#include "link/LinkPort.h"
#include "link/LinkRequests.h"
#include "link/ScopeStreamControl.h"
#include "platform/Ticks.h"
#include "scope/ScopeDiagnostics.h"
#include "scope/ScopeSession.h"
#include "scope/StreamRecordReader.h"

#include <algorithm>
#include <map>

namespace {

const Bytes kStartSpeed = hex("01 06 00 90 00 04 88 24");  // mask 4: Speed alone

// A record of Speed alone (slot 1, 14 bits) carrying `value`.
Bytes speedRecord(int value)
{
    const unsigned v = static_cast<unsigned>(value) & 0x3FFF;
    return withCrc({0xC5, static_cast<uint8_t>(v >> 12), static_cast<uint8_t>(v >> 4),
                    static_cast<uint8_t>((v & 0xF) << 4), 0, 0, 0});
}

size_t occurrences(const Bytes& bytes, const Bytes& frame)
{
    size_t count = 0;
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), frame.begin(), frame.end())) != bytes.end(); ++at)
        ++count;
    return count;
}

Bytes records(int first, int count)
{
    Bytes out;
    for (int i = first; i < first + count; ++i) {
        const Bytes r = speedRecord(i);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

class StreamBed : public LinkTestBed {
protected:
    void SetUp() override
    {
        LinkTestBed::SetUp();
        openPort(3);
        linkState().slaveAddress = 1;
        linkState().online = 1;
        scopeDiagnostics().resetForRun();
    }
    // Sends bytes from the drive; without a reader running, waits until
    // the port has them all (a pseudo-terminal hands them over a little later).
    void push(const Bytes& bytes, bool readerRunning = false)
    {
        const uint32_t before = queued();
        drive->send(Answer(bytes));
        ASSERT_TRUE(drive->waitIdle());
        for (int i = 0; !readerRunning && i < 400 && queued() < before + bytes.size(); ++i)
            platform::sleepMs(5);
    }
    // Reads until the reader finds the backlog too short, counting results.
    std::map<StreamReadResult, int> drain(std::vector<int>* values = nullptr)
    {
        std::map<StreamReadResult, int> seen;
        for (StreamReadResult r; (r = ReadStreamRecord(linkState().portHandle)) != StreamReadResult::NoData;) {
            ++seen[r];
            if (r == StreamReadResult::Record && values) {
                DecodedRecord d;
                DecodeStreamRecord(4, linkState().streamRecord + 1, d);
                values->push_back(d.value[0]);
            }
        }
        return seen;
    }
    uint32_t queued() const
    {
        uint32_t n = 0;
        platform::serialQueuedInput(linkState().portHandle, n);
        return n;
    }
};

}  // namespace

TEST_F(StreamBed, ConsumesOnlyBeyondTheBacklog)
{
    push(records(0, 113));  // 1017 bytes: complete records, but not enough
    EXPECT_EQ(ReadStreamRecord(linkState().portHandle), StreamReadResult::NoData);
    EXPECT_EQ(queued(), 1017u);
    EXPECT_EQ(scopeDiagnostics().inputQueue.load(), 1017u);
    EXPECT_EQ(scopeDiagnostics().stallCount.load(), 1u);
    push(records(113, 10));
    std::vector<int> values;
    const auto seen = drain(&values);
    EXPECT_EQ(seen.at(StreamReadResult::Record), 10);  // 1107 bytes down to 1017
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 9);
    EXPECT_EQ(queued(), 1017u);
    EXPECT_EQ(scopeDiagnostics().stallCount.load(), 2u) << "only a queue that moves resets it";
}

TEST_F(StreamBed, CrcFailuresGarbageAndAnswersInTheStream)
{
    Bytes stream = records(0, 2);
    Bytes bad = speedRecord(2);
    bad[3] ^= 0x40;  // one bit flipped: the CRC fails
    stream.insert(stream.end(), bad.begin(), bad.end());
    for (uint8_t noise : {0x00, 0xFF, 0x55})  // strays, dropped one at a time
        stream.push_back(noise);
    const Bytes echo = hex("01 06 00 90 00 04 88 24");
    stream.insert(stream.end(), echo.begin(), echo.end());
    const Bytes more = records(3, 2);
    stream.insert(stream.end(), more.begin(), more.end());
    const Bytes unknown = hex("01 10");  // an answer the reader does not take
    stream.insert(stream.end(), unknown.begin(), unknown.end());
    const Bytes tail = records(5, 120);  // pushes everything above past the backlog
    stream.insert(stream.end(), tail.begin(), tail.end());
    push(stream);

    std::vector<int> values;
    const auto seen = drain(&values);
    EXPECT_EQ(seen.at(StreamReadResult::CrcError), 1);
    // The bad record goes whole; 01 10 is an answer the reader leaves unread.
    EXPECT_EQ(seen.at(StreamReadResult::StrayByte), 3);
    EXPECT_EQ(seen.at(StreamReadResult::OtherFrame), 2);
    EXPECT_EQ(scopeDiagnostics().crcFailures.load(), 1u);
    EXPECT_EQ(toHex(ReceiveBuffer(8)), toHex(echo));
    ASSERT_GE(values.size(), 5u);
    EXPECT_EQ(values[0], 0);
    EXPECT_EQ(values[1], 1);
    EXPECT_EQ(values[2], 3);  // the bad record is skipped, the reader resynchronised
    EXPECT_EQ(scopeDiagnostics().records.load(), values.size());
    EXPECT_EQ(scopeDiagnostics().leadBytes.load(), values.size() + 1 + 3 + 2);
}

TEST_F(StreamBed, ReadRegistersAnswerLandsInTheReceiveBuffer)
{
    Bytes stream = hex("01 03 02 00 05 78 47");
    const Bytes tail = records(0, 120);
    stream.insert(stream.end(), tail.begin(), tail.end());
    push(stream);
    EXPECT_EQ(ReadStreamRecord(linkState().portHandle), StreamReadResult::OtherFrame);
    EXPECT_EQ(toHex(ReceiveBuffer(7)), "01 03 02 00 05 78 47");
    EXPECT_EQ(scopeDiagnostics().records.load(), 0u);
    EXPECT_EQ(ReadStreamRecord(linkState().portHandle), StreamReadResult::Record);
}

TEST_F(StreamBed, AClosedPortFailsTheQuery)
{
    EXPECT_EQ(ReadStreamRecord(platform::kNoPort), StreamReadResult::PortFailure);
}

TEST_F(StreamBed, StartRefusedLeavesTheBuffersAndStopsTheStream)
{
    drive->always(kStopStream, Answer(kStopStream));
    ScopeSession session;
    session.scale().setChecked(kSpeed, true);
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
}

// A session whose start the drive accepts.
class RunningBed : public StreamBed {
protected:
    void SetUp() override
    {
        StreamBed::SetUp();
        drive->always(kStartSpeed, Answer(kStartSpeed));
        drive->always(kStopStream, Answer(kStopStream));
        session.scale().setChecked(kSpeed, true);
        ASSERT_TRUE(session.scale().selectSecDivText("100"));
    }
    void TearDown() override
    {
        session.stop();
        StreamBed::TearDown();
    }
    size_t requestsOf(const Bytes& frame) const
    {
        const auto all = drive->requests();
        return static_cast<size_t>(std::count(all.begin(), all.end(), frame));
    }
    // Polls the acquisition as the view's timer does, until it ends.
    AcquisitionEnd waitForEnd(int timeoutMs)
    {
        for (const uint32_t start = platform::tickCount(); platform::tickCount() - start < uint32_t(timeoutMs);) {
            const AcquisitionEnd end = session.acquisition().poll();
            if (end != AcquisitionEnd::None)
                return end;
            platform::sleepMs(20);
        }
        return AcquisitionEnd::None;
    }
    template <typename Done>
    bool waitFor(Done done, int timeoutMs = 3000)
    {
        for (const uint32_t start = platform::tickCount(); platform::tickCount() - start < uint32_t(timeoutMs);) {
            if (done())
                return true;
            platform::sleepMs(5);
        }
        return done();
    }
    ScopeSession session;
};

TEST_F(RunningBed, ScanKeepsTheNewestScreenAndStopWritesZero)
{
    ASSERT_EQ(session.run(0), ScopeSession::RunResult::Started);
    EXPECT_EQ(linkState().scanRunning.load(), 1);
    EXPECT_EQ(linkState().scopeRunning.load(), 1);
    push(records(0, 400), true);
    // All but the last 1024 bytes or fewer: 113 records stay queued.
    ASSERT_TRUE(waitFor([&] { return scopeDiagnostics().records >= 287; }));
    const std::vector<double> shown = session.buffers().samples(kSpeed);
    ASSERT_EQ(shown.size(), 101u);  // N + 1 with Sec/Div 100
    for (size_t i = 1; i < shown.size(); ++i)
        ASSERT_EQ(shown[i], shown[i - 1] + 1) << "no sample lost or repeated";
    session.stop();
    EXPECT_EQ(linkState().scanRunning.load(), 0);
    EXPECT_EQ(linkState().acquisitionWorker, nullptr);
    EXPECT_EQ(requestsOf(kStopStream), 1u);
    EXPECT_EQ(session.acquisition().poll(), AcquisitionEnd::None);
}

TEST_F(RunningBed, TriggerCapturesAroundTheEdge)
{
    session.live().horizontal = 20;  // P = 20 of N = 100
    session.live().level = 50;
    ASSERT_EQ(session.run(1), ScopeSession::RunResult::Started);
    EXPECT_EQ(linkState().triggerRunning.load(), 1);
    Bytes stream;
    for (int i = 0; i < 400; ++i) {
        const Bytes r = speedRecord(i < 200 ? 0 : i);
        stream.insert(stream.end(), r.begin(), r.end());
    }
    push(stream, true);
    ASSERT_TRUE(waitFor([&] { return session.buffers().captureCount() > 0; }));
    const std::vector<double> capture = session.buffers().samples(kSpeed);
    ASSERT_EQ(capture.size(), 101u);
    EXPECT_EQ(capture[19], 0);
    EXPECT_EQ(capture[20], 200);
    EXPECT_EQ(capture[100], 280);
}

TEST_F(RunningBed, HorizontalOutOfRangeEndsTheTriggerAndStopsTheStream)
{
    ASSERT_EQ(session.run(1), ScopeSession::RunResult::Started);
    session.live().horizontal = 100;
    EXPECT_EQ(waitForEnd(3000), AcquisitionEnd::HorizontalOutOfRange);
    EXPECT_EQ(linkState().triggerRunning.load(), 0);
    EXPECT_EQ(requestsOf(kStopStream), 1u);
}

TEST_F(RunningBed, TheLinkParksTheWorkerAndAHaltEndsTheRun)
{
    ASSERT_EQ(session.run(0), ScopeSession::RunResult::Started);
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
    EXPECT_EQ(requestsOf(kStopStream), 2u) << "the pause's and the halt's; none after";
    EXPECT_FALSE(ScopeHaltAcquisition());
}

TEST_F(RunningBed, ASilentDriveIsRestartedOnceThenGivenUp)
{
    ASSERT_EQ(session.run(0), ScopeSession::RunResult::Started);
    push(records(0, 250), true);
    ASSERT_TRUE(waitFor([&] { return scopeDiagnostics().records >= 137; }));
    // From now on the drive hears everything and answers nothing.
    drive->setHandler([](Bytes& pending) -> std::optional<Answer> {
        pending.clear();
        return std::nullopt;
    });
    const uint32_t start = platform::tickCount();
    EXPECT_EQ(waitForEnd(5000), AcquisitionEnd::DriveSilent);
    const uint32_t took = platform::tickCount() - start;
    EXPECT_GE(took, 1200u);
    EXPECT_LT(took, 4000u);
    EXPECT_EQ(occurrences(drive->received(), kStartSpeed), 2u) << "the start and one restart";
    EXPECT_EQ(linkState().scanRunning.load(), 0);
    EXPECT_EQ(session.buffers().size(kSpeed), 101u) << "the samples stay";
    session.stop();
    EXPECT_EQ(occurrences(drive->received(), kStopStream), 0u) << "a silent drive is not asked again";
}

TEST_F(RunningBed, DestroyingARunningSessionJoinsAndStops)
{
    {
        ScopeSession running;
        running.scale().setChecked(kSpeed, true);
        ASSERT_EQ(running.run(0), ScopeSession::RunResult::Started);
        push(records(0, 200), true);
    }
    EXPECT_EQ(linkState().acquisitionWorker, nullptr);
    EXPECT_EQ(linkState().scanRunning.load(), 0);
    EXPECT_EQ(requestsOf(kStopStream), 1u);
}
