// A wizard dialog's work with the drive, on a drive of plain registers:
// reading on opening, the range check before anything is sent, the write
// order, the stop at the first failure and the close-or-stay outcome.
#include "FakeWizardDrive.h"

#include "wizard/WizardDialogSession.h"

#include <gtest/gtest.h>

namespace {

using Writes = std::vector<std::pair<uint8_t, uint16_t>>;

TEST(WizardDialogSession, ReadsEveryParameterAndStopsAtTheFirstFailedRead)
{
    FakeWizardDrive drive;
    drive.registers = {{0x58, 120}, {0x59, 130}, {0x5A, 40}};
    WizardDialogSession session(WizardDialogOf(WizardDialogId::Wizard58), drive);
    ASSERT_TRUE(session.load());
    EXPECT_EQ(session.values(), (std::vector<uint16_t>{120, 130, 40}));

    drive.reads.clear();
    drive.failingReads = {0x59};
    EXPECT_FALSE(session.load());
    EXPECT_EQ(drive.reads, (std::vector<uint8_t>{0x58, 0x59})) << "Pr.5A is not read";
    EXPECT_EQ(session.loadFailureMessage(), 409u);
    // The speed selection and pulse input dialogs close without a message.
    for (WizardDialogId id : {WizardDialogId::Wizard05, WizardDialogId::Wizard40})
        EXPECT_EQ(WizardDialogSession(WizardDialogOf(id), drive).loadFailureMessage(), 0u);
}

// The drive tests cover the range refusals, -5 and the failed third speed;
// these are the rules they do not reach.
TEST(WizardDialogSession, EditsAreWrittenInOrderOrRefusedWithTheReason)
{
    const struct {
        WizardDialogId dialog;
        std::vector<std::string> texts;
        std::set<uint8_t> failingWrites;
        unsigned message;
        bool close;
        Writes writes;
    } rows[] = {
        {WizardDialogId::Wizard10, {"50"}, {0x10}, 357, true, {}},  // Pr.10's write failed: closes
        {WizardDialogId::Wizard13, {""}, {}, 355, false, {}},       // empty text
        {WizardDialogId::Wizard20, {"70000"}, {}, 355, false, {}},  // a number that wraps
        {WizardDialogId::Wizard46, {"3", "0"}, {}, 355, true, {}},  // gear denominator 0 writes nothing
        {WizardDialogId::Wizard53, {"-1", "2", "-3", "4", "-5", "6", "-7", "10000"}, {}, 0, true,
         {{0x53, 0xFFFF}, {0x54, 2}, {0x55, 0xFFFD}, {0x56, 4}, {0x74, 0xFFFB}, {0x75, 6}, {0x76, 0xFFF9}, {0x77, 10000}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(WizardDialogOf(row.dialog).className);
        FakeWizardDrive drive;
        drive.failingWrites = row.failingWrites;
        WizardDialogSession session(WizardDialogOf(row.dialog), drive);
        ASSERT_TRUE(session.load());
        const WizardOutcome outcome = session.applyEdits(row.texts);
        EXPECT_EQ(outcome.messageTextId, row.message);
        EXPECT_EQ(outcome.close, row.close);
        EXPECT_EQ(drive.writes, row.writes);
        EXPECT_EQ(outcome.written, static_cast<int>(row.writes.size()));
    }
}

TEST(WizardDialogSession, PulseInputStopsAfterAFailedWriteAndRefusesAMissingType)
{
    FakeWizardDrive drive;
    drive.registers = {{0x40, 0}, {0x41, 4}, {0x42, 0}};
    WizardDialogSession session(WizardDialogOf(WizardDialogId::Wizard40), drive);
    ASSERT_TRUE(session.load());
    EXPECT_EQ(session.preselectedPulseType(), -1) << "Pr.41 = 4 is no type";
    EXPECT_EQ(session.applyPulseInput(0, -1).messageTextId, 355u);
    EXPECT_TRUE(drive.writes.empty());
    drive.failingWrites = {0x41};
    const WizardOutcome failed = session.applyPulseInput(1, 2);
    EXPECT_EQ(failed.messageTextId, 357u);
    EXPECT_TRUE(failed.close);
    EXPECT_EQ(drive.writes, (Writes{{0x40, 1}})) << "Pr.42 is not written after Pr.41 failed";
}

}  // namespace
