// drivesim as a program on its pseudo-terminal: an independent master
// (mbpoll) agrees with it, paced replies take their wire time, it answers
// only at its baud and survives the port being reopened; the program's link
// reads through it behind a USB adapter's latency timer.

#include "link/LinkPort.h"
#include "link/LinkRequests.h"
#include "platform/SerialPort.h"
#include "platform/Ticks.h"
#include "tests/link/LinkTestBed.h"
#include "tests/support/DriveSimProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>

using Clock = std::chrono::steady_clock;

namespace {

struct MbpollRun {
    int status = -1;
    std::string output;
};

MbpollRun mbpoll(const std::string& args)
{
    MbpollRun run;
    if (FILE* pipe = popen(("timeout 10 " MBPOLL_PATH " -m rtu -b 19200 -P none -0 -1 -o 0.5 " + args + " 2>&1").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            run.output += buffer;
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

bool shows(const MbpollRun& run, const std::string& reference, const std::string& value)
{
    return run.output.find("[" + reference + "]: \t" + value + "\n") != std::string::npos;
}

// The tool's end of the line at `baud`; closed by the caller.
platform::PortHandle openAt(const std::string& path, uint32_t baud)
{
    const platform::PortHandle port = platform::serialOpen(path).handle;
    platform::SerialSettings settings;
    settings.BaudRate = baud;
    return platform::serialSetSettings(port, settings) ? port : platform::kInvalidPort;
}

// Sends a request; returns what arrives until `count` bytes or `timeoutMs`.
Bytes exchange(platform::PortHandle port, const Bytes& request, size_t count, int timeoutMs)
{
    platform::serialPurge(port, platform::PurgeRx | platform::PurgeTx);
    Bytes out;
    if (!platform::serialWrite(port, request.data(), request.size()))
        return out;
    for (const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
         out.size() < count && Clock::now() < deadline;) {
        uint32_t queued = 0;
        if (!platform::serialWaitReadable(port, 5000) || !platform::serialQueuedInput(port, queued) || queued == 0)
            continue;
        Bytes chunk(std::min<size_t>(queued, count - out.size()));
        if (!platform::serialRead(port, chunk.data(), chunk.size()))
            break;
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

}  // namespace

// Catches framing or register/coil addressing that an independent master reads differently.
TEST(DrivesimAndMbpoll, AgreeOnRegistersAndCoils)
{
    if (std::string(MBPOLL_PATH).empty())
        GTEST_SKIP() << "mbpoll not installed";
    DriveSimProcess drive({"--station", "3"});
    ASSERT_FALSE(drive.portPath().empty());
    const std::string port = " " + drive.portPath();

    MbpollRun r = mbpoll("-a 3 -t 4 -r 16 -c 2" + port);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(shows(r, "16", "35") && shows(r, "17", "36")) << r.output;
    ASSERT_EQ(mbpoll("-a 3 -t 4 -r 16" + port + " 77 200").status, 0);
    r = mbpoll("-a 3 -t 4 -r 16 -c 2" + port);
    EXPECT_TRUE(shows(r, "16", "77") && shows(r, "17", "200")) << r.output;

    ASSERT_EQ(mbpoll("-a 3 -t 0 -r 38" + port + " 1").status, 0);
    ASSERT_EQ(mbpoll("-a 3 -t 0 -r 41" + port + " 1 1").status, 0);
    r = mbpoll("-a 3 -t 0 -r 32 -c 11" + port);
    EXPECT_TRUE(shows(r, "38", "1") && shows(r, "41", "1") && shows(r, "42", "1") && shows(r, "33", "0")) << r.output;
}

// Catches --alarm-at not raised in the running program, or raised without the history and servo-off.
TEST(DrivesimAndMbpoll, AlarmArrivesAtItsTime)
{
    if (std::string(MBPOLL_PATH).empty())
        GTEST_SKIP() << "mbpoll not installed";
    const auto start = Clock::now();
    DriveSimProcess drive({"--alarm-at", "800=12"});
    ASSERT_FALSE(drive.portPath().empty());
    const std::string port = " " + drive.portPath();
    MbpollRun r = mbpoll("-a 1 -t 4 -r 899 -c 2" + port);
    if (Clock::now() - start < std::chrono::milliseconds(700)) {  // a loaded machine may be slower
        EXPECT_TRUE(shows(r, "899", "0") && shows(r, "900", "0")) << r.output;
    }
    std::this_thread::sleep_until(start + std::chrono::milliseconds(900));
    r = mbpoll("-a 1 -t 4 -r 899 -c 2" + port);
    EXPECT_TRUE(shows(r, "899", "12") && shows(r, "900", "12")) << r.output;
    r = mbpoll("-a 1 -t 0 -r 0 -c 4" + port);
    EXPECT_TRUE(shows(r, "0", "0") && shows(r, "3", "1")) << r.output;  // servo off, alarm output on
}

// Catches a paced reply sent faster than its baud, or queued records sent after the stop echo.
TEST(DrivesimLine, PacedReplyTakesItsWireTimeAndTheStreamStopsAtOnce)
{
    DriveSimProcess drive({"--pace", "--baud", "19200"});
    const platform::PortHandle tool = openAt(drive.portPath(), 19200);
    ASSERT_TRUE(platform::isOpenHandle(tool));
    const auto start = Clock::now();
    EXPECT_EQ(exchange(tool, withCrc(hex("01 03 00 00 00 7D")), 255, 3000).size(), 255u);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_GE(ms, 255 * 10 * 1000.0 / 19200);

    const Bytes stream = withCrc(hex("01 06 00 90 00 07")), stop = withCrc(hex("01 06 00 90 00 00"));
    ASSERT_TRUE(platform::serialWrite(tool, stream.data(), stream.size()));
    platform::sleepMs(300);  // the stream runs at the line's pace
    const Bytes line = exchange(tool, stop, 4096, 400);
    platform::serialClose(tool);
    const auto echo = std::search(line.begin(), line.end(), stop.begin(), stop.end());
    ASSERT_NE(echo, line.end()) << line.size() << " bytes";
    EXPECT_LE(echo - line.begin(), 9);  // at most the record under way before the echo; nothing after it
    EXPECT_EQ(line.end() - echo, static_cast<std::ptrdiff_t>(stop.size()));
}

// Catches answers at a wrong baud, and a drive that stops answering once its port is reopened.
TEST(DrivesimLine, AnswersOnlyAtItsBaudAndAfterReopening)
{
    DriveSimProcess drive({"--baud", "38400", "--latency", "5"});
    const Bytes request = withCrc(hex("01 03 00 00 00 01")), answer = withCrc(hex("01 03 02 00 01"));
    for (const uint32_t baud : {19200, 38400, 38400}) {
        const platform::PortHandle tool = openAt(drive.portPath(), baud);
        ASSERT_TRUE(platform::isOpenHandle(tool));
        EXPECT_EQ(exchange(tool, request, 7, baud == 38400 ? 2000 : 300), baud == 38400 ? answer : Bytes()) << baud;
        platform::serialClose(tool);
    }
}

// Catches a factory reset that moves the station at once, or a SIGHUP that does not re-power the drive.
TEST(DrivesimPowerCycle, FactoryResetKeepsTheStationUntilSighup)
{
    DriveSimProcess drive({"--station", "3", "--save-ms", "20"});
    const platform::PortHandle tool = openAt(drive.portPath(), 19200);
    ASSERT_TRUE(platform::isOpenHandle(tool));
    const Bytes toNine = withCrc(hex("03 06 00 00 00 09")), reset = withCrc(hex("09 06 00 82 00 01"));
    EXPECT_EQ(exchange(tool, toNine, 8, 2000), toNine);
    EXPECT_EQ(exchange(tool, reset, 8, 2000), reset);
    platform::sleepMs(50);
    EXPECT_EQ(exchange(tool, withCrc(hex("09 03 00 82 00 01")), 7, 2000), withCrc(hex("09 03 02 00 01")));
    // Pr.00 holds the factory station, but the drive answers at 9 until powered again.
    EXPECT_EQ(exchange(tool, withCrc(hex("09 03 00 00 00 01")), 7, 2000), withCrc(hex("09 03 02 00 03")));
    EXPECT_TRUE(exchange(tool, withCrc(hex("03 03 00 00 00 01")), 7, 300).empty());
    ASSERT_EQ(kill(drive.pid(), SIGHUP), 0);  // switched off and on again
    platform::sleepMs(50);
    EXPECT_EQ(exchange(tool, withCrc(hex("03 03 00 00 00 01")), 7, 2000), withCrc(hex("03 03 02 00 03")));
    EXPECT_TRUE(exchange(tool, withCrc(hex("09 03 00 00 00 01")), 7, 300).empty());
    platform::serialClose(tool);
}

// Catches a link that fails when the drive's answer arrives in 62-byte packets and timer ticks (--usb-batch 16).
TEST(UsbAdapterThroughTheLink, ReadsSixtyFourRegistersAt115200)
{
    ResetLinkState();
    DriveSimProcess sim({"--station", "3", "--baud", "115200", "--pace", "--usb-batch", "16"});
    ASSERT_TRUE(sim.ok()) << "drivesim did not start: " << DriveSimProcess::programPath();
    MapOnlyPort(1, sim.portPath());
    linkState().portHandle = OpenLinkPort(1, 3);
    ASSERT_TRUE(platform::isOpenHandle(linkState().portHandle));
    for (int read = 0; read < 3; ++read) {
        ASSERT_EQ(LinkReadRegisters(3, 0x00, 0x00, 0x00, 64, 200, 1), 1) << "read " << read;
        EXPECT_EQ(linkState().lastReadReply[2], 128);
        EXPECT_EQ(linkState().lastReadReply[4], 3);  // Pr.00 holds the station
    }
    ResetLinkState();
}
