// Shell rules without widgets: tool-box rules, value edges, settings and
// the plug-in's exit handshake.

#include "app/GlobalSettings.h"
#include "app/ParameterValueText.h"
#include "app/PluginLink.h"
#include "app/ToolBoxRules.h"
#include "platform/Ticks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

TEST(ToolBoxRules, ByLinkStateAndDriveClass)
{
    // Letters: Alarm list, I/O monitor, Block diagram enabled; Wave scope,
    // waYstation shown. Parameter setup and Estimate are always usable.
    const struct {
        int online, driveClass;
        const char* expected;
    } cases[] = {{0, 3, "---WY"}, {0, 0, "-----"}, {1, 0, "--B--"}, {1, 1, "AIB--"}, {1, 2, "AIBW-"},
                 {1, 3, "AIBWY"}, {1, 4, "AIBWY"}, {1, 5, "AIBWY"}, {1, 6, "AIBW-"}};
    using B = ToolBoxButton;
    for (const auto& c : cases) {
        const ToolBoxLayout layout = ToolBoxLayoutFor(c.online, c.driveClass);
        const std::string seen = {layout[B::AlarmList].enabled ? 'A' : '-', layout[B::IoMonitor].enabled ? 'I' : '-',
                                  layout[B::BlockDiagram].enabled ? 'B' : '-', layout[B::WaveScope].visible ? 'W' : '-',
                                  layout[B::Waystation].visible ? 'Y' : '-'};
        EXPECT_EQ(seen, c.expected) << "online " << c.online << " class " << c.driveClass;
        for (B always : {B::ParameterSetup, B::Estimate})
            EXPECT_TRUE(layout[always].enabled && layout[always].visible);
    }
    EXPECT_EQ(ParameterOpeningFor(0, 0), ParameterOpening::OpenNow);
    EXPECT_EQ(ParameterOpeningFor(1, 1), ParameterOpening::OpenNow);
    EXPECT_EQ(ParameterOpeningFor(1, 0), ParameterOpening::VerifyModelFirst);
    EXPECT_EQ(ParameterOpeningFor(2, 0), ParameterOpening::Refuse);
}

// The dialog flow shows Pr.53/Pr.10 and "12abc"/"abc"; these are the edges.
TEST(ParameterValueText, SignedParametersAndOverlongDecimals)
{
    EXPECT_EQ(ParameterValueText(0x2A, 0x00008000), "-32768");
    EXPECT_EQ(ParameterValueText(0x57, 0x0000FFFF), "65535");
    const std::pair<const char*, int> decimals[] = {{"  -40 rpm", -40}, {"-", 0},
                                                    {"99999999999999999999", 2147483647},
                                                    {"-99999999999999999999", -2147483647 - 1}};
    for (const auto& [text, value] : decimals)
        EXPECT_EQ(ParseLeadingDecimal(text), value) << text;
}

TEST(GlobalSettings, APeriodMustBePositive)
{
    char path[] = "/tmp/drivara-iniXXXXXX";
    ::close(mkstemp(path));
    std::ofstream(path) << "[Global]\niIOM_IntervalTime=-4\n";
    EXPECT_EQ(GlobalSettings::read(path).ioMonitorIntervalMs, 115);
    std::remove(path);
}

// The plug-in asks its question on the host's thread, between the polls. A
// user who reads it for longer than the limit must not have the program exit
// in the middle of the servo-off write that follows the answer.
TEST(PluginLink, ExitWaitCountsItsLimitOnlyAfterTheQuestionIsAnswered)
{
    PluginLinkVariables vars;
    vars.statusWord = kPluginServoOnBit;
    uint32_t now = 0;
    platform::setTickSource([&] { return now; });
    int polls = 0;
    const bool answered = WaitForPluginClose(vars, [&] {
        if (++polls == 1)
            now += 70000;  // the question stays open for 70 s
        if (polls == 3)
            vars.statusWord |= kPluginCloseAnsweredBit;  // the write after it is done
    }, 1000);
    platform::setTickSource({});
    EXPECT_TRUE(answered);
    EXPECT_EQ(polls, 3);
}

// The answered wait runs in the shell's exit flow; here the two other ends.
TEST(PluginLink, ExitWaitSkipsAServoOffPluginAndGivesUpOnASilentOne)
{
    PluginLinkVariables vars;
    EXPECT_TRUE(WaitForPluginClose(vars, nullptr));
    EXPECT_EQ(vars.closeRequest.load(), 0);  // servo off: no request

    vars.statusWord = kPluginServoOnBit;
    int polls = 0;
    EXPECT_FALSE(WaitForPluginClose(vars, [&] { ++polls; }, 200));
    EXPECT_EQ(vars.closeRequest.load(), 1);
    EXPECT_EQ(polls, 2);  // 100 ms each; the host keeps its events going meanwhile
}
