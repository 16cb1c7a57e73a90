// Shell rules without widgets: window catalogue, tool-box rules, value
// conversions, settings, diagram choice and the plug-in's exit handshake.

#include "app/DiagramDispatch.h"
#include "app/GlobalSettings.h"
#include "app/ParameterValueText.h"
#include "app/PluginLink.h"
#include "app/ToolBoxRules.h"
#include "app/WindowCatalogue.h"
#include "platform/Ticks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

std::string tempFile(const std::string& content)
{
    char name[] = "/tmp/drivara-iniXXXXXX";
    const int fd = mkstemp(name);
    ::close(fd);
    std::ofstream(name, std::ios::binary) << content;
    return name;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(WindowCatalogue, EachKindOpensOnce)
{
    WindowCatalogue catalogue;
    auto first = catalogue.admit("AlarmList1");
    EXPECT_EQ(first.result, DocumentAdmission::Accepted);
    EXPECT_EQ(first.title, "Alarm List Table");
    EXPECT_EQ(catalogue.admit("AlarmList1").result, DocumentAdmission::AlreadyOpen);
    catalogue.documentClosed("Alarm List Table");
    EXPECT_EQ(catalogue.admit("AlarmList1").result, DocumentAdmission::Accepted);
    // A window of another kind is not affected.
    EXPECT_EQ(catalogue.admit("IO Monitor1").title, "I/O Monitor");
}

TEST(WindowCatalogue, ParameterTitleClearsBothKinds)
{
    WindowCatalogue catalogue;
    catalogue.admit("QDDTools1");
    catalogue.admit("PulseMode1");
    catalogue.documentClosed("Parameter Setting");
    EXPECT_FALSE(catalogue.isOpen(WindowKind::ParameterSetting));
    EXPECT_FALSE(catalogue.isOpen(WindowKind::PulseMode));
}

TEST(WindowCatalogue, TwoDigitNumbersAreRefused)
{
    WindowCatalogue catalogue;
    EXPECT_EQ(catalogue.admit("ToolBoxView9").result, DocumentAdmission::Accepted);
    catalogue.documentClosed("Toolbox");
    EXPECT_EQ(catalogue.admit("ToolBoxView10").result, DocumentAdmission::NumberOverflow);
    EXPECT_FALSE(catalogue.isOpen(WindowKind::ToolBox));
    EXPECT_EQ(catalogue.admit("Waystation1").result, DocumentAdmission::UnknownKind);
    EXPECT_EQ(catalogue.admit("").result, DocumentAdmission::UnknownKind);
}

TEST(ToolBoxRules, OffLineAndClassRules)
{
    using B = ToolBoxButton;
    const auto offline = ToolBoxLayoutFor(0, 3);
    EXPECT_FALSE(offline[B::AlarmList].enabled);
    EXPECT_FALSE(offline[B::IoMonitor].enabled);
    EXPECT_FALSE(offline[B::BlockDiagram].enabled);
    EXPECT_TRUE(offline[B::Estimate].enabled);
    EXPECT_TRUE(offline[B::WaveScope].visible);

    const auto class0 = ToolBoxLayoutFor(1, 0);
    EXPECT_FALSE(class0[B::AlarmList].enabled);
    EXPECT_TRUE(class0[B::BlockDiagram].enabled);
    EXPECT_FALSE(class0[B::WaveScope].visible);
    EXPECT_FALSE(class0[B::Waystation].visible);

    EXPECT_FALSE(ToolBoxLayoutFor(1, 1)[B::WaveScope].visible);
    const auto class2 = ToolBoxLayoutFor(1, 2);
    EXPECT_TRUE(class2[B::AlarmList].enabled);
    EXPECT_TRUE(class2[B::WaveScope].visible);
    EXPECT_FALSE(class2[B::Waystation].visible);
    for (int driveClass : {3, 4, 5}) {
        EXPECT_TRUE(ToolBoxLayoutFor(1, driveClass)[B::WaveScope].visible);
        EXPECT_TRUE(ToolBoxLayoutFor(1, driveClass)[B::Waystation].visible);
    }
}

TEST(ToolBoxRules, ParameterOpeningChecksKnownModelsOnLine)
{
    EXPECT_EQ(ParameterOpeningFor(0, 0), ParameterOpening::OpenNow);
    EXPECT_EQ(ParameterOpeningFor(1, 1), ParameterOpening::OpenNow);
    EXPECT_EQ(ParameterOpeningFor(1, 0), ParameterOpening::VerifyModelFirst);
    EXPECT_EQ(ParameterOpeningFor(2, 0), ParameterOpening::Refuse);
}

TEST(ParameterValueText, SignedSixteenBitParameters)
{
    EXPECT_EQ(ParameterValueText(0x53, 0x0000FFFF), "-1");
    EXPECT_EQ(ParameterValueText(0x10, 0x0000FFFF), "65535");
    EXPECT_EQ(ParameterValueText(0x2A, 0x00008000), "-32768");
    EXPECT_EQ(ParameterValueText(0x77, 0x00007FFF), "32767");
    EXPECT_EQ(ParameterValueText(0x57, 0x0000FFFF), "65535");
    EXPECT_EQ(ParameterValueText(0x00, -5), "-5");
    EXPECT_EQ(ParameterNumberText(0x05), "05");
    EXPECT_EQ(ParameterNumberText(0xAB), "AB");
}

TEST(ParameterValueText, LeadingDecimal)
{
    EXPECT_EQ(ParseLeadingDecimal("12abc"), 12);
    EXPECT_EQ(ParseLeadingDecimal("abc"), 0);
    EXPECT_EQ(ParseLeadingDecimal("  -40 rpm"), -40);
    EXPECT_EQ(ParseLeadingDecimal("+7"), 7);
    EXPECT_EQ(ParseLeadingDecimal("-"), 0);
    EXPECT_EQ(ParseLeadingDecimal(""), 0);
    EXPECT_EQ(ParseLeadingDecimal("99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseLeadingDecimal("-99999999999999999999"), -2147483647 - 1);
}

TEST(GlobalSettings, DefaultsAndValues)
{
    const auto defaults = GlobalSettings::read("/nonexistent/Preference.ini");
    EXPECT_EQ(defaults.repairPr1F, 1);
    EXPECT_EQ(defaults.innerParm, 0);
    EXPECT_EQ(defaults.splashTimeMs, 2000);
    EXPECT_EQ(defaults.ioMonitorIntervalMs, 115);

    const std::string path = tempFile(
        "[SetComPort]\nComPort=3\n[Global]\nRepairPr1F=0\nInnerParm=731\niSplashTime=500\n"
        "iIOM_IntervalTime=-4\n");
    const auto s = GlobalSettings::read(path);
    EXPECT_EQ(s.repairPr1F, 0);
    EXPECT_TRUE(s.asksForEngineerMode());
    EXPECT_EQ(s.splashTimeMs, 500);
    EXPECT_EQ(s.ioMonitorIntervalMs, 115);  // a period must be positive

    ASSERT_TRUE(GlobalSettings::declineEngineerMode(path));
    EXPECT_FALSE(GlobalSettings::read(path).asksForEngineerMode());
    EXPECT_NE(readAll(path).find("ComPort=3"), std::string::npos);
    std::remove(path.c_str());
}

TEST(DiagramDispatch, ModesLeadToDiagrams)
{
    EXPECT_EQ(DiagramOptionsForMode(0).count, 1);
    EXPECT_EQ(DiagramOptionsForMode(2).options[0], DiagramKind::Torque);
    const auto mixed = DiagramOptionsForMode(4);
    EXPECT_EQ(mixed.count, 2);
    EXPECT_EQ(mixed.options[1], DiagramKind::Torque);
    EXPECT_EQ(DiagramOptionsForMode(5).options[0], DiagramKind::Velocity);
    EXPECT_EQ(DiagramOptionsForMode(7).count, 0);
    EXPECT_EQ(DiagramOptionsForMode(-1).count, 0);
}

TEST(PluginLink, RecordPointsIntoTheHostVariables)
{
    PluginLinkVariables vars;
    vars.closeRequest = 1;
    vars.statusWord = 3;
    int port = 7;
    uint8_t slave = 5;
    int up = 1;
    vars.useLinkCopies(&port, &slave, &up);
    const PluginLinkRecord record = vars.bind();
    EXPECT_EQ(record.portHandle, &port);
    EXPECT_EQ(record.reserved, nullptr);
    EXPECT_EQ(*record.slaveAddress, 5);
    EXPECT_EQ(record.linkUp, &up);
    EXPECT_EQ(record.closeRequest->load(), 0);
    EXPECT_EQ(record.statusWord->load(), 0);
}

TEST(PluginLink, ExitWaitEndsWhenThePluginAnswers)
{
    PluginLinkVariables vars;
    EXPECT_TRUE(WaitForPluginClose(vars, nullptr));  // servo off: no request
    EXPECT_EQ(vars.closeRequest.load(), 0);

    vars.statusWord = kPluginServoOnBit;
    std::atomic<int> polls{0};
    std::thread plugin([&] {
        while (vars.closeRequest.load() != 1)
            platform::yieldThread();
        platform::sleepMs(150);
        vars.statusWord |= kPluginCloseAnsweredBit;
    });
    EXPECT_TRUE(WaitForPluginClose(vars, [&] { ++polls; }));
    plugin.join();
    EXPECT_EQ(vars.closeRequest.load(), 1);
    EXPECT_GE(polls.load(), 1);
}

TEST(PluginLink, ExitWaitGivesUpOnASilentPlugin)
{
    PluginLinkVariables vars;
    vars.statusWord = kPluginServoOnBit;
    uint32_t now = 0;
    platform::setTickSource([&] { return now += 50; });
    EXPECT_FALSE(WaitForPluginClose(vars, nullptr, 200));
    platform::setTickSource({});
}
