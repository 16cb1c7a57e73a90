#pragma once
// Test bed for the link: a scripted drive on a pseudo-terminal mapped to
// COM 1 (and no other COM number), the link state reset, the port open.

#include "link/LinkState.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

// Puts the process-wide link state back to its start-up values.
void ResetLinkState();
// Maps "COM com" to `path` and no other number to anything.
void MapOnlyPort(int com, const std::string& path);

class LinkTestBed : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens COM 1 at the given baud index into the link state.
    void openPort(int baudIndex = 0);

    testsupport::PtyPair pty;
    std::unique_ptr<testsupport::ScriptedResponder> drive;
};

// Milliseconds a call takes.
template <typename F>
long MillisecondsOf(F&& call)
{
    const auto start = std::chrono::steady_clock::now();
    call();
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}
