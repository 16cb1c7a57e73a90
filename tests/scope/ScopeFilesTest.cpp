// Waveform files and the CSV export: exact bytes, the reader's rules, round trips.
#include "scope/CsvExport.h"
#include "scope/WaveformFile.h"
#include "tests/platform/TempFolder.h"
#include "tests/scope/ScopeTestSupport.h"

using namespace testing_files;

namespace {

const char kKnownFile[] =
    "#\r\n"
    "00 Model : QDDG Serials\r\n"
    "01 Chnnel Amount : 2\r\n"
    "02 Display Color : \r\n"
    "03 CWaveGdiView Ver : \r\n"
    "#\r\n"
    "# file path : /data/run 1.wfm\r\n"
    "# date and time : 2025year 03month 03day 28:30:05\r\n"
    "#\r\n"
    "#  Chnnel          ,Vol/Div\r\n"
    "04 Speed           ,3000\r\n"
    "05 Torque          ,4464\r\n"
    "06 Deviation Count ,12\r\n"
    "07 Command         ,1500\r\n"
    "#\r\n"
    "#  Chnnel ,Sec/Div\r\n"
    "08 All ,2\r\n"
    "#\r\n"
    "#  Chnnel          ,Vertical Position\r\n"
    "09 Speed           ,-600\r\n"
    "10 Torque          ,-25536\r\n"
    "11 Deviation Count ,40000\r\n"
    "12 Command         ,0\r\n"
    "#\r\n"
    "#  Chnnel           ,Number ,Data, RPM\r\n"
    "13 Speed            ,000     ,-35\r\n"
    "                    ,001     ,12\r\n"
    "                    ,002     ,-12\r\n"
    "#\r\n"
    "#  Chnnel           ,Number ,Data, 0.10%\r\n"
    "14 Torque           ,000     ,1234\r\n"
    "                    ,001     ,0\r\n"
    "#\r\n"
    "end of file.\r\n";

}  // namespace

// A wrong line layout, blank, line end or rounding; a key or section misread.
TEST(WaveformFile, WriterBytesForAKnownCaptureAndTheReaderTakesThemBack)
{
    WaveformSettings s;
    s.volDiv = {3000, 70000, 12, 1500};    // Torque's number goes out as 16 bits
    s.secDiv = 2;
    s.vertical = {-600, 40000, 40000, 0};  // Pulse Deviation's as a full integer
    s.checked = {true, true, false, false};
    ChannelSamples samples;
    samples[kSpeed] = {-35, 12.9, -12.9, 77};  // truncated toward zero; only 0..N go out
    samples[kTorque] = {1234, 0.5};            // fewer than N + 1: what there is
    samples[kDeviation] = {5};                 // unchecked: no section
    EXPECT_EQ(WriteWaveformText(s, samples, "/data/run 1.wfm", CalendarTime("2025-03-03 20:30:05")), kKnownFile);
    // The hour (UTC + 8) carries nothing into the day.
    EXPECT_EQ(WaveformTimeStamp(CalendarTime("2024-12-31 23:59:58")), "2024year 12month 31day 31:59:58");
    WaveformRecall r;
    ASSERT_TRUE(ReadWaveformText(kKnownFile, r));
    EXPECT_EQ(*r.volDivText[kTorque], "4464");
    EXPECT_EQ(*r.secDivText, "2");
    EXPECT_EQ(*r.verticalText[kSpeed], "-600");
    ASSERT_EQ(r.sections.size(), 2u);
    EXPECT_EQ(r.sections[0].channel, kSpeed);
    EXPECT_EQ(r.sections[0].samples, (std::vector<double>{-35, 12, -12}));
    EXPECT_EQ(r.sections[1].channel, kTorque);
    EXPECT_EQ(r.sections[1].samples, (std::vector<double>{1234, 0}));
}

// No 16-bit wrap, a file not starting with "#" taken, an endless section kept whole.
TEST(WaveformFile, ReaderRules)
{
    WaveformRecall r;
    // Data wraps to 16 bits; the index field is not used; LF alone ends a line too.
    ASSERT_TRUE(ReadWaveformText("#\n16 Command ,000 ,40000\n ,999 ,-1\n ,7\n ,001 ,65535x\n#\nend of file.\n", r));
    ASSERT_EQ(r.sections.size(), 1u);
    EXPECT_EQ(r.sections[0].channel, kCommand);
    EXPECT_EQ(r.sections[0].samples, (std::vector<double>{-25536, -1, -1}));  // ",7" has no data field
    // The only format check: the first character.
    for (const char* bad : {"", "\n#\n04 Speed ,100\n", " #\n", "04 Speed ,100\n"})
        EXPECT_FALSE(ReadWaveformText(bad, r)) << bad;
    // A section without its closing "#" ends with the file; no more than a
    // screen's worth of samples is kept.
    std::string endless = "#\r\n13 Speed ,000 ,1\r\n";
    for (int i = 0; i < 3000; ++i)
        endless += "                    ,001     ,2\r\n";
    ASSERT_TRUE(ReadWaveformText(endless, r));
    EXPECT_EQ(r.sections[0].samples.size(), kMaxWaveformSamples);
}

// Settings or samples that do not survive Save and ReCall.
TEST(WaveformFile, RoundTripThroughASession)
{
    TempFolder folder;
    const std::string path = folder.file("capture.wfm");
    ScopeSession saved;
    saved.scale().setChecked(kSpeed, true);
    saved.scale().setChecked(kDeviation, true);
    ASSERT_TRUE(saved.scale().selectVolDivText(kSpeed, "1500"));
    ASSERT_TRUE(saved.scale().selectVolDivText(kDeviation, "9"));
    ASSERT_TRUE(saved.scale().selectSecDivText("20"));
    ASSERT_TRUE(saved.scale().setVerticalField(kSpeed, -300));
    ASSERT_TRUE(saved.scale().setVerticalField(kDeviation, -3));
    std::vector<double> speed, deviation;
    for (int i = 0; i <= 20; ++i) {
        speed.push_back(i * 100 - 1000);
        deviation.push_back(-i * 1000);
    }
    saved.buffers().replace(kSpeed, speed);
    saved.buffers().replace(kDeviation, deviation);
    const std::tm when = CalendarTime("2025-01-02 03:04:05");
    ASSERT_TRUE(saved.saveWaveform(path, when));
    EXPECT_EQ(readBytes(path), saved.waveformText(path, when));

    ScopeSession loaded;
    loaded.scale().setChecked(kTorque, true);
    ASSERT_EQ(loaded.recall(path), ScopeSession::RecallResult::Loaded);
    // Saving what was recalled gives the same file: every setting and sample came back.
    EXPECT_EQ(loaded.waveformText(path, when), readBytes(path));
    EXPECT_EQ(loaded.scale().channelMask(), saved.scale().channelMask());
    EXPECT_EQ(loaded.limits(kDeviation).verticalPosition, -8);  // 2^-3 downwards: -8 pulses
}

// A value outside the lists or ranges taken, a fourth channel checked; a missing or malformed
// file that costs the capture; a save into nowhere reported as done.
TEST(WaveformFile, RecallRefusesWhatDoesNotFitAndFailsSafely)
{
    TempFolder folder;
    const std::string path = folder.file("in.wfm");
    ScopeSession session;
    // "1300" is an entry of the Sec/Div list; "1234" of no Vol/Div list.
    writeBytes(path, "#\r\n04 Speed ,1234\r\n05 Torque ,2900\r\n08 All ,1300\r\n09 Speed ,99999\r\n"
                     "13 Speed ,000 ,1\r\n#\r\n14 Torque ,000 ,2\r\n#\r\n15 Deviation ,000 ,3\r\n#\r\n"
                     "16 Command ,000 ,4\r\n#\r\nend of file.\r\n");
    std::vector<int> refused;
    ASSERT_EQ(session.recall(path, &refused), ScopeSession::RecallResult::Loaded);
    EXPECT_EQ(session.captureLength(), 1300);
    EXPECT_EQ(session.scale().volDivEntry(kSpeed), 3000);  // unchanged
    EXPECT_EQ(session.scale().volDivEntry(kTorque), 2900);
    EXPECT_EQ(session.scale().verticalField(kSpeed), 0);  // out of range: unchanged
    EXPECT_EQ(refused, std::vector<int>{kCommand});        // a fourth channel
    EXPECT_FALSE(session.scale().checked(kCommand));
    EXPECT_EQ(session.buffers().samples(kCommand), std::vector<double>{4});

    EXPECT_EQ(session.recall(folder.file("missing.wfm")), ScopeSession::RecallResult::OpenFailed);
    EXPECT_TRUE(session.scale().checked(kSpeed));
    writeBytes(folder.file("blank.wfm"), "\r\n#\r\n13 Speed ,000 ,9\r\n");
    EXPECT_EQ(session.recall(folder.file("blank.wfm")), ScopeSession::RecallResult::FormatError);
    EXPECT_EQ(session.scale().channelMask(), 0);  // the boxes were cleared first
    EXPECT_EQ(session.buffers().samples(kSpeed), std::vector<double>{1});
    EXPECT_FALSE(session.saveWaveform(folder.file("no/such/folder.wfm"), std::tm{}));
}

// Wrong units, columns of hidden channels, a short channel not padded with blanks.
TEST(CsvExport, BytesForAKnownCapture)
{
    ChannelSamples samples;
    samples[kSpeed] = {0, 1500, -3000, 42};
    samples[kTorque] = {1234, -5, 7};
    samples[kDeviation] = {1, 2, 3};  // not shown
    samples[kCommand] = {8191};
    const std::array<bool, kScopeChannelCount> shown{true, true, false, true};
    EXPECT_EQ(WriteCsvText(samples, shown, 2),
              "Time (ms),Speed (RPM),Torque (%),Speed Command (RPM)\r\n"
              "0,0,123.4,8191\r\n"
              "1,1500,-0.5,\r\n"
              "2,-3000,0.7,\r\n");
    EXPECT_EQ(WriteCsvText(samples, {false, false, true, false}, 500),
              "Time (ms),Pulse Deviation (Pulse)\r\n0,1\r\n1,2\r\n2,3\r\n");
    EXPECT_EQ(WriteCsvText(samples, {}, 500), "Time (ms)\r\n");
}
