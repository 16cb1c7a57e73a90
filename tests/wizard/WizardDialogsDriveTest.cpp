// Every wizard dialog against drivesim: it shows what the drive holds,
// refuses each value just outside its range (the drive keeps its value, and
// the dialog closes or stays as its row says) and writes accepted values.
// Then the faults, on a drive of plain registers: a write the drive does not
// confirm, a value no option stands for, and no drive at all.
#include "FakeWizardDrive.h"
#include "WizardUiTestBed.h"

#include "wizard/ParameterRangeTable.h"
#include "wizard/WizardDialogTable.h"
#include "wizard/ui/CWizardDialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <set>

namespace {

using Id = WizardDialogId;
using Writes = std::vector<std::pair<uint8_t, uint16_t>>;
const std::string kOutOfRange = "Parameter setting value out of range!";

// The dialogs a refused value closes; the others stay for another try.
const std::set<Id> kClosesOnRefusal = {Id::Wizard10, Id::Wizard15, Id::Wizard28, Id::Wizard29, Id::Wizard2A,
                                       Id::Wizard46, Id::Wizard48, Id::Wizard4C, Id::Wizard4E};

// Every dialog but the pulse input's (tested on its own below). The ranges
// come from the range table, which the catalogue test holds to the drive's.
std::vector<Id> DialogsWithARange()
{
    std::vector<Id> ids;
    for (const WizardDialogDescription& row : WizardDialogs())
        if (row.id != Id::Wizard40)
            ids.push_back(row.id);
    return ids;
}

// Opens the dialog (on the link, or on `drive`) and runs `inside` while it is
// up; a dialog the steps leave open is cancelled. False when it never came up.
bool RunDialog(Id id, const std::function<void(CWizardDlg*)>& inside, WizardDrive* drive = nullptr)
{
    bool ran = false;
    CWizardDlg dialog(id, nullptr, drive);
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

void FillAndOk(CWizardDlg* dialog, const std::vector<std::string>& texts)
{
    Fill(dialog, texts);
    dialog->okButton()->click();
}

// An accepted value at one end of the range, other than what the drive holds.
int AcceptedValue(const ParameterRange& range, size_t index, uint16_t held)
{
    const int preferred = index % 2 == 0 ? range.max : range.min;
    const int other = index % 2 == 0 ? range.min : range.max;
    return static_cast<uint16_t>(preferred) == held ? other : preferred;
}

class EveryDialog : public SimulatedDriveTest, public ::testing::WithParamInterface<Id> {
protected:
    void runEditCase(Id id, const std::vector<uint8_t>& parameters);
    void runOptionCase(Id id, uint8_t parameter);
};

void EveryDialog::runEditCase(Id id, const std::vector<uint8_t>& parameters)
{
    const bool closes = kClosesOnRefusal.count(id) > 0;
    const std::array<uint16_t, 128> before = DriveParameters();
    std::array<uint16_t, 128> expected = before;
    std::vector<const ParameterRange*> ranges;
    std::vector<std::string> accepted, held;
    for (size_t i = 0; i < parameters.size(); ++i) {
        ranges.push_back(FindParameterRange(parameters[i]));
        ASSERT_NE(ranges[i], nullptr);
        const uint16_t raw = before[parameters[i]];
        const int value = AcceptedValue(*ranges[i], i, raw);
        accepted.push_back(std::to_string(value));
        held.push_back(std::to_string(ranges[i]->isSigned ? static_cast<int16_t>(raw) : raw));
        expected[parameters[i]] = static_cast<uint16_t>(value);
    }
    auto refused = [&](size_t k, int value) {
        std::vector<std::string> texts = accepted;
        texts[k] = std::to_string(value);
        return texts;
    };
    int refusals = 0;
    // A dialog that closes on a refusal is opened once per field for it.
    for (size_t k = 0; closes && k < parameters.size(); ++k, ++refusals) {
        ASSERT_TRUE(RunDialog(id, [&](CWizardDlg* dialog) {
            FillAndOk(dialog, refused(k, ranges[k]->max + 1));
            EXPECT_FALSE(dialog->isVisible()) << "closes after the refusal";
        }));
        EXPECT_EQ(DriveParameters(), before) << "nothing written for field " << k;
    }
    ASSERT_TRUE(RunDialog(id, [&](CWizardDlg* dialog) {
        for (size_t i = 0; i < held.size(); ++i)
            EXPECT_EQ(dialog->edits()[i]->text().toStdString(), held[i]) << "shows what the drive holds";
        for (size_t k = 0; !closes && k < parameters.size(); ++k) {
            for (int value : {ranges[k]->max + 1, ranges[k]->min - 1}) {
                FillAndOk(dialog, refused(k, value));
                EXPECT_TRUE(dialog->isVisible()) << "stays after refusing " << value;
                ++refusals;
            }
        }
        if (!closes) {
            EXPECT_EQ(DriveParameters(), before) << "nothing written while it stays";
        }
        FillAndOk(dialog, accepted);
        EXPECT_FALSE(dialog->isVisible()) << "closes once written";
    }));
    EXPECT_EQ(DriveParameters(), expected);
    EXPECT_EQ(prompt.countMessages(kOutOfRange), refusals);
    EXPECT_EQ(prompt.shown().size(), static_cast<size_t>(refusals)) << "no other message";
}

void EveryDialog::runOptionCase(Id id, uint8_t parameter)
{
    // The option of the value held is preselected; another one is written.
    const int count = FindParameterRange(parameter)->max + 1;
    const uint16_t held = DriveRegister(parameter);
    const int chosen = held == count - 1 ? 0 : count - 1;
    ASSERT_TRUE(RunDialog(id, [&](CWizardDlg* dialog) {
        ASSERT_EQ(dialog->optionButtons().size(), static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(dialog->optionButtons()[i]->isChecked(), i == held) << "option " << i;
        dialog->optionButtons()[chosen]->setChecked(true);
        dialog->okButton()->click();
        EXPECT_FALSE(dialog->isVisible());
    }));
    EXPECT_EQ(DriveRegister(parameter), chosen);
    EXPECT_TRUE(prompt.shown().empty());
    ASSERT_TRUE(RunDialog(id, [&](CWizardDlg* dialog) {
        EXPECT_TRUE(dialog->optionButtons()[chosen]->isChecked()) << "preselects what it wrote";
    }));
}

TEST_P(EveryDialog, RefusesOutsideItsRangeAndWritesWhatItAccepts)
{
    const WizardDialogDescription& row = WizardDialogOf(GetParam());
    if (row.control == WizardControl::Options)
        runOptionCase(row.id, row.optionParameter);
    else
        runEditCase(row.id, row.parameters());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, EveryDialog, ::testing::ValuesIn(DialogsWithARange()),
                         [](const ::testing::TestParamInfo<Id>& info) {
                             return std::string(WizardDialogOf(info.param).className);
                         });

using WizardDialogsOnDrive = SimulatedDriveTest;

// 3600 for Pr.11 is refused and the dialog stays; 1600 for Pr.28 is refused
// and it closes; -5 for Pr.52 is written as 0xFFFB and shown signed again.
TEST_F(WizardDialogsOnDrive, EnteredValuesAreRefusedOrWrittenAsTheDriveHoldsThem)
{
    const struct {
        Id id;
        const char* text;
        bool stays;
        uint8_t parameter;
        uint16_t written;  // 0: refused, nothing written
    } rows[] = {{Id::Wizard11, "3600", true, 0x11, 0}, {Id::Wizard28, "1600", false, 0x28, 0},
                {Id::Wizard52, "-5", false, 0x52, 0xFFFB}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        prompt.clear();
        std::array<uint16_t, 128> expected = DriveParameters();
        if (row.written)
            expected[row.parameter] = row.written;
        ASSERT_TRUE(RunDialog(row.id, [&](CWizardDlg* dialog) {
            FillAndOk(dialog, {row.text});
            EXPECT_EQ(dialog->isVisible(), row.stays);
        }));
        EXPECT_EQ(DriveParameters(), expected);
        ASSERT_EQ(prompt.shown().size(), row.written ? 0u : 1u);
        if (!row.written) {
            EXPECT_EQ(prompt.shown()[0].text + " / " + prompt.shown()[0].caption, kOutOfRange + " / Error");
        }
    }
    ASSERT_TRUE(RunDialog(Id::Wizard52, [&](CWizardDlg* dialog) { EXPECT_EQ(dialog->edits()[0]->text(), "-5"); }));
}

TEST_F(WizardDialogsOnDrive, PulseInputModeTwoPreselectsTypeOneOrFourAndIsWrittenAsZero)
{
    for (const auto& c : {std::pair<uint16_t, int>{0, 0}, {1, 3}}) {  // Pr.41, then the type (Type 1 is 0)
        SetDriveRegister(0x40, 0);
        SetDriveRegister(0x41, c.first);
        SetDriveRegister(0x42, 2);
        ASSERT_TRUE(RunDialog(Id::Wizard40, [&](CWizardDlg* dialog) {
            ASSERT_EQ(dialog->typeButtons().size(), 6u);
            EXPECT_TRUE(dialog->typeButtons()[c.second]->isChecked()) << "Pr.41 = " << c.first;
            EXPECT_TRUE(dialog->optionButtons()[0]->isChecked());
            dialog->optionButtons()[1]->setChecked(true);
            dialog->okButton()->click();
            EXPECT_FALSE(dialog->isVisible());
        }));
        uint16_t written[3] = {};
        ASSERT_TRUE(connected().readRegisters(0x40, 3, written));
        EXPECT_EQ(std::vector<uint16_t>(written, written + 3), (std::vector<uint16_t>{1, c.first, 0}));
    }
    EXPECT_TRUE(prompt.shown().empty());
}

class WizardDialogsOnFakeDrive : public ::testing::Test {
protected:
    FakeWizardDrive fake;
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scopedPrompt{prompt};
};

// A write the drive does not confirm: the first two speeds stay written, the
// rest are not sent, and the dialog stays with the message.
TEST_F(WizardDialogsOnFakeDrive, EightSpeedsStopAtTheThirdWhenTheDriveDoesNotConfirm)
{
    fake.failingWrites = {0x55};
    ASSERT_TRUE(RunDialog(Id::Wizard53, [&](CWizardDlg* dialog) {
        FillAndOk(dialog, {"100", "-200", "300", "400", "500", "600", "700", "800"});
        EXPECT_TRUE(dialog->isVisible()) << "stays after a failed write";
    }, &fake));
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{"Servo write data failed."});
    EXPECT_EQ(fake.writes, (Writes{{0x53, 100}, {0x54, 0xFF38}}));
}

// A drive holding a value that no option stands for (a model whose range
// is wider): nothing is preselected, and OK without a choice is refused.
TEST_F(WizardDialogsOnFakeDrive, OptionDialogWithoutAMatchingOptionRefusesOkUntilOneIsChosen)
{
    fake.registers[0x06] = 3;
    ASSERT_TRUE(RunDialog(Id::Wizard06, [&](CWizardDlg* dialog) {
        for (QRadioButton* option : dialog->optionButtons())
            EXPECT_FALSE(option->isChecked());
        dialog->okButton()->click();
        EXPECT_TRUE(dialog->isVisible()) << "stays after the refusal";
        EXPECT_TRUE(fake.writes.empty());
        dialog->optionButtons()[1]->setChecked(true);
        dialog->okButton()->click();
        EXPECT_FALSE(dialog->isVisible());
    }, &fake));
    EXPECT_EQ(prompt.messageTexts(), std::vector<std::string>{kOutOfRange});
    EXPECT_EQ(fake.writes, (Writes{{0x06, 1}}));
}

// Without a drive every read fails: the dialog does not show, and says so
// unless it is one of the two that close silently.
TEST_F(WizardDialogsOnFakeDrive, EveryDialogClosesOnAFailedRead)
{
    fake.absent = true;
    for (int i = 0; i < kWizardDialogCount; ++i) {
        const WizardDialogDescription& description = WizardDialogOf(static_cast<Id>(i));
        prompt.clear();
        bool shown = false;
        CWizardDlg dialog(description.id, nullptr, &fake);
        OnNextModal<CWizardDlg>(&dialog, [&](CWizardDlg* up) { shown = true; up->reject(); }, 5);
        EXPECT_EQ(dialog.exec(), QDialog::Rejected) << description.className;
        QApplication::processEvents();
        EXPECT_FALSE(shown) << description.className;
        const bool silent = description.id == Id::Wizard05 || description.id == Id::Wizard40;
        EXPECT_EQ(prompt.messageTexts(), silent ? std::vector<std::string>{}
                                                : std::vector<std::string>{"Read data failed!"}) << description.className;
    }
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
}

}  // namespace
