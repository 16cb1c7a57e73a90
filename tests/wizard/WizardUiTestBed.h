#pragma once
// Test bed for the wizard views and dialogs: one drivesim per test suite on
// the program's link, a scripted prompt, and a way to act on a modal dialog
// while it is up.

#include "tests/monitor/ConnectedDrive.h"

#include "platform/ScriptedUserPrompt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

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

// The tests' own look at the drive (short waits, not the wizards' way).
uint16_t DriveRegister(uint8_t reg);
std::array<uint16_t, 128> DriveParameters();
void SetDriveRegister(uint8_t reg, uint16_t value);

// drivesim (a VR-008) shared by the tests of a suite: each test works from
// what the drive holds when it starts.
class SimulatedDriveTest : public ::testing::Test {
public:
    static ConnectedDrive& connected() { return *drive; }

protected:
    static void SetUpTestSuite() { drive = std::make_unique<ConnectedDrive>(std::vector<std::string>{"--model", "VR-008"}); }
    static void TearDownTestSuite() { drive.reset(); }
    void SetUp() override { ASSERT_TRUE(drive->ok()) << "drivesim did not start"; }

    static std::unique_ptr<ConnectedDrive> drive;
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scopedPrompt{prompt};
};
