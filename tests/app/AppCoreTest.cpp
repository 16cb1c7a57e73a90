// Shell rules without widgets: tool-box rules, value edges, settings, the
// plug-in's binding failures and its exit handshake.

#include "app/GlobalSettings.h"
#include "app/PluginBinding.h"
#include "app/ParameterValueText.h"
#include "app/PluginLink.h"
#include "app/ToolBoxRules.h"
#include "platform/ScriptedUserPrompt.h"
#include "platform/Ticks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

// Which tool-box buttons each link state and drive class allows, and how parameters open.
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

// Value edges: signed parameters and decimals too long for an int.
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

// A negative I/O monitor period falls back to the default.
TEST(GlobalSettings, APeriodMustBePositive)
{
    char path[] = "/tmp/drivara-iniXXXXXX";
    ::close(mkstemp(path));
    std::ofstream(path) << "[Global]\niIOM_IntervalTime=-4\n";
    EXPECT_EQ(GlobalSettings::read(path).ioMonitorIntervalMs, 115);
    std::remove(path);
}

// A servo-off plug-in is not asked; a silent one is given up on; a user who reads the
// question past the limit must not have the program exit in the middle of the servo-off write.
TEST(PluginLink, ExitWaitSkipsServoOffGivesUpOnSilenceAndCountsOnlyAfterTheAnswer)
{
    PluginLinkVariables vars;
    EXPECT_TRUE(WaitForPluginClose(vars, nullptr));
    EXPECT_EQ(vars.closeRequest.load(), 0);  // servo off: no request

    vars.statusWord = kPluginServoOnBit;
    int polls = 0;
    EXPECT_FALSE(WaitForPluginClose(vars, [&] { ++polls; }, 200));
    EXPECT_EQ(vars.closeRequest.load(), 1);
    EXPECT_EQ(polls, 2);  // 100 ms each; the host keeps its events going meanwhile

    vars.closeRequest = 0;  // a fresh exit, the user slow to answer
    uint32_t now = 0;
    platform::setTickSource([&] { return now; });
    polls = 0;
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

// A plug-in file without its entry point, or whose entry point makes no template, is told and never used.
TEST(PluginBinding, EachFailureIsToldAndGivesNoTemplate)
{
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped{prompt};
    PluginLinkVariables vars;
    PluginLinkRecord record = vars.bind();
    const std::string dir = std::string(TEST_PLUGIN_DIR) + "/";
    const struct {
        std::string file;
        std::vector<std::string> messages;
    } cases[] = {
        {dir + "libTestPluginNoEntry.so",
         {"Incompatible function: CreateDLLDocTemplate of libTestPluginNoEntry.so failed.",
          "Executing CreateDLLDocTemplate of libTestPluginNoEntry.so failed."}},
        {dir + "libTestPluginNull.so", {"Executing CreateDLLDocTemplate of libTestPluginNull.so failed."}},
    };
    for (const auto& c : cases) {
        prompt.clear();
        PluginBinding binding;
        EXPECT_EQ(binding.bind(c.file, &record), nullptr) << c.file;
        EXPECT_EQ(prompt.messageTexts(), c.messages);
        ASSERT_FALSE(prompt.shown().empty());
        EXPECT_EQ(prompt.shown()[0].caption, "Load dll");
    }
}
