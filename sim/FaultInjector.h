#pragma once
// Seeded line faults for testing a master: lost, corrupted and overlong
// answers, and a drive that falls silent after a number of answers.

#include <cstdint>
#include <random>
#include <vector>

namespace drivesim {

// Decides, reproducibly from a seed, what happens to each outgoing frame.
class FaultInjector {
public:
    struct Settings {
        double dropProbability = 0;
        double corruptProbability = 0;
        double extraByteProbability = 0;
        int64_t silentAfter = -1;  // answers before going silent; -1 never
        uint32_t seed = 1;
    };

    explicit FaultInjector(const Settings& settings) : settings_(settings), random_(settings.seed) {}

    // Applies the faults to an answer in place; false when it is lost.
    bool applyToAnswer(std::vector<uint8_t>& frame);
    // The same for a stream record (no silence counting).
    bool applyToRecord(uint8_t* record, size_t length);
    bool silent() const { return settings_.silentAfter >= 0 && answers_ >= settings_.silentAfter; }

private:
    bool chance(double p);
    void corrupt(uint8_t* bytes, size_t length);

    Settings settings_;
    std::mt19937 random_;
    int64_t answers_ = 0;
};

}  // namespace drivesim
