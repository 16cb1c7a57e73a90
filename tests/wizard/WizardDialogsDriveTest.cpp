// Every wizard dialog against drivesim: it shows what the drive holds,
// refuses each value just outside its range (the drive keeps its value, and
// the dialog closes or stays as its row says) and writes accepted values.
// Then the faults: a write the drive does not confirm, and no drive at all.
#include "WizardUiTestBed.h"

#include "texts/LoadText.h"
#include "wizard/ParameterRangeTable.h"
#include "wizard/ui/CWizardDialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using Id = WizardDialogId;
const std::string kOutOfRange = "Parameter setting value out of range!";
const std::string kWriteFailed = "Servo write data failed.";
const std::string kReadFailed = "Read data failed!";

struct Field {
    uint8_t parameter;
    int min;
    int max;
};

struct DialogCase {
    const char* name;
    Id id;
    std::vector<Field> fields;  // edit boxes and the values a drive takes for them
    int optionCount;            // option dialogs: the values 0 .. optionCount - 1
    uint8_t optionParameter;
    bool closesOnFailure;
};

void PrintTo(const DialogCase& c, std::ostream* os)
{
    *os << c.name;
}

DialogCase edits(const char* name, Id id, std::vector<Field> fields, bool closes)
{
    return {name, id, std::move(fields), 0, 0, closes};
}
DialogCase options(const char* name, Id id, uint8_t parameter, int count)
{
    return {name, id, {}, count, parameter, false};
}

const Field kSpeed[] = {{0x53, -10000, 10000}, {0x54, -10000, 10000}, {0x55, -10000, 10000},
                        {0x56, -10000, 10000}, {0x74, -10000, 10000}, {0x75, -10000, 10000},
                        {0x76, -10000, 10000}, {0x77, -10000, 10000}};

const std::vector<DialogCase> kDialogs = {
    options("Wizard05", Id::Wizard05, 0x05, 4),
    options("Wizard06", Id::Wizard06, 0x06, 3),
    edits("Wizard10", Id::Wizard10, {{0x10, 1, 2000}}, true),
    edits("Wizard11", Id::Wizard11, {{0x11, 1, 3500}}, false),
    edits("Wizard12", Id::Wizard12, {{0x12, 1, 1000}}, false),
    edits("Wizard13", Id::Wizard13, {{0x13, 0, 5}}, false),
    edits("Wizard14", Id::Wizard14, {{0x14, 25, 2500}}, false),
    edits("Wizard15", Id::Wizard15, {{0x15, 0, 1500}, {0x16, 0, 6400}}, true),
    edits("Wizard1D", Id::Wizard1D, {{0x1D, 50, 1600}}, false),
    edits("Wizard1E", Id::Wizard1E, {{0x1E, 0, 4}}, false),
    edits("Wizard20", Id::Wizard20, {{0x20, 0, 10000}}, false),
    edits("Wizard28", Id::Wizard28, {{0x28, 100, 1500}}, true),
    edits("Wizard29", Id::Wizard29, {{0x29, 0, 4}}, true),
    edits("Wizard2A", Id::Wizard2A, {{0x2A, 0, 99}}, true),
    edits("Wizard44", Id::Wizard44, {{0x44, 0, 255}}, false),
    options("Wizard45", Id::Wizard45, 0x45, 2),
    edits("Wizard46", Id::Wizard46, {{0x46, 1, 10000}, {0x4B, 1, 10000}}, true),
    edits("Wizard48", Id::Wizard48, {{0x48, 0, 3}}, true),
    edits("Wizard4C", Id::Wizard4C, {{0x4C, 0, 7}}, true),
    edits("Wizard4E", Id::Wizard4E, {{0x4E, 1, 9999}, {0x4F, 1, 255}}, true),
    edits("Wizard50", Id::Wizard50, {{0x50, 10, 2000}}, false),
    options("Wizard51", Id::Wizard51, 0x51, 2),
    edits("Wizard52", Id::Wizard52, {{0x52, -2047, 2047}}, false),
    edits("Wizard53", Id::Wizard53, std::vector<Field>(std::begin(kSpeed), std::end(kSpeed)), false),
    edits("Wizard56", Id::Wizard56, {{0x56, -10000, 10000}}, false),
    edits("Wizard58", Id::Wizard58, {{0x58, 0, 10000}, {0x59, 0, 10000}, {0x5A, 0, 1000}}, false),
    edits("Wizard5C", Id::Wizard5C, {{0x5C, 10, 100}}, false),
    options("Wizard5D", Id::Wizard5D, 0x5D, 2),
};

// Opens the dialog over the link and runs `inside` while it is up; a dialog
// the steps leave open is cancelled. False when it never came up.
bool RunDialog(Id id, const std::function<void(CWizardDlg*)>& inside)
{
    bool ran = false;
    CWizardDlg dialog(id);
    OnNextModal<CWizardDlg>(&dialog, [&](CWizardDlg* shown) {
        ran = true;
        inside(shown);
        if (shown->isVisible())
            shown->reject();
    });
    dialog.exec();
    return ran;
}

void Fill(CWizardDlg* dialog, const std::vector<std::string>& texts)
{
    ASSERT_EQ(dialog->edits().size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        dialog->edits()[i]->setText(QString::fromStdString(texts[i]));
}

std::string Shown(uint16_t value, const Field& field)
{
    return std::to_string(field.min < 0 ? static_cast<int16_t>(value) : value);
}

// An accepted value at one end of the range, other than what the drive holds.
int AcceptedValue(const Field& field, size_t index, uint16_t held)
{
    const int preferred = index % 2 == 0 ? field.max : field.min;
    const int other = index % 2 == 0 ? field.min : field.max;
    return static_cast<uint16_t>(preferred) == held ? other : preferred;
}

class EveryDialog : public SimulatedDriveTest, public ::testing::WithParamInterface<DialogCase> {
protected:
    void runEditCase(const DialogCase& c);
    void runOptionCase(const DialogCase& c);
};

void EveryDialog::runEditCase(const DialogCase& c)
{
    const std::array<uint16_t, 128> before = DriveParameters();
    std::vector<std::string> accepted;
    std::vector<std::string> held;
    std::array<uint16_t, 128> expected = before;
    for (size_t i = 0; i < c.fields.size(); ++i) {
        const int value = AcceptedValue(c.fields[i], i, before[c.fields[i].parameter]);
        accepted.push_back(std::to_string(value));
        held.push_back(Shown(before[c.fields[i].parameter], c.fields[i]));
        expected[c.fields[i].parameter] = static_cast<uint16_t>(value);
    }
    auto refused = [&](size_t k, int value) {
        std::vector<std::string> texts = accepted;
        texts[k] = std::to_string(value);
        return texts;
    };
    int refusals = 0;
    if (c.closesOnFailure) {
        // Each refusal closes the dialog: one opening per field.
        for (size_t k = 0; k < c.fields.size(); ++k) {
            ASSERT_TRUE(RunDialog(c.id, [&](CWizardDlg* dialog) {
                Fill(dialog, refused(k, c.fields[k].max + 1));
                dialog->okButton()->click();
                EXPECT_FALSE(dialog->isVisible()) << "closes after the refusal";
            }));
            ++refusals;
            EXPECT_EQ(DriveParameters(), before) << "nothing written for field " << k;
        }
    }
    ASSERT_TRUE(RunDialog(c.id, [&](CWizardDlg* dialog) {
        for (size_t i = 0; i < held.size(); ++i)
            EXPECT_EQ(dialog->edits()[i]->text().toStdString(), held[i]) << "shows what the drive holds";
        if (!c.closesOnFailure) {
            for (size_t k = 0; k < c.fields.size(); ++k) {
                for (int value : {c.fields[k].max + 1, c.fields[k].min - 1}) {
                    Fill(dialog, refused(k, value));
                    dialog->okButton()->click();
                    EXPECT_TRUE(dialog->isVisible()) << "stays after refusing " << value;
                    ++refusals;
                }
            }
            EXPECT_EQ(DriveParameters(), before) << "nothing written while it stays";
        }
        Fill(dialog, accepted);
        dialog->okButton()->click();
        EXPECT_FALSE(dialog->isVisible()) << "closes once written";
    }));
    EXPECT_EQ(DriveParameters(), expected);
    EXPECT_EQ(prompt.countMessages(kOutOfRange), refusals);
    EXPECT_EQ(prompt.shown().size(), static_cast<size_t>(refusals)) << "no other message";
}

void EveryDialog::runOptionCase(const DialogCase& c)
{
    // The option of the value held is preselected; another one is written.
    const uint16_t held = DriveRegister(c.optionParameter);
    const int chosen = held == c.optionCount - 1 ? 0 : c.optionCount - 1;
    ASSERT_TRUE(RunDialog(c.id, [&](CWizardDlg* dialog) {
        ASSERT_EQ(dialog->optionButtons().size(), static_cast<size_t>(c.optionCount));
        for (int i = 0; i < c.optionCount; ++i)
            EXPECT_EQ(dialog->optionButtons()[i]->isChecked(), i == held) << "option " << i;
        dialog->optionButtons()[chosen]->setChecked(true);
        dialog->okButton()->click();
        EXPECT_FALSE(dialog->isVisible());
    }));
    EXPECT_EQ(DriveRegister(c.optionParameter), chosen);
    EXPECT_TRUE(prompt.shown().empty());
    ASSERT_TRUE(RunDialog(c.id, [&](CWizardDlg* dialog) {
        EXPECT_TRUE(dialog->optionButtons()[chosen]->isChecked()) << "preselects what it wrote";
    }));
}

TEST_P(EveryDialog, RefusesOutsideItsRangeAndWritesWhatItAccepts)
{
    const DialogCase c = GetParam();
    if (c.optionCount > 0)
        runOptionCase(c);
    else
        runEditCase(c);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, EveryDialog, ::testing::ValuesIn(kDialogs),
                         [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

using WizardDialogsOnDrive = SimulatedDriveTest;

struct Refusal {
    const char* name;
    Id id;
    std::vector<std::string> texts;
    bool closes;
};

// 3600 for Pr.11 (the dialog stays), 1600 for Pr.28 (it closes), and a
// refused Pr.15 that leaves Pr.16 unwritten too.
TEST_F(WizardDialogsOnDrive, RefusedValuesLeaveTheDriveAsItWas)
{
    for (const Refusal& r : {Refusal{"Pr.11", Id::Wizard11, {"3600"}, false},
                             Refusal{"Pr.28", Id::Wizard28, {"1600"}, true},
                             Refusal{"Pr.15", Id::Wizard15, {"1501", "99"}, true}}) {
        SCOPED_TRACE(r.name);
        prompt.clear();
        const std::array<uint16_t, 128> before = DriveParameters();
        ASSERT_TRUE(RunDialog(r.id, [&](CWizardDlg* dialog) {
            Fill(dialog, r.texts);
            dialog->okButton()->click();
            EXPECT_EQ(dialog->isVisible(), !r.closes);
        }));
        ASSERT_EQ(prompt.shown().size(), 1u);
        EXPECT_EQ(prompt.shown()[0].text, kOutOfRange);
        EXPECT_EQ(prompt.shown()[0].caption, "Error");
        EXPECT_EQ(DriveParameters(), before);
    }
}

TEST_F(WizardDialogsOnDrive, Pr52MinusFiveIsWrittenAsFFFB)
{
    ASSERT_TRUE(RunDialog(Id::Wizard52, [&](CWizardDlg* dialog) {
        Fill(dialog, {"-5"});
        dialog->okButton()->click();
    }));
    EXPECT_EQ(DriveRegister(0x52), 0xFFFB);
    ASSERT_TRUE(RunDialog(Id::Wizard52, [&](CWizardDlg* dialog) {
        EXPECT_EQ(dialog->edits()[0]->text(), "-5") << "shown signed";
    }));
}

TEST_F(WizardDialogsOnDrive, PulseInputModeTwoPreselectsTypeOneOrFourAndIsWrittenAsZero)
{
    struct Case {
        uint16_t pr41;
        int type;  // Type 1 is index 0
    };
    for (const Case c : {Case{0, 0}, Case{1, 3}}) {
        SetDriveRegister(0x40, 0);
        SetDriveRegister(0x41, c.pr41);
        SetDriveRegister(0x42, 2);
        ASSERT_TRUE(RunDialog(Id::Wizard40, [&](CWizardDlg* dialog) {
            ASSERT_EQ(dialog->typeButtons().size(), 6u);
            EXPECT_TRUE(dialog->typeButtons()[c.type]->isChecked()) << "Pr.41 = " << c.pr41;
            EXPECT_TRUE(dialog->optionButtons()[0]->isChecked());
            dialog->optionButtons()[1]->setChecked(true);
            dialog->okButton()->click();
            EXPECT_FALSE(dialog->isVisible());
        }));
        EXPECT_EQ(DriveRegister(0x40), 1);
        EXPECT_EQ(DriveRegister(0x41), c.pr41);
        EXPECT_EQ(DriveRegister(0x42), 0);
    }
    EXPECT_TRUE(prompt.shown().empty());
}

using WizardDialogsOnFaultyDrive = RegisterDriveTest;

TEST_F(WizardDialogsOnFaultyDrive, EightSpeedsStopAtTheThirdWhenTheDriveDoesNotConfirm)
{
    for (uint8_t reg : {0x53, 0x54, 0x55, 0x56, 0x74, 0x75, 0x76, 0x77})
        registers[reg] = 7;
    unansweredWrites = {0x55};
    ASSERT_TRUE(RunDialog(Id::Wizard53, [&](CWizardDlg* dialog) {
        Fill(dialog, {"100", "-200", "300", "400", "500", "600", "700", "800"});
        dialog->okButton()->click();
        EXPECT_TRUE(dialog->isVisible()) << "stays after a failed write";
    }));
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{kWriteFailed});
    EXPECT_EQ(DriveRegister(0x53), 100);
    EXPECT_EQ(DriveRegister(0x54), 0xFF38);
    for (uint8_t reg : {0x55, 0x56, 0x74, 0x75, 0x76, 0x77})
        EXPECT_EQ(DriveRegister(reg), 7) << "register " << int(reg);
}

// A drive holding a value that no option stands for (a model whose range
// is wider): nothing is preselected, and OK without a choice is refused.
TEST_F(WizardDialogsOnFaultyDrive, OptionDialogWithoutAMatchingOptionRefusesOkUntilOneIsChosen)
{
    registers[0x06] = 3;
    ASSERT_TRUE(RunDialog(Id::Wizard06, [&](CWizardDlg* dialog) {
        for (QRadioButton* option : dialog->optionButtons())
            EXPECT_FALSE(option->isChecked());
        dialog->okButton()->click();
        EXPECT_TRUE(dialog->isVisible()) << "stays after the refusal";
        EXPECT_EQ(DriveRegister(0x06), 3) << "nothing written";
        dialog->optionButtons()[1]->setChecked(true);
        dialog->okButton()->click();
        EXPECT_FALSE(dialog->isVisible());
    }));
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{kOutOfRange});
    EXPECT_EQ(DriveRegister(0x06), 1);
}

// Each dialog by its name is the table's row of that name.
TEST(WizardDialogNames, EachNamedDialogIsItsRow)
{
#define NAMED(T) std::pair<std::string, QString>(#T, T().objectName())
    const std::pair<std::string, QString> named[] = {
        NAMED(CWizard05Dlg), NAMED(CWizard06Dlg), NAMED(CWizard10Dlg), NAMED(CWizard11Dlg),
        NAMED(CWizard12Dlg), NAMED(CWizard13Dlg), NAMED(CWizard14Dlg), NAMED(CWizard15Dlg),
        NAMED(CWizard1DDlg), NAMED(CWizard1EDlg), NAMED(CWizard20Dlg), NAMED(CWizard28Dlg),
        NAMED(CWizard29Dlg), NAMED(CWizard2ADlg), NAMED(CWizard40Dlg), NAMED(CWizard44Dlg),
        NAMED(CWizard45Dlg), NAMED(CWizard46Dlg), NAMED(CWizard48Dlg), NAMED(CWizard4CDlg),
        NAMED(CWizard4EDlg), NAMED(CWizard50Dlg), NAMED(CWizard51Dlg), NAMED(CWizard52Dlg),
        NAMED(CWizard53Dlg), NAMED(CWizard56Dlg), NAMED(CWizard58Dlg), NAMED(CWizard5CDlg),
        NAMED(CWizard5DDlg)};
#undef NAMED
    ASSERT_EQ(std::size(named), static_cast<size_t>(kWizardDialogCount));
    for (const auto& [name, objectName] : named)
        EXPECT_EQ(objectName.toStdString(), name);
    EXPECT_EQ(CWizard4EDlg().windowTitle(), "Parameter No.4E~No.4F");
    EXPECT_EQ(CWizard53Dlg().edits().size(), 8u);
    EXPECT_EQ(CWizard40Dlg().typeButtons().size(), 6u);
}

// Without a drive every read fails at once: the dialog does not show, and
// says so unless it is one of the two that close silently.
TEST(WizardDialogsWithoutDrive, EveryDialogClosesOnAFailedRead)
{
    ResetLinkState();
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped(prompt);
    for (const DialogCase& c : kDialogs) {
        if (c.id == Id::Wizard05)
            continue;
        prompt.clear();
        bool shown = false;
        CWizardDlg dialog(c.id);
        OnNextModal<CWizardDlg>(&dialog, [&](CWizardDlg* up) { shown = true; up->reject(); }, 5);
        EXPECT_EQ(dialog.exec(), QDialog::Rejected) << c.name;
        QApplication::processEvents();
        EXPECT_FALSE(shown) << c.name;
        EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{kReadFailed}) << c.name;
    }
    prompt.clear();
    for (Id silent : {Id::Wizard05, Id::Wizard40}) {
        CWizardDlg dialog(silent);
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    }
    EXPECT_TRUE(prompt.shown().empty());
}

}  // namespace
