#pragma once
// Test bed for the wizard views and dialogs: a drive on the program's link
// (drivesim, or a register drive scripted on a pseudo-terminal), a scripted
// prompt, and a way to act on a modal dialog while it is up.

#include "tests/link/LinkTestBed.h"
#include "tests/support/DriveSimProcess.h"

#include "platform/ScriptedUserPrompt.h"

#include <QApplication>
#include <QTimer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>

// Runs `action` on the next modal dialog of type T once it is up (reads on
// opening may take a while: bounded at about 10 s). The wait ends with
// `context`, so it cannot outlive what the action refers to.
template <typename T>
void OnNextModal(QObject* context, std::function<void(T*)> action, int triesLeft = 1000)
{
    QTimer::singleShot(10, context, [context, action, triesLeft] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            action(dialog);
            return;
        }
        if (triesLeft > 0)
            OnNextModal<T>(context, action, triesLeft - 1);
    });
}

// The folder of the test program: the runtime folder with the pictures.
std::string RuntimeFolder();

// Reads a drive register through the link with a short wait (the tests'
// own look at the drive, not the wizards' way).
uint16_t DriveRegister(uint8_t reg);
std::array<uint16_t, 128> DriveParameters();
void SetDriveRegister(uint8_t reg, uint16_t value);

// drivesim on the link at 115200 baud, station 1, paced.
class SimulatedDriveTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Restarts drivesim with further options (e.g. "--set", "0x5B=1").
    void startDrive(const std::vector<std::string>& extra = {});

    std::unique_ptr<DriveSimProcess> sim;
    platform::ScriptedUserPrompt prompt;
    std::unique_ptr<platform::ScopedUserPrompt> scopedPrompt;
};

// A drive of plain registers on a pseudo-terminal; writes to the listed
// registers are never answered, as from a drive that took the request badly.
class RegisterDriveTest : public LinkTestBed {
protected:
    void SetUp() override;
    void TearDown() override;

    // Set before the first exchange; afterwards only the responder touches
    // them, and the test reads them back through the link.
    std::map<uint8_t, uint16_t> registers;
    std::set<uint8_t> unansweredWrites;
    platform::ScriptedUserPrompt prompt;
    std::unique_ptr<platform::ScopedUserPrompt> scopedPrompt;
};
