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

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(CliCommandLine, TakesOptionsAnywhereAndChecksTheShape)
{
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--json", "set", "--port=/dev/pts/3", "Pr.10", "--baud", "auto", "--", "-5"},
                                 line, error))
        << error;
    EXPECT_EQ(line.command, "set");
    EXPECT_EQ(line.arguments, (std::vector<std::string>{"Pr.10", "-5"}));
    EXPECT_EQ(line.value("port"), "/dev/pts/3");
    EXPECT_EQ(line.value("baud"), "auto");
    EXPECT_TRUE(line.has("json"));
    EXPECT_FALSE(line.has("yes"));

    ASSERT_TRUE(ParseCommandLine({"compare", "--help"}, line, error));
    EXPECT_TRUE(line.help) << "help needs no arguments";
    ASSERT_TRUE(ParseCommandLine({"-h"}, line, error));
    EXPECT_TRUE(line.help);
    EXPECT_EQ(line.command, "");

    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } kWrong[] = {
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
    for (const auto& wrong : kWrong) {
        EXPECT_FALSE(ParseCommandLine(wrong.arguments, line, error));
        EXPECT_TRUE(Contains(error, wrong.error)) << error;
    }
}

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

    const struct {
        const char* text;
        int parameter;  // -1: refused
    } kParameters[] = {{"Pr.10", 0x10}, {"pr1f", 0x1F}, {"PR.7F", 0x7F}, {"0x00", 0}, {"0x7f", 0x7F},
                       {"Pr.80", -1},   {"0x80", -1},   {"10", -1},      {"Pr.", -1}, {"Pr.1G", -1},
                       {"Pr.100", -1}};
    for (const auto& entry : kParameters) {
        int parameter = -1;
        EXPECT_EQ(ParseParameterNumber(entry.text, parameter), entry.parameter >= 0) << entry.text;
        if (entry.parameter >= 0) {
            EXPECT_EQ(parameter, entry.parameter) << entry.text;
        }
    }

    const struct {
        const char* text;
        bool ok;
        int32_t value;
    } kValues[] = {{"0", true, 0},          {"-32768", true, -32768}, {"32767", true, 32767},
                   {"0xFFFF", true, -1},    {"0x8000", true, -32768}, {"32768", false, 0},
                   {"-32769", false, 0},    {"0x10000", false, 0},    {"1.5", false, 0},
                   {"", false, 0},          {"+5", false, 0}};
    for (const auto& entry : kValues) {
        int32_t value = 12345;
        EXPECT_EQ(ParseRegisterValue(entry.text, value), entry.ok) << entry.text;
        if (entry.ok) {
            EXPECT_EQ(value, entry.value) << entry.text;
        }
    }
    EXPECT_EQ(ParameterName(0x4E), "Pr.4E");
}

TEST(CliOutput, JsonIsEscapedValidUtf8)
{
    const struct {
        std::string text;
        const char* json;
    } kStrings[] = {
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
    for (const auto& entry : kStrings)
        EXPECT_EQ(JsonQuoted(entry.text), entry.json);

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
    CommandOutput output;
    output.data = document;
    output.lines = {"one", "two"};
    std::ostringstream plain, json;
    WriteCommandOutput(output, false, plain);
    WriteCommandOutput(output, true, json);
    EXPECT_EQ(plain.str(), "one\ntwo\n");
    EXPECT_EQ(json.str(), document.toJson() + "\n");
}

TEST(CliOutput, HelpTextIsWrappedAtBlanks)
{
    const struct {
        const char* text;
        size_t width, indent;
        const char* wrapped;
    } kTexts[] = {
        {"one two three", 9, 0, "one two\nthree"},
        {"one two three", 80, 0, "one two three"},
        {"one two three", 12, 4, "one two\n    three"},  // continues a line 4 long
        {"averyveryverylongword x", 8, 0, "averyveryverylongword\nx"},
        {"a  b", 80, 0, "a b"},
        {"first\nsecond line", 8, 2, "first\n  second\n  line"},
    };
    for (const auto& entry : kTexts)
        EXPECT_EQ(WrapText(entry.text, entry.width, entry.indent), entry.wrapped) << entry.text;
    EXPECT_EQ(SplitLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(TrimBlanks("  Err.12   "), "Err.12");
}

TEST(CliConsolePrompt, QuestionsAreAnsweredFromTheCommandLine)
{
    using platform::PromptButtons;
    using platform::PromptIcon;
    std::ostringstream err;
    ConsolePrompt declining(err, false);
    EXPECT_EQ(declining.messageBox("Send the page? \nAre you sure?", "Warning", PromptButtons::OkCancel,
                                   PromptIcon::Warning),
              platform::PromptCancel);
    EXPECT_TRUE(declining.declined());
    EXPECT_EQ(declining.messageBox("Go on?", "Warning", PromptButtons::YesNo, PromptIcon::Question),
              platform::PromptNo);
    EXPECT_TRUE(Contains(err.str(), "Warning: Send the page?\n  Are you sure?\n-> Cancel: give --yes")) << err.str();

    std::ostringstream quiet;
    ConsolePrompt confirming(quiet, true);
    EXPECT_EQ(confirming.messageBox("Send?", "Warning", PromptButtons::OkCancel, PromptIcon::Warning),
              platform::PromptOk);
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

TEST(CliProgress, OnlyOnATerminalAndClearedBeforeMessages)
{
    std::ostringstream off;
    ProgressDisplay silent(off, false);
    silent.show("Reading parameters", 64, 128);
    silent.clear();
    EXPECT_EQ(off.str(), "");

    std::ostringstream on;
    {
        ProgressDisplay shown(on, true);
        shown.show("Reading", 64, 128);
        shown.show("Reading", 64, 128);  // unchanged: not drawn again
        shown.show("Reading", 200, 128);
        shown.show("Search", 0, 0);
    }
    EXPECT_EQ(on.str(), "\rReading  50%\rReading  100%\rSearch       \r      \r");
}

TEST(CliDataFolders, DataDirAloneOtherwiseCurrentThenProgramFolder)
{
    EXPECT_EQ(DataFolders("/data", "/home/t", "/opt/d/lib"), std::vector<std::string>{"/data"});
    EXPECT_EQ(DataFolders("", "/home/t", "/opt/d/lib"),
              (std::vector<std::string>{"/home/t", "/opt/d/lib", "/opt/d/lib/../../share/drivara"}));
    EXPECT_EQ(DataFolders("", "/opt/d/lib", "/opt/d/lib"), std::vector<std::string>{"/opt/d/lib"});

    testing_files::TempFolder first, second;
    testing_files::writeBytes(second.file("SystemInit-Vr_007.som"), "x");
    testing_files::writeBytes(first.file("Preference.ini"), "x");
    testing_files::writeBytes(second.file("Preference.ini"), "x");
    const std::vector<std::string> folders{first.path(), second.path()};
    EXPECT_EQ(FindDataFile(folders, "SystemInit-Vr_007.som"), second.file("SystemInit-Vr_007.som"));
    EXPECT_EQ(FindDataFile(folders, "Preference.ini"), first.file("Preference.ini"));
    EXPECT_EQ(FindDataFile(folders, "Language.lng"), "");
}

TEST(CliPageFiles, TheExtensionNamesThePageMode)
{
    const struct {
        const char* path;
        int mode;
    } kPaths[] = {{"a.qdp", 1}, {"dir/b.PCM", 2}, {"c.vcm", 3}, {"/x/d.Tcm", 4}, {"e.som", 0},
                  {"f", 0},     {"g.qdp.bak", 0}, {"h.d/qdp", 0}, {".qdp", 1}};
    for (const auto& entry : kPaths)
        EXPECT_EQ(PageModeOfPath(entry.path), entry.mode) << entry.path;
}

TEST(CliRun, AWrongCommandLineStopsBeforeAnyPortIsTouched)
{
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* message;
    } kRuns[] = {
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
        {{"scope", "a.wfm", "--channels", "speed", "--ms", "333"}, 2, "not a Sec/Div entry"},
        {{"scope", "a.wfm", "--channels", "speed", "--trigger", "torque"}, 2, "one of the recorded channels: torque"},
        {{"scope", "a.wfm", "--channels", "speed", "--trigger", "speed", "--horizontal", "100"}, 2,
         "Horizontal value out of range!"},
        {{"scope", "a.wfm", "--channels", "speed", "--level", "40000"}, 2, "not a trigger level"},
        {{"scope", "a.wfm", "--channels", "speed", "--timeout", "0"}, 2, "not a number of seconds"},
        // A port that does not open is the line's failure, and names the port.
        {{"identify", "--port", "/nonexistent/port", "--baud", "19200", "--station", "1"}, 1,
         "Communication interface fails to start: COM"},
    };
    for (const auto& run : kRuns) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCli(run.arguments, out, err, nullptr), run.exitCode) << err.str();
        EXPECT_TRUE(Contains(err.str(), run.message)) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"--help"}, out, err, nullptr), 0);
    for (const char* command : {"ports", "identify", "read-params FILE", "write-params FILE", "get PR",
                                "set PR VALUE", "scope FILE.wfm", "alarms", "io", "compare FILE | --factory"})
        EXPECT_TRUE(Contains(out.str(), "\n  " + std::string(command) + " ")) << command;
}

}  // namespace
