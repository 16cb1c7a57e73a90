// The parameter page with its files: rows, save and load, model check, Pr.1F correction, help, bad files.
#include "ParamFixtures.h"

#include "param/PageFiles.h"
#include "param/PageMode.h"
#include "param/PageOpening.h"
#include "param/ParameterReference.h"
#include "tables/ParameterCatalogue.h"
#include "texts/LoadText.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace paramtest;

namespace {

class PageFiles : public PageTest {
protected:
    void SetUp() override
    {
        for (const char* model : {"Vr_006", "Vr_007", "Vr_102"})
            WriteModelFiles(folder, model);
    }
    bool load(ParameterPage& page, const std::string& path, LoadSource source = LoadSource::UserFile)
    {
        return LoadPageFile(page, path, source, LoadColumns::valuesOnly(), host);
    }
    // The one message shown so far, its caption and text.
    std::pair<std::string, std::string> onlyMessage() const
    {
        const auto shown = prompt.shown();
        EXPECT_EQ(shown.size(), 1u);
        return shown.empty() ? std::pair<std::string, std::string>() : std::pair{shown[0].caption, shown[0].text};
    }
};

// Replaces the first occurrence of `from` (which must be there).
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Runs `check` where permissions hold: as root, in a child that became nobody.
bool withoutPrivileges(const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && check() ? 0 : 1);
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// Catches rows shown, marked, greyed or locked against the built-in tables or the file's flags.
TEST_F(PageFiles, RowsOfBuiltInAndFlagsPagesAndTheirLocks)
{
    auto position = LoadedPage(environment, "Vr_007", PageModePosition);
    EXPECT_FALSE(position->flagsPage());
    EXPECT_EQ(position->rowOf(0x00), -1);
    const int row10 = position->rowOf(0x10);
    ASSERT_TRUE(row10 >= 0 && row10 < 0x10);  // rows skip hidden parameters
    EXPECT_EQ(position->row(row10).definition, "Parameter 10            ");
    EXPECT_EQ(position->row(row10).value, 35);
    EXPECT_EQ(position->label(position->rowOf(0x04)), "04 *");
    EXPECT_FALSE(position->row(position->rowOf(0x2B)).grey);  // unused shows grey in mode 1 only
    auto all = LoadedPage(environment, "Vr_007", PageModeParameter);
    EXPECT_EQ(all->rowCount(), 128);
    EXPECT_TRUE(all->row(0x2B).grey);
    EXPECT_FALSE(all->row(0x21).grey);
    // Real-time auto tuning locks the gains (and unused rows) of drive classes 2 and up.
    all->setRealtimeTuning(1);
    for (auto [p, locked] : {std::pair{0x10, true}, {0x30, true}, {0x0B, true}, {0x03, false}})
        EXPECT_EQ(all->autoTuningLocked(p), locked) << p;
    auto vr006 = LoadedPage(environment, "Vr_006", PageModeParameter);
    vr006->setRealtimeTuning(1);
    EXPECT_FALSE(vr006->autoTuningLocked(0x10));

    // The generated Zt_001 files carry the catalogue's flags: they decide the rows.
    ASSERT_TRUE(UseGeneratedModelFiles(folder, "Zt_001"));
    ParameterCatalogue::Model zt;
    ASSERT_TRUE(ParameterCatalogue::findModel("Zt_001", zt));
    auto torque = LoadedPage(environment, "Zt_001", PageModeTorque);
    EXPECT_TRUE(torque->flagsPage());
    int row = 0;
    for (const auto& p : zt.parameters) {
        const bool shown = p.modeBits & ParameterCatalogue::kTorqueBit;
        EXPECT_EQ(torque->rowOf(p.number), shown ? row : -1) << p.number;
        if (!shown)
            continue;
        EXPECT_EQ(torque->label(row), ParameterHex(p.number) + (p.restart ? " *" : ""));
        EXPECT_EQ(torque->row(row++).grey, p.unused) << p.number;
        EXPECT_EQ(torque->unused(p.number), p.unused) << p.number;
    }
    EXPECT_EQ(torque->rowCount(), row);

    WriteModelFiles(folder, "Zt_101");  // neither flags nor tables: everything, and it says so
    auto none = LoadedPage(environment, "Zt_101", PageModeVelocity);
    EXPECT_TRUE(none->typeError());
    EXPECT_EQ(none->rowCount(), 128);
}

// Catches a save or load that loses a value or brings back a hidden one, or a failed save that harms the file.
TEST_F(PageFiles, SaveThenLoadInEveryModeRestoresShownValuesAndHiddenReadZero)
{
    for (int mode = PageModeParameter; mode <= PageModeTorque; ++mode) {
        SCOPED_TRACE(mode);
        auto saved = LoadedPage(environment, "Vr_007", mode);
        for (int i = 0; i < saved->rowCount(); ++i)
            if (saved->row(i).parameter != kModelCodeParameter)
                saved->row(i).value = 1000 - 7 * saved->row(i).parameter;
        const std::string path = folder.file("set." + PageModeExtension(mode));
        ASSERT_TRUE(SavePageFile(*saved, path, host));
        EXPECT_EQ(host.status, LoadText(340));

        auto same = LoadedPage(environment, "Vr_007", mode);
        ASSERT_TRUE(load(*same, path));
        EXPECT_EQ(same->values(), saved->values());
        EXPECT_EQ(host.status, path);

        auto everything = LoadedPage(environment, "Vr_007", PageModeParameter);  // Pr.1F as the file has it
        ASSERT_TRUE(load(*everything, path, LoadSource::SystemInit));
        for (int p = 0; p < kParameterCount; ++p)
            EXPECT_EQ(everything->values()[p], saved->visible(p) ? saved->values()[p] : 0) << ParameterHex(p);
    }
    EXPECT_TRUE(prompt.shown().empty());

    auto page = LoadedPage(environment, "Vr_007", PageModeParameter);  // a save that cannot be written
    const std::string dir = folder.file("locked"), path = dir + "/set.qdp";
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    writeBytes(path, "old contents");
    ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    EXPECT_TRUE(withoutPrivileges([&] {
        return !SavePageFile(*page, path, host) && prompt.countMessages("4.Open File Error !") == 1;
    }));
    EXPECT_EQ(readBytes(path), "old contents");
    ::chmod(dir.c_str(), 0755);
}

// Catches an older model's file loaded unconverted, an incompatible one loaded, or a check without a model line.
TEST_F(PageFiles, AnOlderModelsFileIsConvertedOrRefused)
{
    const std::string vr006 = writeFile("old.qdp", "Vr_006", CatalogueValues("Vr_006", {{0x20, 150}, {0x22, 9}}));
    auto vr007 = LoadedPage(environment, "Vr_007", PageModeParameter);
    ASSERT_TRUE(load(*vr007, vr006));
    EXPECT_EQ(onlyMessage(), std::pair(std::string("Warning"),
                                       "Warning!\nThe version of loaded file is: Vr_006\n"
                                       "The version of parameter page is: Vr_007\n" + LoadText(363)));
    EXPECT_EQ(vr007->values()[0x20], 300);
    EXPECT_EQ(vr007->values()[0x22], 4);

    prompt.clear();
    auto vr102 = LoadedPage(environment, "Vr_102", PageModeParameter);
    const ParameterValues before = vr102->values();
    EXPECT_FALSE(load(*vr102, vr006));
    EXPECT_EQ(onlyMessage().second, "Warning!\nThe version of loaded file is: Vr_006\n"
                                    "The version of parameter page is: Vr_102\n"
                                    "Parameter values are incompatible between the two versions!!\n\n"
                                    "Please change the correctly version of Servo driver: Vr_006.");
    EXPECT_EQ(vr102->values(), before);

    std::string text = readBytes(vr006);  // a heading of two "*" only: no version check, nothing converted
    text.erase(text.find("* Type : Vr_006,\r\n"), 18);
    text.erase(text.find("* Mode : Pulse\r\n"), 16);
    writeBytes(folder.file("two.qdp"), text);
    prompt.clear();
    ASSERT_TRUE(load(*vr102, folder.file("two.qdp")));
    EXPECT_TRUE(prompt.shown().empty());
    EXPECT_EQ(vr102->values(), CatalogueValues("Vr_006", {{0x20, 150}, {0x22, 9}}));
}

// Catches a wrong Pr.1F kept, corrected where it must not be, or not written back.
TEST_F(PageFiles, AWrongPr1FInAChosenFileIsCorrectedAndWrittenBack)
{
    const ParameterValues values = CatalogueValues("Vr_102", {{kModelCodeParameter, 5}, {0x10, 77}});
    using Source = LoadSource;
    struct Case { int mode; LoadSource source; bool repair; int32_t pr1F; bool rewritten; };
    const Case cases[] = {
        {PageModeParameter, Source::UserFile, true, 2, true}, {PageModeParameter, Source::OfflineStart, true, 2, true},
        {PageModeParameter, Source::UserFile, false, 5, false}, {PageModeParameter, Source::SystemInit, true, 5, false},
        {PageModePosition, Source::UserFile, true, 0, false},  // Pr.1F not shown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.source));
        prompt.clear();
        const std::string path = writeFile("wrong1f.qdp", "Vr_102", values);
        environment.repairPr1F = c.repair;
        auto page = LoadedPage(environment, "Vr_102", c.mode);
        ASSERT_TRUE(load(*page, path, c.source));
        EXPECT_EQ(page->values()[kModelCodeParameter], c.pr1F);
        EXPECT_EQ(prompt.countMessages(LoadText(601)), c.rewritten ? 1 : 0);
        EXPECT_EQ(readBytes(path) == SomText("Vr_102", values), !c.rewritten);
        auto reread = LoadedPage(environment, "Vr_102", PageModeParameter);
        ASSERT_TRUE(load(*reread, path, LoadSource::SystemInit));
        EXPECT_EQ(reread->values()[kModelCodeParameter], c.rewritten ? 2 : 5);
        EXPECT_EQ(reread->values()[0x10], 77);
    }
}

// Catches a bad file loaded in part, refused without its message and line, or changing the page.
TEST_F(PageFiles, BadFilesAreRefusedWithTheirLineAndLeaveThePageUnchanged)
{
    const std::string good = SomText("Vr_007", CatalogueValues("Vr_007")), rs(1, '\x1E');
    const std::string line10 = ParameterLine(0x10, "Parameter 10", "     1~2000", "unit 10", "35");
    const auto at21 = [](int text) { return "bad.qdp, line 21: " + LoadText(text); };
    const std::pair<std::string, std::string> cases[] = {
        {good + std::string(70000, ' '), "65536 characters"},
        {std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10), "binary data"},
        {good.substr(0, good.find(" 41  !")), "bad.qdp, line 69: " + LoadText(1104)},  // cut after Pr.40
        {good.substr(0, good.find("\r\n", good.find(" 7F  !"))), "bad.qdp, line 132: " + LoadText(1104)},
        {replaced(good, "Parameter 10", "Parameter,10"), at21(1106)}, {replaced(good, "unit 10", "unit#"), at21(1106)},
        {replaced(good, "Parameter 10", "Parameter!10"), at21(1106)},
        {replaced(good, "     1~2000", "  " + rs + "  1~2000"), at21(1106)},
        {replaced(good, ", 35\r\n", ", 12a\r\n"), at21(1108)}, {replaced(good, ", 35\r\n", ", 70000\r\n"), at21(1108)},
        {replaced(good, line10, ""), at21(1105)},  // a line missing
        {replaced(good, line10, " 10  !Parameter 10!   #unit 10#   " + rs + "1~2000" + rs + " , 35\r\n"), at21(1107)},
    };
    auto page = LoadedPage(environment, "Vr_007", PageModeParameter);
    page->row(0x10).value = 1234;
    const ParameterValues before = page->values();
    for (const auto& [bytes, message] : cases) {
        SCOPED_TRACE(message);
        prompt.clear();
        writeBytes(folder.file("bad.qdp"), bytes);
        EXPECT_FALSE(load(*page, folder.file("bad.qdp")));
        EXPECT_NE(onlyMessage().second.find(message), std::string::npos) << onlyMessage().second;
        EXPECT_EQ(page->values(), before);
    }
    prompt.clear();
    EXPECT_FALSE(load(*page, folder.file("none.qdp")));
    EXPECT_EQ(onlyMessage(), std::pair(std::string("Error"), std::string("7.Open File Error !")));
    EXPECT_EQ(page->values(), before);
}

// Catches a shifted, unclosed or overlong help block, or an oversized or missing file, shown.
TEST_F(PageFiles, HelpBeyondTheLimitsIsRefusedWithAMessage)
{
    const std::string qdt = QdtText();
    EXPECT_EQ(FindHelpBlock(qdt, 129).status, HelpBlockStatus::NoBlock);
    EXPECT_EQ(FindHelpBlock("{{{open", 1).status, HelpBlockStatus::Unclosed);
    EXPECT_EQ(FindHelpBlock("{{{" + std::string(1003, 'x') + "}}}", 1).status, HelpBlockStatus::Ok);
    EXPECT_EQ(FindHelpBlock("{{{" + std::string(1004, 'x') + "}}}", 1).status, HelpBlockStatus::TooLong);
    writeBytes(folder.file("big.qdt"), "{{{a}}}" + std::string(70000, ' '));
    const HelpBlock big = ReadHelpBlock(folder.file("big.qdt"), 1);
    EXPECT_EQ(big.fileStatus, TextFileStatus::TooLarge);
    EXPECT_NE(HelpBlockProblemText(big, "big.qdt", 1).find("65536"), std::string::npos);

    auto page = LoadedPage(environment, "Vr_007", PageModeParameter);
    writeBytes(folder.file("ParameterRef-Vr_007.qdt"), replaced(qdt, "Help of Pr.10", std::string(1100, 'h')));
    ShowRowHelp(*page, page->rowOf(0x11), host);
    EXPECT_EQ(host.description, "Help of Pr.11\nline 2");
    EXPECT_EQ(host.status, LoadText(348));
    ShowRowHelp(*page, page->rowOf(0x10), host);
    EXPECT_EQ(host.description, "");
    EXPECT_NE(onlyMessage().second.find("help block 17 is longer than 1003 characters"), std::string::npos);
    prompt.clear();
    ::unlink(folder.file("ParameterRef-Vr_007.qdt").c_str());
    ShowRowHelp(*page, page->rowOf(0x11), host);
    EXPECT_EQ(onlyMessage(), std::pair(std::string("Error"), std::string("2.Open File Error !")));
}
