// The data files made from the catalogue: byte-exact pieces of the layout,
// a read-back by the reader's own rules (fields found by their delimiters
// alone, ranges by the page's fixed-weight range check, flags by section),
// the format's limits, and the files the build put in the runtime folder.

#include "tables/ParameterCatalogue.h"
#include "tables/ParameterFileText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Model = ParameterCatalogue::Model;
constexpr char RS = '\x1E';

Model modelNamed(const std::string& name)
{
    Model m;
    EXPECT_TRUE(ParameterCatalogue::findModel(name, m)) << name;
    return m;
}

// The k-th texts between successive pairs of a delimiter, from the start.
std::vector<std::string> between(const std::string& text, char delimiter, size_t wanted)
{
    std::vector<std::string> out;
    size_t at = 0;
    while (out.size() < wanted) {
        const size_t open = text.find(delimiter, at);
        const size_t close = open == std::string::npos ? open : text.find(delimiter, open + 1);
        if (close == std::string::npos)
            break;
        out.push_back(text.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return out;
}

// Values: each comma after the first three starts one, up to the line end.
std::vector<int> values(const std::string& text)
{
    std::vector<int> out;
    int commas = 0;
    for (size_t i = 0; i < text.size() && out.size() < 128; ++i) {
        if (text[i] != ',' || ++commas <= 3)
            continue;
        const size_t end = text.find('\n', i);
        out.push_back(std::atoi(text.substr(i + 1, end - i - 1).c_str()));
    }
    return out;
}

// The page's range check: a "-" in characters 0-4 makes the minimum
// negative, characters 1-5 carry weights 10000..1, the maximum runs from
// character 7 to the first blank.
void rangeOf(std::string text, int& minimum, int& maximum)
{
    text.resize(16, ' ');
    bool negative = text.substr(0, 5).find('-') != std::string::npos;
    minimum = 0;
    for (int i = 1, weight = 10000; i <= 5; ++i, weight /= 10)
        minimum += std::isdigit(static_cast<unsigned char>(text[i])) ? (text[i] - '0') * weight : 0;
    if (negative)
        minimum = -minimum;
    maximum = std::atoi(text.substr(7, text.find(' ', 7) - 7).c_str());
}

// The value of a key of a section, as an initialisation-file read finds it.
std::string iniValue(const std::string& text, const std::string& section, const std::string& key)
{
    size_t at = text.find("\n[" + section + "]\r\n");
    if (at == std::string::npos)
        return "missing";
    at = text.find('\n', at + 1) + 1;
    while (at < text.size() && text[at] != '[') {
        const size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
        at = end + 2;
    }
    return "missing";
}

std::vector<std::string> helpBlocks(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t at = text.find("{{{"); at != std::string::npos; at = text.find("{{{", at + 3))
        out.push_back(text.substr(at + 3, text.find("}}}", at) - at - 3));
    return out;
}

struct RangeCase {
    int minimum;
    int maximum;
    const char* text;
};

TEST(ParameterFiles, RangeTextHasTheFixedLayout)
{
    const RangeCase cases[] = {{1, 2000, "     1~2000"},     {0, 255, "     0~255"},
                               {25, 2500, "    25~2500"},   {-10000, 10000, "-10000~10000"},
                               {-2047, 2047, "- 2047~2047"}, {-32768, 32767, "-32768~32767"}};
    for (const RangeCase& c : cases) {
        EXPECT_EQ(ParameterFileText::rangeText(c.minimum, c.maximum), c.text);
        int minimum = 0, maximum = 0;
        rangeOf(c.text, minimum, maximum);
        EXPECT_EQ(minimum, c.minimum) << c.text;
        EXPECT_EQ(maximum, c.maximum) << c.text;
    }
}

TEST(ParameterFiles, SystemInitFileHasTheParameterSetLayout)
{
    const std::string text = ParameterFileText::systemInitFile(modelNamed("Vr_007"));
    const std::string header = "* Servo Parameter Setting Value,\r\n* Model : QDDG Series,\r\n* Type : Vr_007,\r\n\r\n";
    const std::string trailer = "-----------------------------------------\r\n* Mode : Pulse\r\nEnd of file.,\r\n";
    ASSERT_EQ(trailer.find('*'), 43u);  // 41 hyphens and the line end before it
    EXPECT_EQ(text.substr(0, header.size()), header);
    EXPECT_EQ(text.substr(text.size() - trailer.size()), trailer);  // built-in tables: no flags
    EXPECT_NE(text.find(std::string("\r\n 11  !1st velocity loop gain  !   ") + RS + "     1~3500    " + RS +
                        "   #Hz             # , 36\r\n 12  !"),
              std::string::npos);
    EXPECT_NE(text.find(std::string("\r\n 52  !Speed command offset    !   ") + RS + "- 2047~2047    " + RS +
                        "   #0.3 mV         # , 0\r\n"),
              std::string::npos);
    size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    EXPECT_EQ(lines, 135u);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

TEST(ParameterFiles, LaterModelsCarryTheirFlagsAfterTheParameterLines)
{
    const std::string text = ParameterFileText::systemInitFile(modelNamed("Vr_008"));
    const size_t end = text.find("End of file.,\r\n");
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(text.find("[Setup]\r\nFileVersion=1.0.0\r\n"), end + 15);
    EXPECT_NE(text.find("[Par0x1f]\r\nReboot=0\r\nPermanentlcd=1\r\nModeBit=0\r\nAutotunelcd=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Par0x44]\r\nReboot=1\r\nPermanentlcd=0\r\nModeBit=7\r\nAutotunelcd=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Par0x10]\r\nReboot=0\r\nPermanentlcd=0\r\nModeBit=1\r\nAutotunelcd=1\r\n"), std::string::npos);
}

TEST(ParameterFiles, ReferenceFileHasAnIntroductionThenOneBlockPerParameter)
{
    const std::string text = ParameterFileText::parameterRefFile(modelNamed("Vr_007"));
    EXPECT_EQ(text.rfind("Parameter reference of the Vr_007 drive\r\n", 0), 0u);
    const std::vector<std::string> blocks = helpBlocks(text);
    ASSERT_EQ(blocks.size(), 128u);  // block N+1 is Pr.N
    EXPECT_EQ(blocks[0x11].rfind("Pr.11 1st velocity loop gain\r\nInitial Value: 36\r\nRange: 1~3500\r\nUnit: Hz\r\n"
                                 "Function:\r\nYou can determine the response of the velocity loop.",
                                 0),
              0u);
    EXPECT_NE(blocks[0x04].find("power-up"), std::string::npos);  // restart-marked
    // Only models with real-time auto tuning speak of its lock.
    const auto introduction = [](const std::string& file) { return file.substr(0, file.find("{{{")); };
    EXPECT_NE(introduction(text).find("(Pr.21)"), std::string::npos);
    EXPECT_EQ(introduction(ParameterFileText::parameterRefFile(modelNamed("Vr_006"))).find("(Pr.21)"),
              std::string::npos);
}

// Every model's files read back by the reader's rules give the catalogue's
// fields, and stay within the format's limits.
TEST(ParameterFiles, EveryModelReadsBackWithinTheLimits)
{
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        EXPECT_TRUE(ParameterFileText::problems(m).empty()) << m.name << ": " << ParameterFileText::problems(m)[0];
        const std::string som = ParameterFileText::systemInitFile(m);
        const std::string qdt = ParameterFileText::parameterRefFile(m);
        EXPECT_LT(som.size(), 65536u) << m.name;
        EXPECT_LT(qdt.size(), 65536u) << m.name;
        const size_t third = som.find('*', som.find('*', som.find('*') + 1) + 1);
        EXPECT_EQ(som.substr(third + 9, 6), m.name);

        const auto definitions = between(som, '!', 128), ranges = between(som, RS, 128), units = between(som, '#', 128);
        const auto read = values(som);
        ASSERT_EQ(definitions.size(), 128u) << m.name;
        ASSERT_EQ(ranges.size(), 128u) << m.name;
        ASSERT_EQ(units.size(), 128u) << m.name;
        ASSERT_EQ(read.size(), 128u) << m.name;
        const bool flags = !ParameterCatalogue::hasBuiltInPageTables(m.driveClass);
        for (const auto& p : m.parameters) {
            const auto n = static_cast<size_t>(p.number);
            EXPECT_EQ(definitions[n].substr(0, definitions[n].find_last_not_of(' ') + 1), p.definition);
            EXPECT_EQ(units[n].substr(0, units[n].find_last_not_of(' ') + 1), p.unit);
            EXPECT_EQ(read[n], p.factory) << m.name << " " << n;
            int minimum = 0, maximum = 0;
            rangeOf(ranges[n], minimum, maximum);
            EXPECT_EQ(minimum, p.minimum) << m.name << " " << n;
            EXPECT_EQ(maximum, p.maximum) << m.name << " " << n;
            char section[16];
            std::snprintf(section, sizeof section, "Par0x%02x", p.number);
            EXPECT_EQ(iniValue(som, section, "ModeBit"), flags ? std::to_string(p.modeBits) : "missing");
            EXPECT_EQ(iniValue(som, section, "Permanentlcd"), flags ? (p.unused ? "1" : "0") : "missing");
        }
        const std::vector<std::string> blocks = helpBlocks(qdt);
        ASSERT_EQ(blocks.size(), 128u) << m.name;
        for (size_t b = 0; b < blocks.size(); ++b)
            EXPECT_LE(blocks[b].size(), 1003u) << m.name << " block " << b + 1;
    }
}

struct Fault {
    const char* what;
    std::function<void(Model&)> make;
};

TEST(ParameterFiles, ProblemsAreFoundBeforeAnyFileIsWritten)
{
    static const std::string longHelp(1000, 'x');
    const Fault faults[] = {
        {"comma in a definition", [](Model& m) { m.parameters[5].definition = "Speed, internal"; }},
        {"! in a unit", [](Model& m) { m.parameters[5].unit = "rpm!"; }},
        {"# in a definition", [](Model& m) { m.parameters[5].definition = "Speed #1"; }},
        {"RS in a unit", [](Model& m) { m.parameters[5].unit = "\x1E"; }},
        {"help block over 1003", [](Model& m) { m.parameters[5].help = longHelp.c_str(); }},
        {"brace in help", [](Model& m) { m.parameters[5].help = "see }}} here"; }},
        {"minimum of six digits", [](Model& m) { m.parameters[5].minimum = -100000; }},
        {"negative maximum", [](Model& m) { m.parameters[5].minimum = -5, m.parameters[5].maximum = -1; }},
        {"factory above the maximum", [](Model& m) { m.parameters[5].factory = 4; }},
        {"model name of seven", [](Model& m) { m.name = "Vr_0006"; }},
    };
    for (const Fault& f : faults) {
        Model m = modelNamed("Vr_007");
        f.make(m);
        EXPECT_FALSE(ParameterFileText::problems(m).empty()) << f.what;
    }
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ParameterFiles, TheBuildWroteEveryModelsFiles)
{
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        const std::string folder = std::string(DRIVARA_RUNTIME_DIR) + "/";
        EXPECT_EQ(fileText(folder + "SystemInit-" + m.name + ".som"), ParameterFileText::systemInitFile(m));
        EXPECT_EQ(fileText(folder + "ParameterRef-" + m.name + ".qdt"), ParameterFileText::parameterRefFile(m));
    }
}

}  // namespace
