#pragma once
// Test bed for the link: a scripted drive on a pseudo-terminal mapped to
// COM 1 alone, the link state reset; and the frames the link suites share.

#include "link/LinkState.h"
#include "tests/support/HexBytes.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

using testsupport::Answer;
using testsupport::Bytes;
using testsupport::hex;
using testsupport::operator+;
using testsupport::toHex;
using testsupport::withCrc;

// Station-1 frames; the CRCs were worked out with an independent bitwise CRC.
inline const Bytes kReadStation = hex("01 03 00 00 00 01 84 0A");
inline const Bytes kStationReply = hex("01 03 02 00 05 78 47");
inline const Bytes kStopStream = hex("01 06 00 90 00 00 89 E7");
inline const Bytes kReportSlaveId = hex("01 11 C0 2C");
inline const Bytes kSaveEeprom = hex("01 06 00 81 00 01 18 22");

// An identification answer of `length` bytes carrying `code` at `offset`.
Bytes SlaveIdAnswer(const std::string& code, size_t length = 34, size_t offset = 12);
// The first `length` bytes of the link's receive buffer.
Bytes ReceiveBuffer(size_t length);

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
    using namespace std::chrono;
    const auto start = steady_clock::now();
    call();
    return static_cast<long>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}
