// A wizard dialog's work with the drive, on a drive of plain registers:
// reading on opening, the range check before anything is sent, the write
// order, the stop at the first failure and the close-or-stay outcome.
#include "FakeWizardDrive.h"

#include "wizard/WizardDialogSession.h"

#include <gtest/gtest.h>

namespace {

using Writes = std::vector<std::pair<uint8_t, uint16_t>>;

WizardDialogSession sessionFor(WizardDialogId id, FakeWizardDrive& drive)
{
    return WizardDialogSession(WizardDialogSpecOf(id), drive);
}

TEST(WizardDialogSession, ReadsEveryParameterAndStopsAtTheFirstFailedRead)
{
    FakeWizardDrive drive;
    drive.registers = {{0x58, 120}, {0x59, 130}, {0x5A, 40}};
    WizardDialogSession session = sessionFor(WizardDialogId::Wizard58, drive);
    ASSERT_TRUE(session.load());
    EXPECT_EQ(session.values(), (std::vector<uint16_t>{120, 130, 40}));

    drive.reads.clear();
    drive.failingReads = {0x59};
    EXPECT_FALSE(session.load());
    EXPECT_EQ(drive.reads, (std::vector<uint8_t>{0x58, 0x59})) << "Pr.5A is not read";
    EXPECT_EQ(session.loadFailureMessage(), 409u);
}

TEST(WizardDialogSession, TheSpeedSelectionAndPulseInputDialogsCloseWithoutAMessage)
{
    FakeWizardDrive drive;
    for (WizardDialogId id : {WizardDialogId::Wizard05, WizardDialogId::Wizard40})
        EXPECT_EQ(sessionFor(id, drive).loadFailureMessage(), 0u);
    for (WizardDialogId id : {WizardDialogId::Wizard06, WizardDialogId::Wizard45, WizardDialogId::Wizard11})
        EXPECT_EQ(sessionFor(id, drive).loadFailureMessage(), 409u);
}

struct EditCase {
    const char* name;
    WizardDialogId dialog;
    std::vector<std::string> texts;
    std::set<uint8_t> failingWrites;
    unsigned message;
    bool close;
    Writes writes;
};

class EditApply : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditApply, WritesInOrderOrTellsWhy)
{
    const EditCase c = GetParam();
    FakeWizardDrive drive;
    drive.failingWrites = c.failingWrites;
    WizardDialogSession session = sessionFor(c.dialog, drive);
    ASSERT_TRUE(session.load());
    const WizardOutcome outcome = session.applyEdits(c.texts);
    EXPECT_EQ(outcome.messageTextId, c.message);
    EXPECT_EQ(outcome.close, c.close);
    EXPECT_EQ(drive.writes, c.writes);
    EXPECT_EQ(outcome.written, static_cast<int>(c.writes.size()));
}

INSTANTIATE_TEST_SUITE_P(Cases, EditApply, ::testing::Values(
    EditCase{"Pr11Written", WizardDialogId::Wizard11, {"40"}, {}, 0, true, {{0x11, 40}}},
    EditCase{"Pr11OutOfRangeStays", WizardDialogId::Wizard11, {"3600"}, {}, 355, false, {}},
    EditCase{"Pr11WriteFailedStays", WizardDialogId::Wizard11, {"40"}, {0x11}, 357, false, {}},
    EditCase{"Pr28OutOfRangeCloses", WizardDialogId::Wizard28, {"1600"}, {}, 355, true, {}},
    EditCase{"Pr10WriteFailedCloses", WizardDialogId::Wizard10, {"50"}, {0x10}, 357, true, {}},
    EditCase{"Pr52NegativeIsTheTwosComplement", WizardDialogId::Wizard52, {"-5"}, {}, 0, true, {{0x52, 0xFFFB}}},
    EditCase{"EmptyTextIsRefused", WizardDialogId::Wizard13, {""}, {}, 355, false, {}},
    EditCase{"WrappingNumberIsRefused", WizardDialogId::Wizard20, {"70000"}, {}, 355, false, {}},
    EditCase{"Pr15RefusedWritesNothing", WizardDialogId::Wizard15, {"1501", "100"}, {}, 355, true, {}},
    // A refused second value leaves the first unwritten too.
    EditCase{"Pr16RefusedWritesNothing", WizardDialogId::Wizard15, {"100", "6401"}, {}, 355, true, {}},
    EditCase{"GearPairWritten", WizardDialogId::Wizard46, {"3", "4"}, {}, 0, true, {{0x46, 3}, {0x4B, 4}}},
    EditCase{"GearDenominatorZeroWritesNothing", WizardDialogId::Wizard46, {"3", "0"}, {}, 355, true, {}},
    EditCase{"ThirdSpeedFailsAfterTwo", WizardDialogId::Wizard53,
             {"1", "2", "3", "4", "5", "6", "7", "8"}, {0x55}, 357, false, {{0x53, 1}, {0x54, 2}}},
    EditCase{"EightSpeedsInOrder", WizardDialogId::Wizard53,
             {"-1", "2", "-3", "4", "-5", "6", "-7", "10000"}, {}, 0, true,
             {{0x53, 0xFFFF}, {0x54, 2}, {0x55, 0xFFFD}, {0x56, 4}, {0x74, 0xFFFB}, {0x75, 6},
              {0x76, 0xFFF9}, {0x77, 10000}}}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(WizardDialogSession, OptionsPreselectTheValueReadAndWriteTheChosenNumber)
{
    FakeWizardDrive drive;
    drive.registers[0x06] = 2;
    WizardDialogSession session = sessionFor(WizardDialogId::Wizard06, drive);
    ASSERT_TRUE(session.load());
    EXPECT_EQ(session.preselectedOption(), 2);
    const WizardOutcome outcome = session.applyOption(1);
    EXPECT_EQ(outcome.messageTextId, 0u);
    EXPECT_EQ(drive.writes, (Writes{{0x06, 1}}));

    drive.registers[0x06] = 3;  // no option for it: none chosen, nothing written
    drive.writes.clear();
    ASSERT_TRUE(session.load());
    EXPECT_EQ(session.preselectedOption(), -1);
    EXPECT_EQ(session.applyOption(-1).messageTextId, 355u);
    EXPECT_TRUE(drive.writes.empty());
}

TEST(WizardDialogSession, PulseInputPreselectsItsTypeAndWritesForty41And42InOrder)
{
    struct Case {
        uint16_t pr40, pr41, pr42;
        int circuit, type;
    };
    for (const Case c : {Case{1, 0, 2, 1, 0}, Case{0, 1, 2, 0, 3}, Case{0, 1, 3, 0, 5}, Case{0, 4, 0, 0, -1}}) {
        FakeWizardDrive drive;
        drive.registers = {{0x40, c.pr40}, {0x41, c.pr41}, {0x42, c.pr42}};
        WizardDialogSession session = sessionFor(WizardDialogId::Wizard40, drive);
        ASSERT_TRUE(session.load());
        EXPECT_EQ(session.preselectedOption(), c.circuit);
        EXPECT_EQ(session.preselectedPulseType(), c.type) << c.pr41 << "/" << c.pr42;
    }
    FakeWizardDrive drive;
    drive.registers = {{0x40, 0}, {0x41, 1}, {0x42, 2}};
    WizardDialogSession session = sessionFor(WizardDialogId::Wizard40, drive);
    ASSERT_TRUE(session.load());
    EXPECT_EQ(session.applyPulseInput(session.preselectedOption(), session.preselectedPulseType()).messageTextId, 0u);
    EXPECT_EQ(drive.writes, (Writes{{0x40, 0}, {0x41, 1}, {0x42, 0}}));

    drive.writes.clear();
    drive.failingWrites = {0x41};
    const WizardOutcome failed = session.applyPulseInput(1, 2);
    EXPECT_EQ(failed.messageTextId, 357u);
    EXPECT_TRUE(failed.close);
    EXPECT_EQ(drive.writes, (Writes{{0x40, 1}})) << "Pr.42 is not written after Pr.41 failed";
    drive.writes.clear();
    EXPECT_EQ(session.applyPulseInput(0, -1).messageTextId, 355u);
    EXPECT_TRUE(drive.writes.empty());
}

TEST(WizardDialogSession, WriteParameterRefusesOutsideTheRangeWithoutSending)
{
    FakeWizardDrive drive;
    EXPECT_EQ(WriteParameter(drive, 0x11, 3600), 2);
    EXPECT_EQ(WriteParameter(drive, 0x5B, 0), 2) << "no wizard edits Pr.5B";
    EXPECT_TRUE(drive.writes.empty());
    EXPECT_EQ(WriteParameter(drive, 0x11, 3500), 1);
    drive.failingWrites = {0x12};
    EXPECT_EQ(WriteParameter(drive, 0x12, 10), 0);
}

}  // namespace
