#pragma once
// The drive's off-line auto gain tuning seen from the tool: servo on and off,
// Start at a stiffness, and the status poll, split into steps of one exchange
// each. When a run ends it keeps the gains before and after it.

#include "tuning/GainSnapshot.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

constexpr uint16_t kTuningRegister = 0x0091;
constexpr uint16_t kServoOnCoil = 0x0026;
constexpr int kTuningPollMs = 500;

// Colours as 0xRRGGBB.
constexpr uint32_t kColourGrey = 0x808080;
constexpr uint32_t kColourYellow = 0xFFFF00;
constexpr uint32_t kColourDarkGreen = 0x008000;
constexpr uint32_t kColourRed = 0xFF0000;

struct TuningLook {
    std::string text;
    uint32_t colour;
};
// Text and colour of a status code 0 to 4; none for 5 and above.
std::optional<TuningLook> TuningStatusLook(int code);
// What a failed status read shows.
TuningLook InvalidTuningLook();

struct TuningDisplay {
    std::string statusText;
    uint32_t statusColour = kColourGrey;
    std::string inertiaText;
    uint32_t inertiaColour = kColourGrey;
    bool startEnabled = true;
};

// Pr.10, 11, 12, 13, 14 and Pr.20, before a run and after it.
constexpr int kResultRows = 6;
extern const std::array<uint8_t, kResultRows> kResultParameters;
struct TuningRunResult {
    int code = 0;  // the status that ended the run
    std::array<uint16_t, kResultRows> before{};
    std::array<uint16_t, kResultRows> after{};
    bool afterKnown = false;  // false when the read after the run failed
};

class AutoTuningSession {
public:
    enum class StartResult { Started, SnapshotFailed, WriteFailed };

    // Coil 0x0026 on or off; false when the drive did not echo it.
    bool setServo(bool on);
    // Takes the snapshot, then writes stiffness + 1 to the tuning register.
    StartResult start(int stiffness);

    // First step of a poll: reads the status. True when a second is due.
    bool pollStatus();
    // Second step: Pr.20 while tuning or after success, or the gains at the
    // end of a run started here.
    void pollFollowUp();

    const TuningDisplay& display() const { return display_; }
    bool runActive() const { return runActive_; }
    // The result of a run that has just ended, handed out once.
    std::optional<TuningRunResult> takeFinishedRun();

private:
    enum class FollowUp { None, Inertia, RunResult };
    void showLook(const TuningLook& look);

    TuningDisplay display_;
    FollowUp followUp_ = FollowUp::None;
    int code_ = 0;
    bool runActive_ = false;
    GainSnapshot runBefore_;
    std::optional<TuningRunResult> finished_;
};
