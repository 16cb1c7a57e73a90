// drivara-cli without a drive: the command line, the argument values, the
// JSON writer, the console prompt, the progress line, the data folders, and
// whole runs that stop at a wrong command line.

#include "cli/CliMain.h"
#include "cli/CliPage.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompt.h"
#include "cli/DataFolders.h"
#include "cli/OptionValues.h"
#include "cli/OutputWriter.h"
#include "cli/PlainText.h"
#include "cli/ProgressDisplay.h"
#include "tests/platform/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Catches options lost between arguments, a missed "--", and a wrong command line taken or refused without its reason.
TEST(CliCommandLine, TakesOptionsAnywhereAndChecksTheShape)
{
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--json", "set", "--port=/dev/pts/3", "Pr.10", "--baud", "auto", "--", "-5"}, line, error))
        << error;
    EXPECT_EQ(line.command, "set");
    EXPECT_EQ(line.arguments, (std::vector<std::string>{"Pr.10", "-5"}));
    EXPECT_EQ(line.value("port"), "/dev/pts/3");
    EXPECT_EQ(line.value("baud"), "auto");
    EXPECT_TRUE(line.has("json") && !line.has("yes"));
    ASSERT_TRUE(ParseCommandLine({"compare", "--help"}, line, error));
    EXPECT_TRUE(line.help) << "help needs no arguments";
    ASSERT_TRUE(ParseCommandLine({"-h"}, line, error));
    EXPECT_TRUE(line.help && line.command.empty());

    const std::pair<std::vector<std::string>, const char*> wrong[] = {
        {{}, "no command"},
        {{"backup"}, "unknown command: backup"},
        {{"get"}, "usage: drivara-cli get PR"},
        {{"get", "Pr.10", "Pr.11"}, "usage: drivara-cli get PR"},
        {{"identify", "--speed", "9"}, "unknown option: --speed"},
        {{"identify", "--port"}, "without its value: --port PORT"},
        {{"identify", "--json=yes"}, "takes no value: --json"},
        {{"identify", "--eeprom"}, "--eeprom is no option of the command identify"},
        {{"read-params", "a.qdp", "--factory"}, "--factory is no option"},
    };
    for (const auto& [arguments, message] : wrong) {
        EXPECT_FALSE(ParseCommandLine(arguments, line, error));
        EXPECT_TRUE(Contains(error, message)) << error;
    }
}

// Catches a port, rate, station, parameter number or 16-bit value taken when it should be refused, or misread.
TEST(CliOptionValues, PortsRatesStationsParametersAndValues)
{
    PortChoice port;
    EXPECT_TRUE(ParsePortOption("COM3", port) && port.com == 3 && port.devicePath.empty());
    EXPECT_TRUE(ParsePortOption("com 16", port) && port.com == 16);
    EXPECT_TRUE(ParsePortOption("/dev/ttyUSB0", port) && port.com == 0 && port.devicePath == "/dev/ttyUSB0");
    for (const char* bad : {"COM0", "COM17", "COM", "COMx", "ttyUSB0", "", "LPT1", "COM-1"})
        EXPECT_FALSE(ParsePortOption(bad, port)) << bad;

    std::vector<int> rates;
    EXPECT_TRUE(ParseBaudOption("auto", rates));
    EXPECT_EQ(rates, (std::vector<int>{3, 2, 1, 0})) << "fastest first";
    EXPECT_TRUE(ParseBaudOption("38400", rates));
    EXPECT_EQ(rates, std::vector<int>{1});
    for (const char* bad : {"9600", "38400x", "-1", "", "fast"})
        EXPECT_FALSE(ParseBaudOption(bad, rates)) << bad;

    int station = -1;
    EXPECT_TRUE(ParseStationOption("AUTO", station) && station == 0);
    EXPECT_TRUE(ParseStationOption("255", station) && station == 255);
    for (const char* bad : {"0", "256", "5a", ""})
        EXPECT_FALSE(ParseStationOption(bad, station)) << bad;

    // -1: refused.
    for (const auto& [text, wanted] : {std::pair{"Pr.10", 0x10}, {"pr1f", 0x1F}, {"PR.7F", 0x7F}, {"0x00", 0}, {"0x7f", 0x7F},
                                      {"Pr.80", -1}, {"0x80", -1}, {"10", -1}, {"Pr.", -1}, {"Pr.1G", -1}, {"Pr.100", -1}}) {
        int parameter = -1;
        EXPECT_EQ(ParseParameterNumber(text, parameter), wanted >= 0) << text;
        EXPECT_EQ(wanted >= 0 ? parameter : -1, wanted) << text;
    }
    // 12345: refused, the value untouched.
    for (const auto& [text, wanted] : {std::pair{"0", 0}, {"-32768", -32768}, {"32767", 32767}, {"0xFFFF", -1},
                                      {"0x8000", -32768}, {"32768", 12345}, {"-32769", 12345}, {"0x10000", 12345},
                                      {"1.5", 12345}, {"", 12345}, {"+5", 12345}}) {
        int32_t value = 12345;
        EXPECT_EQ(ParseRegisterValue(text, value), wanted != 12345) << text;
        EXPECT_EQ(value, wanted) << text;
    }
}

// Catches JSON with unescaped controls or quotes, invalid UTF-8 passed on, or a document laid out wrongly.
TEST(CliOutput, JsonIsEscapedValidUtf8)
{
    const std::pair<std::string, const char*> strings[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line\nfeed\ttab\r", "\"line\\nfeed\\ttab\\r\""},
        {std::string("\x01\x1e\x7f", 3), "\"\\u0001\\u001e\\u007f\""},
        {"\xC2\xB5m", "\"\xC2\xB5m\""},                 // a valid two-byte character stays
        {"\xE2\x82\xAC", "\"\xE2\x82\xAC\""},          // and a three-byte one
        {"a\xFF" "b", "\"a\\ufffdb\""},                 // a byte that starts nothing
        {"\xC0\xAF", "\"\\ufffd\\ufffd\""},             // an overlong form
        {"\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},  // a surrogate
        {"\xE2\x82", "\"\\ufffd\\ufffd\""},             // cut short
    };
    for (const auto& [text, json] : strings)
        EXPECT_EQ(JsonQuoted(text), json);

    JsonValue document = JsonValue::object();
    document.set("name", "VR-101");
    document.set("station", 5);
    document.set("code", JsonValue());
    JsonValue& list = document.set("list", JsonValue::array());
    list.push(true);
    list.push(JsonValue::object());
    document.set("station", 6);  // replaced in place
    EXPECT_EQ(document.toJson(), "{\n  \"name\": \"VR-101\",\n  \"station\": 6,\n  \"code\": null,\n"
                                 "  \"list\": [\n    true,\n    {}\n  ]\n}");
}

// Catches help text cut inside words, a lost indent, or blank lines dropped.
TEST(CliOutput, HelpTextIsWrappedAtBlanks)
{
    const std::tuple<const char*, size_t, size_t, const char*> texts[] = {
        {"one two three", 9, 0, "one two\nthree"},
        {"one two three", 80, 0, "one two three"},
        {"one two three", 12, 4, "one two\n    three"},  // continues a line 4 long
        {"averyveryverylongword x", 8, 0, "averyveryverylongword\nx"},
        {"a  b", 80, 0, "a b"},
        {"first\nsecond line", 8, 2, "first\n  second\n  line"},
    };
    for (const auto& [text, width, indent, wrapped] : texts)
        EXPECT_EQ(WrapText(text, width, indent), wrapped) << text;
    EXPECT_EQ(SplitLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(TrimBlanks("  Err.12   "), "Err.12");
}

// Catches a question confirmed without --yes, a confirmed run that prints noise, or a file dialog opened.
TEST(CliConsolePrompt, QuestionsAreAnsweredFromTheCommandLine)
{
    using platform::PromptButtons;
    using platform::PromptIcon;
    std::ostringstream err, quiet;
    ConsolePrompt declining(err, false), confirming(quiet, true);
    EXPECT_EQ(declining.messageBox("Send the page? \nAre you sure?", "Warning", PromptButtons::OkCancel, PromptIcon::Warning),
              platform::PromptCancel);
    EXPECT_TRUE(declining.declined());
    EXPECT_EQ(declining.messageBox("Go on?", "Warning", PromptButtons::YesNo, PromptIcon::Question), platform::PromptNo);
    EXPECT_TRUE(Contains(err.str(), "Warning: Send the page?\n  Are you sure?\n-> Cancel: give --yes")) << err.str();

    EXPECT_EQ(confirming.messageBox("Send?", "Warning", PromptButtons::OkCancel, PromptIcon::Warning), platform::PromptOk);
    EXPECT_EQ(confirming.messageBox("Go on?", "Warning", PromptButtons::YesNoCancel, PromptIcon::Question),
              platform::PromptYes);
    EXPECT_FALSE(confirming.declined());
    EXPECT_EQ(confirming.messageBox("Data was written.", "Status", PromptButtons::Ok, PromptIcon::Information),
              platform::PromptOk);
    EXPECT_EQ(quiet.str(), "") << "confirmed questions and success boxes print nothing";
    confirming.messageBox("Write failed", "Error", PromptButtons::Ok, PromptIcon::Error);
    EXPECT_EQ(quiet.str(), "Error: Write failed\n");
    EXPECT_EQ(confirming.openFileName({}), "") << "never a file dialog";
}

// Catches progress drawn into a file or pipe, redrawn needlessly, or left on the line.
TEST(CliProgress, OnlyOnATerminalAndClearedBeforeMessages)
{
    std::ostringstream off, on;
    ProgressDisplay silent(off, false);
    silent.show("Reading parameters", 64, 128);
    silent.clear();
    EXPECT_EQ(off.str(), "");
    {
        ProgressDisplay shown(on, true);
        shown.show("Reading", 64, 128);
        shown.show("Reading", 64, 128);  // unchanged: not drawn again
        shown.show("Reading", 200, 128);
        shown.show("Search", 0, 0);
    }
    EXPECT_EQ(on.str(), "\rReading  50%\rReading  100%\rSearch       \r      \r");
}

// Catches data files looked up in the wrong folders or the wrong order.
TEST(CliDataFolders, DataDirAloneOtherwiseCurrentThenProgramFolder)
{
    EXPECT_EQ(DataFolders("/data", "/home/t", "/opt/d/lib"), std::vector<std::string>{"/data"});
    EXPECT_EQ(DataFolders("", "/home/t", "/opt/d/lib"),
              (std::vector<std::string>{"/home/t", "/opt/d/lib", "/opt/d/lib/../../share/drivara"}));
    EXPECT_EQ(DataFolders("", "/opt/d/lib", "/opt/d/lib"), std::vector<std::string>{"/opt/d/lib"});

    testing_files::TempFolder first, second;
    for (const std::string& path : {second.file("SystemInit-Vr_007.som"), first.file("Preference.ini"), second.file("Preference.ini")})
        testing_files::writeBytes(path, "x");
    const std::vector<std::string> folders{first.path(), second.path()};
    EXPECT_EQ(FindDataFile(folders, "SystemInit-Vr_007.som"), second.file("SystemInit-Vr_007.som"));
    EXPECT_EQ(FindDataFile(folders, "Preference.ini"), first.file("Preference.ini"));
    EXPECT_EQ(FindDataFile(folders, "Language.lng"), "");
}

// Catches a page mode taken from a folder name or a longer extension, or case-sensitive extensions.
TEST(CliPageFiles, TheExtensionNamesThePageMode)
{
    for (const auto& [path, mode] : {std::pair{"a.qdp", 1}, {"dir/b.PCM", 2}, {"c.vcm", 3}, {"/x/d.Tcm", 4}, {"e.som", 0},
                                    {"f", 0}, {"g.qdp.bak", 0}, {"h.d/qdp", 0}, {".qdp", 1}})
        EXPECT_EQ(PageModeOfPath(path), mode) << path;
}

// Catches a bad command line that touches a port, exits 0 or 1, or prints to stdout; a port that fails with exit 2.
TEST(CliRun, AWrongCommandLineStopsBeforeAnyPortIsTouched)
{
    const std::vector<std::string> scope{"scope", "a.wfm", "--channels", "speed"};
    const auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), scope.begin(), scope.end());
        return more;
    };
    const std::tuple<std::vector<std::string>, int, const char*> runs[] = {
        {{}, 2, "no command given"},
        {{"identify", "--baud", "12345"}, 2, "not a drive's rate"},
        {{"identify", "--station", "0"}, 2, "not a station (1-255 or auto): 0"},
        {{"identify", "--port", "LPT1"}, 2, "not a port"},
        {{"identify", "--scan-to", "300"}, 2, "not a station to scan to"},
        {{"get", "16"}, 2, "not a parameter"},
        {{"set", "Pr.10", "40000"}, 2, "not a 16-bit value"},
        {{"compare"}, 2, "FILE or --factory"},
        {{"compare", "a.qdp", "--factory"}, 2, "FILE or --factory"},
        {{"read-params", "backup.txt"}, 2, ".qdp, .pcm, .vcm or .tcm"},
        {{"scope", "a.wfm"}, 2, "--channels names the channels"},
        {{"scope", "a.csv", "--channels", "speed"}, 2, "a waveform file's extension is .wfm"},
        {{"scope", "a.wfm", "--channels", "speed,torque,deviation,command"}, 2, "not up to three different"},
        {{"scope", "a.wfm", "--channels", "speed,Speed"}, 2, "not up to three different"},
        {{"scope", "a.wfm", "--channels", "speed,velocity"}, 2, "not up to three different"},
        {with({"--ms", "333"}), 2, "not a Sec/Div entry"},
        {with({"--trigger", "torque"}), 2, "one of the recorded channels: torque"},
        {with({"--trigger", "speed", "--horizontal", "100"}), 2, "Horizontal value out of range!"},
        {with({"--level", "40000"}), 2, "not a trigger level"},
        {with({"--timeout", "0"}), 2, "not a number of seconds"},
        // A port that does not open is the line's failure, and names the port.
        {{"identify", "--port", "/nonexistent/port", "--baud", "19200", "--station", "1"}, 1,
         "Communication interface fails to start: COM"},
    };
    for (const auto& [arguments, exitCode, message] : runs) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCli(arguments, out, err, nullptr), exitCode) << err.str();
        EXPECT_TRUE(Contains(err.str(), message)) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"--help"}, out, err, nullptr), 0);
    for (const char* command : {"ports", "identify", "read-params FILE", "write-params FILE", "get PR", "set PR VALUE",
                                "scope FILE.wfm", "alarms", "io", "compare FILE | --factory"})
        EXPECT_TRUE(Contains(out.str(), "\n  " + std::string(command) + " ")) << command;
}

}  // namespace
