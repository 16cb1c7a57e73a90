#pragma once
// The gain parameters as they stood before a tuning run: 21 values taken
// when the estimate view opens on line and again at every Start, and the
// list of those that differ now.

#include <array>
#include <cstdint>
#include <string>

constexpr int kSnapshotSize = 21;
// Pr.10, 11, 12, 13, 14, 15, 16, 18, 19, 1A, 1B, 1C, 20, 30, 31, 32, 33, 34,
// 35, 36 and 3A.
extern const std::array<uint8_t, kSnapshotSize> kSnapshotParameters;
// Registers 0x0000 to 0x003A: every snapshot parameter in one read.
constexpr uint16_t kSnapshotReadStart = 0x0000;
constexpr uint8_t kSnapshotReadCount = 0x3B;

struct GainSnapshot {
    bool taken = false;
    std::array<uint16_t, kSnapshotSize> values{};

    // Picks the snapshot parameters out of registers 0x0000 onward.
    static GainSnapshot fromRegisters(const uint16_t* registers);
    // The value of one parameter of the list (Pr.20 -> 0x20); 0 if absent.
    uint16_t valueOf(uint8_t parameter) const;
};

// One line "Pr10 {    35 --->    59 }\n" per parameter that differs, in the
// order of the list; "No parameter has been modified." when none does.
std::string ChangeListText(const GainSnapshot& before, const GainSnapshot& now);

// The snapshot of this run of the program.
GainSnapshot& CurrentGainSnapshot();
// Reads the drive's snapshot parameters; false when the read fails.
bool ReadGainSnapshot(GainSnapshot& out);
// Reads the drive's values now and lists what differs from the current
// snapshot; false when the read fails or no snapshot was ever taken.
bool ReadChangeList(std::string& text);
