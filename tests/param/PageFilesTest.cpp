// The parameter page with its files: which rows a model and mode show, save
// and load in every mode, the model check, conversion, the Pr.1F
// correction, and bad files that must leave the page as it was.
#include "ParamFixtures.h"
#include "RecordingHost.h"

#include "param/ModelDriveType.h"
#include "param/ModelFiles.h"
#include "param/PageFiles.h"
#include "param/PageMode.h"
#include "param/PageOpening.h"
#include "platform/ScriptedUserPrompt.h"
#include "texts/LoadText.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace paramtest;

namespace {

class PageFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        environment.workingDirectory = folder.path();
        for (const char* model : {"Vr_006", "Vr_007", "Vr_102"})
            WriteModelFiles(folder, DriveLikeSom(model));
    }
    // A file of `model` holding `values`.
    std::string fileOf(const std::string& model, const ParameterValues& values, const std::string& name)
    {
        SomSpec spec = DriveLikeSom(model);
        spec.values = values;
        writeBytes(folder.file(name), SomText(spec));
        return folder.file(name);
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

    TempFolder folder;
    ParamEnvironment environment;
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped{prompt};
    RecordingHost host;
};

// Runs `check` where permissions hold: as root, in a child that became
// nobody. Returns check's result.
bool withoutPrivileges(const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && check();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_F(PageFiles, RowsOfBuiltInAndFlagsPages)
{
    auto position = LoadedPage(environment, "Vr_007", PageModePosition);
    EXPECT_FALSE(position->flagsPage());
    EXPECT_LT(position->rowCount(), 128);
    EXPECT_EQ(position->rowOf(0x00), -1);
    const int row10 = position->rowOf(0x10);
    ASSERT_GE(row10, 0);
    EXPECT_LT(row10, 0x10);  // rows skip hidden parameters
    EXPECT_EQ(position->row(row10).parameter, 0x10);
    EXPECT_EQ(position->row(row10).definition, "Parameter 10            ");
    EXPECT_EQ(position->row(row10).value, 35);
    EXPECT_EQ(position->label(position->rowOf(0x04)), "04 *");
    EXPECT_FALSE(position->row(position->rowOf(0x2B)).grey);  // unused shows grey in mode 1 only
    auto all = LoadedPage(environment, "Vr_007", PageModeParameter);
    EXPECT_EQ(all->rowCount(), 128);
    EXPECT_TRUE(all->row(0x2B).grey);
    EXPECT_FALSE(all->row(0x21).grey);

    // Flags decide a flags page; the torque bit shows a row in torque mode.
    SomSpec zt = DriveLikeSom("Zt_001");
    zt.flags = [](int p) { return ParameterFlag{p == 0x30, p == 0x31, static_cast<uint8_t>(p < 0x40 ? 4 : 1), 0}; };
    WriteModelFiles(folder, zt);
    auto torque = LoadedPage(environment, "Zt_001", PageModeTorque);
    EXPECT_TRUE(torque->flagsPage());
    EXPECT_EQ(torque->rowCount(), 0x40);
    EXPECT_EQ(torque->label(0x30), "30 *");
    EXPECT_EQ(torque->label(0x2F), "2F");
    EXPECT_TRUE(torque->row(0x31).grey);
    EXPECT_TRUE(torque->unused(0x31));

    // A model with neither flags nor tables shows everything and says so.
    SomSpec bare = DriveLikeSom("Zt_101");
    WriteModelFiles(folder, bare);
    auto none = LoadedPage(environment, "Zt_101", PageModeVelocity);
    EXPECT_TRUE(none->typeError());
    EXPECT_EQ(none->rowCount(), 128);
}

TEST_F(PageFiles, AutoTuningLocksTheGainsOfNewerDrivesOnly)
{
    auto vr007 = LoadedPage(environment, "Vr_007", PageModeParameter);
    EXPECT_FALSE(vr007->autoTuningLocked(0x10));
    vr007->setRealtimeTuning(1);
    EXPECT_TRUE(vr007->autoTuningLocked(0x10));
    EXPECT_TRUE(vr007->autoTuningLocked(0x30));
    EXPECT_TRUE(vr007->autoTuningLocked(0x0B));  // unused parameters too
    EXPECT_FALSE(vr007->autoTuningLocked(0x03));
    auto vr006 = LoadedPage(environment, "Vr_006", PageModeParameter);
    vr006->setRealtimeTuning(1);
    EXPECT_FALSE(vr006->autoTuningLocked(0x10));  // drive class 1
}

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
        EXPECT_EQ(host.lastStatus(), LoadText(340));

        auto same = LoadedPage(environment, "Vr_007", mode);
        ASSERT_TRUE(load(*same, path));
        EXPECT_EQ(PageValues(*same), PageValues(*saved));
        EXPECT_EQ(host.lastStatus(), path);

        // Into a page of every parameter (Pr.1F left as the file has it).
        environment.repairPr1F = false;
        auto everything = LoadedPage(environment, "Vr_007", PageModeParameter);
        environment.repairPr1F = true;
        ASSERT_TRUE(load(*everything, path));
        for (int p = 0; p < kParameterCount; ++p)
            EXPECT_EQ(everything->values()[p], saved->visible(p) ? saved->values()[p] : 0) << ParameterHex(p);
    }
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(PageFiles, AnOlderModelsFileIsConvertedOrRefused)
{
    ParameterValues values = CatalogueValues("Vr_006");
    values[0x20] = 150;
    values[0x22] = 9;
    const std::string vr006 = fileOf("Vr_006", values, "old.qdp");

    auto vr007 = LoadedPage(environment, "Vr_007", PageModeParameter);
    ASSERT_TRUE(load(*vr007, vr006));
    const auto [caption, text] = onlyMessage();
    EXPECT_EQ(caption, "Warning");
    EXPECT_EQ(text, "Warning!\nThe version of loaded file is: Vr_006\nThe version of parameter page is: Vr_007\n" +
                        LoadText(363));
    EXPECT_EQ(vr007->values()[0x20], 300);
    EXPECT_EQ(vr007->values()[0x22], 4);

    prompt.clear();
    auto vr102 = LoadedPage(environment, "Vr_102", PageModeParameter);
    const ParameterValues before = PageValues(*vr102);
    EXPECT_FALSE(load(*vr102, vr006));
    EXPECT_EQ(onlyMessage().second, "Warning!\nThe version of loaded file is: Vr_006\nThe version of parameter page is: Vr_102\n"
                                    "Parameter values are incompatible between the two versions!!\n\n"
                                    "Please change the correctly version of Servo driver: Vr_006.");
    EXPECT_EQ(PageValues(*vr102), before);
}

TEST_F(PageFiles, AWrongPr1FInAChosenFileIsCorrectedAndWrittenBack)
{
    ParameterValues values = CatalogueValues("Vr_102");
    values[kModelCodeParameter] = 5;
    values[0x10] = 77;
    struct Case { int mode; LoadSource source; bool repair; int32_t pr1F; bool rewritten; };
    const Case cases[] = {
        {PageModeParameter, LoadSource::UserFile, true, 2, true},
        {PageModeParameter, LoadSource::OfflineStart, true, 2, true},
        {PageModeParameter, LoadSource::UserFile, false, 5, false},
        {PageModeParameter, LoadSource::SystemInit, true, 5, false},
        {PageModePosition, LoadSource::UserFile, true, 0, false},  // Pr.1F not shown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.source));
        prompt.clear();
        const std::string path = fileOf("Vr_102", values, "wrong1f.qdp");
        const std::string original = readBytes(path);
        environment.repairPr1F = c.repair;
        auto page = LoadedPage(environment, "Vr_102", c.mode);
        ASSERT_TRUE(load(*page, path, c.source));
        EXPECT_EQ(page->values()[kModelCodeParameter], c.pr1F);
        EXPECT_EQ(prompt.countMessages(LoadText(601)), c.rewritten ? 1 : 0);
        if (!c.rewritten) {
            EXPECT_EQ(readBytes(path), original);
            continue;
        }
        auto reread = LoadedPage(environment, "Vr_102", PageModeParameter);
        ASSERT_TRUE(load(*reread, path, LoadSource::SystemInit));
        EXPECT_EQ(reread->values()[kModelCodeParameter], 2);
        EXPECT_EQ(reread->values()[0x10], 77);
    }
}

TEST_F(PageFiles, AFileWithoutItsModelLineLoadsWithoutAVersionCheck)
{
    ParameterValues values = CatalogueValues("Vr_006");
    values[0x20] = 150;
    std::string text = readBytes(fileOf("Vr_006", values, "two.qdp"));
    text.erase(text.find("* Type : Vr_006,\r\n"), 18);
    text.erase(text.find("* Mode : Pulse\r\n"), 16);
    writeBytes(folder.file("two.qdp"), text);
    auto vr102 = LoadedPage(environment, "Vr_102", PageModeParameter);
    ASSERT_TRUE(load(*vr102, folder.file("two.qdp")));
    EXPECT_TRUE(prompt.shown().empty());
    EXPECT_EQ(PageValues(*vr102), values);  // nothing converted, nothing shifted
}

TEST_F(PageFiles, BadFilesAreRefusedAndLeaveThePageUnchanged)
{
    const std::string good = readBytes(fileOf("Vr_007", CatalogueValues("Vr_007"), "good.qdp"));
    const std::string line10 = ParameterLine(0x10, "Parameter 10", "     1~2000", "unit 10", "35");
    const size_t at10 = good.find(line10);
    ASSERT_NE(at10, std::string::npos);
    std::string withComma = good, withValue = good;
    withComma.replace(at10, line10.size(), ParameterLine(0x10, "Gain, first", "     1~2000", "unit 10", "35"));
    withValue.replace(at10, line10.size(), ParameterLine(0x10, "Parameter 10", "     1~2000", "unit 10", "3x5"));
    struct Case { const char* name; std::string bytes; const char* message; };
    const Case cases[] = {
        {"large.qdp", good + std::string(70000, ' '), "65536 characters"},
        {"binary.qdp", std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10), "binary data"},
        {"cut.qdp", good.substr(0, good.size() / 2), "ends before all 128 parameter lines"},
        {"comma.qdp", withComma, "line 21: a text holds one of the characters"},
        {"value.qdp", withValue, "line 21: the value is not a whole number"},
        {"model.qdp", readBytes(fileOf("Vr_102", CatalogueValues("Vr_102"), "model.qdp")), "incompatible"},
    };
    auto page = LoadedPage(environment, "Vr_007", PageModeParameter);
    page->row(0x10).value = 1234;
    const ParameterValues before = PageValues(*page);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.clear();
        writeBytes(folder.file(c.name), c.bytes);
        EXPECT_FALSE(load(*page, folder.file(c.name)));
        EXPECT_NE(onlyMessage().second.find(c.message), std::string::npos) << onlyMessage().second;
        EXPECT_EQ(PageValues(*page), before);
    }
    prompt.clear();
    EXPECT_FALSE(load(*page, folder.file("none.qdp")));
    EXPECT_EQ(onlyMessage(), std::make_pair(std::string("Error"), std::string("7.Open File Error !")));
    EXPECT_EQ(PageValues(*page), before);
}

TEST_F(PageFiles, ASaveThatCannotBeWrittenKeepsTheOldFile)
{
    auto page = LoadedPage(environment, "Vr_007", PageModeParameter);
    const std::string dir = folder.file("locked");
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    const std::string path = dir + "/set.qdp";
    writeBytes(path, "old contents");
    ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    EXPECT_TRUE(withoutPrivileges([&] {
        return !SavePageFile(*page, path, host) && prompt.countMessages("4.Open File Error !") == 1;
    }));
    EXPECT_EQ(readBytes(path), "old contents");
    ::chmod(dir.c_str(), 0755);
}

TEST_F(PageFiles, FileDialogsOfThePageMode)
{
    auto page = LoadedPage(environment, "Vr_007", PageModeVelocity);
    prompt.queueFile("/tmp/x/settings");
    prompt.queueFile("/tmp/x/settings.old");
    EXPECT_EQ(AskSavePath(*page), "/tmp/x/settings.vcm");
    EXPECT_EQ(AskSavePath(*page), "/tmp/x/settings.old");
    EXPECT_EQ(AskSavePath(*page), "");  // cancelled
    EXPECT_EQ(prompt.shown()[0].text, "Save file");
    prompt.queueFile("/tmp/x/a.vcm");
    EXPECT_EQ(AskLoadPath(*page, false), "/tmp/x/a.vcm");
    EXPECT_EQ(prompt.shown().back().text, "Load File");
}

TEST(ModelDriveType, SelectableModelsByName)
{
    struct Case { const char* name; bool found; int family; int group; int driveClass; };
    const Case cases[] = {
        {"Vr_007", true, 0, 11, 2}, {"VR-008", true, 0, 23, 3}, {"Qm 001", true, 1, 0, 4},
        {"zt_201", true, 2, 2, 5},  {"Vr_005", false, 0, 0, 0}, {"Vr_9999", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        DriveType drive;
        EXPECT_EQ(DriveTypeOfModel(c.name, drive), c.found) << c.name;
        if (!c.found)
            continue;
        EXPECT_EQ(drive.family, c.family) << c.name;
        EXPECT_EQ(drive.group(), c.group) << c.name;
        EXPECT_EQ(drive.driveClass, c.driveClass) << c.name;
    }
}

TEST_F(PageFiles, HelpBeyondTheLimitsIsRefusedWithAMessage)
{
    auto page = LoadedPage(environment, "Vr_007", PageModeParameter);
    std::string qdt = QdtText();
    qdt.replace(qdt.find("Help of Pr.10"), 13, std::string(1100, 'h'));
    writeBytes(folder.file("ParameterRef-Vr_007.qdt"), qdt);
    ShowRowHelp(*page, page->rowOf(0x11), host);
    EXPECT_EQ(host.description, "Help of Pr.11\nline 2");
    EXPECT_EQ(host.lastStatus(), LoadText(348));
    ShowRowHelp(*page, page->rowOf(0x10), host);
    EXPECT_EQ(host.description, "");
    EXPECT_NE(onlyMessage().second.find("help block 17 is longer than 1003 characters"), std::string::npos);
    prompt.clear();
    ::unlink(folder.file("ParameterRef-Vr_007.qdt").c_str());
    ShowRowHelp(*page, page->rowOf(0x11), host);
    EXPECT_EQ(onlyMessage(), std::make_pair(std::string("Error"), std::string("2.Open File Error !")));
}
