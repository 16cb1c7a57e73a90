// drivesim as a program on its pseudo-terminal: mbpoll as an independent master, paced replies, the
// stream's stop, baud and reopening, SIGHUP; the program's link behind a USB adapter's latency timer.

#include "link/LinkPort.h"
#include "link/LinkRequests.h"
#include "platform/SerialPort.h"
#include "platform/Ticks.h"
#include "tests/link/LinkTestBed.h"
#include "tests/support/DriveSimProcess.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>

using Clock = std::chrono::steady_clock;

namespace {

// mbpoll's output, then "exit N".
std::string mbpoll(const std::string& args)
{
    std::string output;
    if (FILE* pipe = popen(("timeout 10 " MBPOLL_PATH " -m rtu -b 19200 -P none -0 -1 -o 0.5 " + args + " 2>&1").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        const int status = pclose(pipe);
        output += "exit " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return output;
}

// Whether mbpoll's output shows these references with these values, and it ended well.
bool shows(const std::string& output, std::initializer_list<std::pair<const char*, const char*>> values)
{
    bool all = output.size() >= 6 && output.compare(output.size() - 6, 6, "exit 0") == 0;
    for (const auto& [reference, value] : values)
        all = all && output.find("[" + std::string(reference) + "]: \t" + value + "\n") != std::string::npos;
    return all;
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

// Catches framing, addressing or an --alarm-at time that an independent master sees differently.
TEST(DrivesimAndMbpoll, AgreeOnRegistersCoilsAndTheAlarmsTime)
{
    if (std::string(MBPOLL_PATH).empty())
        GTEST_SKIP() << "mbpoll not installed";
    const auto start = Clock::now();
    DriveSimProcess drive({"--station", "3", "--alarm-at", "800=12"});
    ASSERT_FALSE(drive.portPath().empty());
    const std::string port = " " + drive.portPath();
    EXPECT_TRUE(shows(mbpoll("-a 3 -t 4 -r 16 -c 2" + port), {{"16", "35"}, {"17", "36"}}));
    EXPECT_TRUE(shows(mbpoll("-a 3 -t 4 -r 16" + port + " 77 200"), {}));
    EXPECT_TRUE(shows(mbpoll("-a 3 -t 4 -r 16 -c 2" + port), {{"16", "77"}, {"17", "200"}}));
    EXPECT_TRUE(shows(mbpoll("-a 3 -t 0 -r 38" + port + " 1"), {}));
    EXPECT_TRUE(shows(mbpoll("-a 3 -t 0 -r 41" + port + " 1 1"), {}));
    EXPECT_TRUE(shows(mbpoll("-a 3 -t 0 -r 32 -c 11" + port), {{"38", "1"}, {"41", "1"}, {"42", "1"}, {"33", "0"}}));
    const std::string early = mbpoll("-a 3 -t 4 -r 899 -c 2" + port);
    if (Clock::now() - start < std::chrono::milliseconds(700)) {  // a loaded machine may be slower
        EXPECT_TRUE(shows(early, {{"899", "0"}, {"900", "0"}})) << early;
    }
    std::this_thread::sleep_until(start + std::chrono::milliseconds(900));
    EXPECT_TRUE(shows(mbpoll("-a 3 -t 4 -r 899 -c 2" + port), {{"899", "12"}, {"900", "12"}}));
    EXPECT_TRUE(shows(mbpoll("-a 3 -t 0 -r 0 -c 4" + port), {{"0", "0"}, {"3", "1"}}));  // servo off, alarm output on
}

// Catches answers at a wrong baud, a drive deaf once its port is reopened, a paced reply faster than its baud,
// records sent after the stop echo, a factory reset that moves the station at once, and a SIGHUP that does not
// re-power the drive.
TEST(DrivesimLine, BaudAndReopenPacedReplyStreamStopFactoryResetAndSighup)
{
    DriveSimProcess drive({"--station", "3", "--save-ms", "20", "--pace", "--baud", "19200"});
    const platform::PortHandle wrongRate = openAt(drive.portPath(), 38400);
    ASSERT_TRUE(platform::isOpenHandle(wrongRate));
    EXPECT_TRUE(exchange(wrongRate, withCrc(hex("03 03 00 00 00 01")), 7, 300).empty());
    platform::serialClose(wrongRate);
    const platform::PortHandle tool = openAt(drive.portPath(), 19200);
    ASSERT_TRUE(platform::isOpenHandle(tool));
    const auto start = Clock::now();
    EXPECT_EQ(exchange(tool, withCrc(hex("03 03 00 00 00 7D")), 255, 3000).size(), 255u);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_GE(ms, 255 * 10 * 1000.0 / 19200);

    const Bytes stream = withCrc(hex("03 06 00 90 00 07")), stop = withCrc(hex("03 06 00 90 00 00"));
    ASSERT_TRUE(platform::serialWrite(tool, stream.data(), stream.size()));
    platform::sleepMs(300);  // the stream runs at the line's pace
    const Bytes line = exchange(tool, stop, 4096, 400);
    const auto echo = std::search(line.begin(), line.end(), stop.begin(), stop.end());
    ASSERT_NE(echo, line.end()) << line.size() << " bytes";
    EXPECT_LE(echo - line.begin(), 9);  // at most the record under way before the echo; nothing after it
    EXPECT_EQ(line.end() - echo, static_cast<std::ptrdiff_t>(stop.size()));

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
