// The data files made from the catalogue: byte-exact pieces of the layout,
// the format's limits, and every model's files in the runtime folder read
// back by the parameter page's own readers.

#include "param/ParameterFileFormat.h"
#include "param/ParameterFlags.h"
#include "param/ParameterReference.h"
#include "param/RangeText.h"
#include "tables/ParameterCatalogue.h"
#include "tables/ParameterFileText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

namespace {

using Model = ParameterCatalogue::Model;
const std::string kRs(1, '\x1E');

Model modelNamed(const std::string& name)
{
    Model m;
    EXPECT_TRUE(ParameterCatalogue::findModel(name, m)) << name;
    return m;
}

std::string trimmed(const std::string& text)
{
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

// Catches a range text the page's fixed-place range check would misread.
TEST(ParameterFiles, RangeTextHasTheFixedLayout)
{
    struct Case { int minimum; int maximum; const char* text; };
    const Case cases[] = {{1, 2000, "     1~2000"},    {0, 255, "     0~255"},
                          {25, 2500, "    25~2500"},  {-10000, 10000, "-10000~10000"},
                          {-2047, 2047, "- 2047~2047"}, {-32768, 32767, "-32768~32767"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ParameterFileText::rangeText(c.minimum, c.maximum), c.text);
        EXPECT_EQ(ParseRangeText(c.text).minimum, c.minimum) << c.text;
        EXPECT_EQ(ParseRangeText(c.text).maximum, c.maximum) << c.text;
    }
}

// Catches a heading, parameter line, closing block or flag section that
// drifts from the parameter-set layout.
TEST(ParameterFiles, SystemInitFilesHaveTheParameterSetLayout)
{
    const std::string text = ParameterFileText::systemInitFile(modelNamed("Vr_007"));
    const std::string header = "* Servo Parameter Setting Value,\r\n* Model : QDDG Series,\r\n* Type : Vr_007,\r\n\r\n";
    const std::string trailer = std::string(41, '-') + "\r\n* Mode : Pulse\r\nEnd of file.,\r\n";
    EXPECT_EQ(text.substr(0, header.size()), header);
    EXPECT_EQ(text.substr(text.size() - trailer.size()), trailer);  // built-in tables: no flags
    EXPECT_NE(text.find("\r\n 11  !1st velocity loop gain  !   " + kRs + "     1~3500    " + kRs +
                        "   #Hz             # , 36\r\n 12  !"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n 52  !Speed command offset    !   " + kRs + "- 2047~2047    " + kRs +
                        "   #0.3 mV         # , 0\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 135);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);

    // A later model carries its flags after the parameter lines.
    const std::string vr008 = ParameterFileText::systemInitFile(modelNamed("Vr_008"));
    const size_t end = vr008.find("End of file.,\r\n");
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(vr008.find("[Setup]\r\nFileVersion=1.0.0\r\n"), end + 15);
    EXPECT_NE(vr008.find("[Par0x1f]\r\nReboot=0\r\nPermanentlcd=1\r\nModeBit=0\r\nAutotunelcd=0\r\n"), std::string::npos);
    EXPECT_NE(vr008.find("[Par0x44]\r\nReboot=1\r\nPermanentlcd=0\r\nModeBit=7\r\nAutotunelcd=0\r\n"), std::string::npos);
}

// Catches a reference file whose blocks are shifted, lack their heading
// lines, or speak of the Pr.21 lock on a model without it.
TEST(ParameterFiles, ReferenceFileHasAnIntroductionThenOneBlockPerParameter)
{
    const std::string text = ParameterFileText::parameterRefFile(modelNamed("Vr_007"));
    EXPECT_EQ(text.rfind("Parameter reference of the Vr_007 drive\r\n", 0), 0u);
    EXPECT_EQ(FindHelpBlock(text, 0x12).text.rfind("Pr.11 1st velocity loop gain\nInitial Value: 36\nRange: 1~3500\n"
                                                   "Unit: Hz\nFunction:\nYou can determine the response of the velocity loop.",
                                                   0),
              0u);
    EXPECT_NE(FindHelpBlock(text, 0x05).text.find("power-up"), std::string::npos);  // restart-marked
    const auto introduction = [](const std::string& file) { return file.substr(0, file.find("{{{")); };
    EXPECT_NE(introduction(text).find("(Pr.21)"), std::string::npos);
    EXPECT_EQ(introduction(ParameterFileText::parameterRefFile(modelNamed("Vr_006"))).find("(Pr.21)"),
              std::string::npos);
}

// Catches a model whose files the build did not write as generated, that a
// reader refuses, or that read back other fields than the catalogue's (the
// flags, slow to read, of the first model of each class that has them).
TEST(ParameterFiles, EveryModelsFilesInTheRuntimeFolderReadBackAsTheCatalogue)
{
    std::set<int> classesWithFlagsRead;
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        SCOPED_TRACE(m.name);
        EXPECT_TRUE(ParameterFileText::problems(m).empty());
        const std::string folder = std::string(DRIVARA_RUNTIME_DIR) + "/";
        const std::string somPath = folder + ParameterFileText::systemInitFileName(m.name);
        const std::string qdtPath = folder + ParameterFileText::parameterRefFileName(m.name);
        std::string som, qdt;
        ASSERT_EQ(ReadLimitedTextFile(somPath, som), TextFileStatus::Ok);
        ASSERT_EQ(ReadLimitedTextFile(qdtPath, qdt), TextFileStatus::Ok);
        EXPECT_EQ(som, ParameterFileText::systemInitFile(m));
        EXPECT_EQ(qdt, ParameterFileText::parameterRefFile(m));

        ParameterFileContent content;
        ASSERT_TRUE(ParseParameterFile(som, content).ok());
        EXPECT_EQ(content.modelName, m.name);
        ParameterFlagsTable flags;
        if (classesWithFlagsRead.insert(m.driveClass).second) {
            flags = ReadParameterFlags(somPath);
            EXPECT_EQ(flags.valid(), !ParameterCatalogue::hasBuiltInPageTables(m.driveClass));
        }
        for (const auto& p : m.parameters) {
            const int n = p.number;
            EXPECT_EQ(trimmed(content.definitions[n]), p.definition) << n;
            EXPECT_EQ(trimmed(content.units[n]), p.unit) << n;
            EXPECT_EQ(content.values[n], p.factory) << n;
            EXPECT_EQ(ParseRangeText(content.ranges[n]).minimum, p.minimum) << n;
            EXPECT_EQ(ParseRangeText(content.ranges[n]).maximum, p.maximum) << n;
            EXPECT_EQ(FindHelpBlock(qdt, n + 1).status, HelpBlockStatus::Ok) << n;
            if (!flags.valid())
                continue;
            EXPECT_EQ(flags.flags[n].modeBits, p.modeBits) << n;
            EXPECT_EQ(flags.flags[n].permanentLocked != 0, p.unused) << n;
            EXPECT_EQ(flags.flags[n].reboot != 0, p.restart) << n;
            EXPECT_EQ(flags.flags[n].autotuneLocked != 0, p.autoTuneLocked) << n;
        }
        EXPECT_EQ(FindHelpBlock(qdt, 129).status, HelpBlockStatus::NoBlock);
    }
}

// Catches a catalogue text or range the files could not carry: it must be
// found before any file is written.
TEST(ParameterFiles, ProblemsAreFoundBeforeAnyFileIsWritten)
{
    static const std::string longHelp(1000, 'x');
    const std::pair<const char*, std::function<void(Model&)>> faults[] = {
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
    for (const auto& [what, make] : faults) {
        Model m = modelNamed("Vr_007");
        make(m);
        EXPECT_FALSE(ParameterFileText::problems(m).empty()) << what;
    }
}

}  // namespace
