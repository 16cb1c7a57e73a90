// drivesim as a program on its pseudo-terminal: an independent master
// (mbpoll) agrees with it, paced replies take their wire time, it answers
// only at its baud, survives the port being reopened, streams.

#include "ToolPort.h"
#include "tests/support/DriveSimProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace simtest;
using testsupport::hex;
using testsupport::withCrc;
namespace fs = std::filesystem;

namespace {

struct MbpollRun {
    int status;
    std::string output;
};

MbpollRun mbpoll(const std::string& args)
{
    const std::string command = std::string("timeout 10 ") + MBPOLL_PATH + " -m rtu -b 19200 -P none -0 -1 -o 0.5 " +
                                args + " 2>&1";
    MbpollRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe))
        run.output += buffer;
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool shows(const MbpollRun& run, const std::string& reference, const std::string& value)
{
    return run.output.find("[" + reference + "]: \t" + value + "\n") != std::string::npos;
}

}  // namespace

TEST(DrivesimAndMbpoll, AgreeOnRegistersCoilsAndIdentity)
{
    if (std::string(MBPOLL_PATH).empty())
        GTEST_SKIP() << "mbpoll not installed";
    DriveSimProcess drive({"--station", "3"});
    ASSERT_FALSE(drive.portPath().empty());
    const std::string port = " " + drive.portPath();

    MbpollRun r = mbpoll("-a 3 -t 4 -r 16 -c 2" + port);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(shows(r, "16", "35") && shows(r, "17", "35")) << r.output;
    ASSERT_EQ(mbpoll("-a 3 -t 4 -r 16" + port + " 77 200").status, 0);
    ASSERT_EQ(mbpoll("-a 3 -t 4 -r 0" + port + " 3").status, 0);  // station stays 3
    r = mbpoll("-a 3 -t 4 -r 16 -c 2" + port);
    EXPECT_TRUE(shows(r, "16", "77") && shows(r, "17", "200")) << r.output;

    ASSERT_EQ(mbpoll("-a 3 -t 0 -r 38" + port + " 1").status, 0);
    ASSERT_EQ(mbpoll("-a 3 -t 0 -r 41" + port + " 1 1").status, 0);
    r = mbpoll("-a 3 -t 0 -r 32 -c 11" + port);
    EXPECT_TRUE(shows(r, "38", "1") && shows(r, "41", "1") && shows(r, "42", "1") && shows(r, "33", "0")) << r.output;
    r = mbpoll("-a 3 -t 0 -r 0 -c 6" + port);
    EXPECT_TRUE(shows(r, "0", "1") && shows(r, "2", "1") && shows(r, "3", "0")) << r.output;  // brake off, ready

    r = mbpoll("-a 3 -u" + port);
    EXPECT_NE(r.output.find("VR-007"), std::string::npos) << r.output;
    EXPECT_NE(mbpoll("-a 4 -t 4 -r 0" + port).status, 0);          // nobody at station 4
    EXPECT_NE(mbpoll("-a 3 -t 4 -r 128" + port).status, 0);        // unmapped: exception
}

TEST(DrivesimLine, PacedReplyTakesItsWireTime)
{
    DriveSimProcess drive({"--pace", "--baud", "19200"});
    ToolPort tool(drive.portPath(), 19200);
    ASSERT_TRUE(tool.isOpen());
    const auto start = std::chrono::steady_clock::now();
    tool.send(withCrc(hex("01 03 00 00 00 7D")));
    const Bytes reply = tool.receive(255, 3000);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(reply.size(), 255u);
    EXPECT_GE(ms, 255 * 10 * 1000.0 / 19200);  // 132.8 ms
}

TEST(DrivesimLine, AnswersOnlyAtItsBaudAfterReopeningAndStreams)
{
    DriveSimProcess drive({"--baud", "38400", "--latency", "5"});
    const Bytes request = withCrc(hex("01 03 00 00 00 01")), answer = withCrc(hex("01 03 02 00 01"));
    {
        ToolPort tool(drive.portPath(), 19200);
        tool.send(request);
        EXPECT_TRUE(tool.collect(300).empty());
        ASSERT_TRUE(tool.setBaud(38400));
        tool.send(request);
        EXPECT_EQ(tool.receive(7, 2000), answer);
    }
    ToolPort again(drive.portPath(), 38400);
    again.send(request);
    EXPECT_EQ(again.receive(7, 2000), answer);

    // The program keeps the stream going on its own, record after record.
    const Bytes start = withCrc(hex("01 06 00 90 00 05"));
    again.send(start);
    const Bytes line = again.collect(300);
    ASSERT_GE(line.size(), 8u + 9 * 150);  // 300 expected; slack for a loaded machine
    ASSERT_TRUE(std::equal(start.begin(), start.end(), line.begin()));
    for (size_t at = 8; at + 9 <= line.size(); at += 9)
        ASSERT_TRUE(line[at] == 0xC5 && withCrc(Bytes(&line[at], &line[at] + 7)) == Bytes(&line[at], &line[at] + 9))
            << "at " << at;
    again.send(withCrc(hex("01 06 00 90 00 00")));
    again.collect(200);
    EXPECT_TRUE(again.collect(200).empty());
}

TEST(DrivesimLine, LinkReplacesAStaleSymlinkAndGoesAtExit)
{
    const fs::path dir = fs::temp_directory_path() / ("drivesim-link-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path link = dir / "drive";
    fs::create_symlink("/dev/nonexistent-pts", link);
    {
        DriveSimProcess drive({"--link", link.string()});
        ASSERT_FALSE(drive.portPath().empty());
        EXPECT_EQ(fs::read_symlink(link).string(), drive.portPath());
        ToolPort tool(link.string(), 19200);
        tool.send(withCrc(hex("01 03 00 00 00 01")));
        EXPECT_EQ(tool.receive(7, 2000).size(), 7u);
        EXPECT_EQ(drive.stop(), 0);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
    std::ofstream(link) << "user data";
    {
        DriveSimProcess drive({"--link", link.string()});
        EXPECT_TRUE(drive.portPath().empty());
    }
    EXPECT_TRUE(fs::is_regular_file(link));
    fs::remove_all(dir);
}
