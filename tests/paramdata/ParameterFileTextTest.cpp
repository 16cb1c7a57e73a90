// The data files made from the catalogue: every model's files in the runtime
// folder read back by the parameter page's own reader and rewritten by its
// writer (whose layout test_param checks byte for byte), and the format's limits.

#include "param/ParameterFileFormat.h"
#include "param/ParameterFlags.h"
#include "param/ParameterReference.h"
#include "param/RangeText.h"
#include "tables/ParameterCatalogue.h"
#include "tables/ParameterFileText.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>
#include <string>

namespace {

using Model = ParameterCatalogue::Model;

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

// Catches help blocks shifted or without their heading lines, or a Pr.21 note on a model without it.
TEST(ParameterFiles, ReferenceFileHasAnIntroductionThenOneBlockPerParameter)
{
    const std::string text = ParameterFileText::parameterRefFile(modelNamed("Vr_007"));
    EXPECT_EQ(text.rfind("Parameter reference of the Vr_007 drive\r\n", 0), 0u);
    const std::string pr11 = "Pr.11 1st velocity loop gain\nInitial Value: 36\nRange: 1~3500\nUnit: Hz\nFunction:\n"
                             "You can determine the response of the velocity loop.";
    EXPECT_EQ(FindHelpBlock(text, 0x12).text.substr(0, pr11.size()), pr11);
    EXPECT_NE(FindHelpBlock(text, 0x05).text.find("power-up"), std::string::npos);  // restart-marked
    const auto introduction = [](const std::string& file) { return file.substr(0, file.find("{{{")); };
    EXPECT_NE(introduction(text).find("(Pr.21)"), std::string::npos);
    EXPECT_EQ(introduction(ParameterFileText::parameterRefFile(modelNamed("Vr_006"))).find("(Pr.21)"),
              std::string::npos);
}

// Catches a model's files not written as generated, off the layout, refused, or read back other than
// the catalogue (the flags, slow to read, of the first model of each class).
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
        std::array<ParameterFileLine, kParameterCount> lines;
        for (int p = 0; p < kParameterCount; ++p)
            lines[p] = {true, content.definitions[p], content.ranges[p], content.units[p], std::to_string(content.values[p])};
        std::string written;
        ASSERT_TRUE(FormatParameterFile(m.name, lines, written));
        EXPECT_EQ(som.substr(0, written.size()), written);  // the flags follow
        EXPECT_EQ(som.size() == written.size(), ParameterCatalogue::hasBuiltInPageTables(m.driveClass));
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

// Catches a catalogue text or range the files could not carry, not found before any file is written.
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
