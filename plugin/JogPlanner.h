#pragma once
// The jog rules of the homing dialog, run on its jog timer: a spring-loaded
// slider (-1, 0, +1) jogs continuously for a time derived from the last
// command's round trip, or by a number of pulses, repeating while held.
// At rest it keeps the jog word's amount and the jog speed up to date.

#include <cstdint>

namespace waypad {

struct WaypadShared;

// Bits of the jog word (register 2001); bits 0-11 hold the time or pulses.
enum JogWordBits : int32_t {
    kJogAmountMask = 0x0FFF,
    kJogTimeMinus = 0x1000,
    kJogTimePlus = 0x2000,
    kJogPulseMinus = 0x4000,
    kJogPulsePlus = 0x8000,
};

constexpr int kJogTimeMinMs = 500;
constexpr int kJogTimeMaxMs = 2000;
constexpr int kJogLimitMin = 1;
constexpr int kJogLimitMax = 2000;  // speed (rpm) and pulses

// The jog time for a continuous jog: type 1 doubles 5 t + 170, other
// positive types add 10 t to the set time, both held to 500-2000 ms; type 0
// or below keeps `current`.
int JogTimeFor(int jogType, int jogTimeSetting, int roundTripMs, int current);
// A speed or pulse count held to 1-2000.
int LimitJogValue(int value);

class JogPlanner {
public:
    static constexpr int kWaitAfterCreation = 1000;  // ticks
    static constexpr int kWaitAfterShowing = 100;
    static constexpr int kPulseRepeatTicks = 10;

    JogPlanner(int jogType, int jogTimeSetting);

    void shown() { wait_ = kWaitAfterShowing; }

    struct Inputs {
        int slider = 0;         // -1, 0, +1
        bool reverse = false;
        bool pulseMode = false;
        int pulseEdit = 1;
        int speedEdit = 1;
    };
    struct Outcome {
        int pulseEdit;          // as limited
        int speedEdit;
        bool jogSpeedChanged = false;  // the block's jog speed took the edit; step 21 issued
        bool jogIssued = false;        // step 19 issued
    };
    // One tick of the jog timer while the dialog is active. `now` is the
    // tick count.
    Outcome tick(const Inputs& in, WaypadShared& shared, uint32_t now);
    // Step 20 came back: the round trip of the jog command.
    void jogFinished(uint32_t now) { roundTripMs_ = static_cast<int>(now - startTick_); }

    int jogTimeField() const { return jogTimeField_; }
    int roundTripMs() const { return roundTripMs_; }

private:
    void setAmount(WaypadShared& shared, int amount);

    const int jogType_;
    const int jogTimeSetting_;
    int jogTimeField_;
    int wait_ = kWaitAfterCreation;
    int repeat_ = 0;
    uint32_t startTick_ = 0;
    int roundTripMs_ = 0;
};

}  // namespace waypad
