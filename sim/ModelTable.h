#pragma once
// The drive models this simulator can pose as: the code it reports, where
// the code stands in the identification answer, its fixed Pr.1F value and
// its drive class.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace drivesim {

// One model the drive can be.
struct DriveModel {
    std::string code;        // exactly as reported, padded to 6 characters
    bool olderFirmware;      // 28-byte identification with the code at offsets 18-23
    int16_t pr1f;            // the value Pr.1F holds on this model
    std::string firmware;    // version text in the identification answer
    bool listed;             // false: a code no known model uses
    int driveClass = 0;      // 0-5: what the firmware offers (auto tuning from class 2)
};

// Looks model codes up in the built-in table.
class ModelTable {
public:
    // The model for a code as given on the command line ("VR-007",
    // "vr_003"). Known codes compare without regard to case, "-", "_" or
    // blank; the two older firmware codes only in their exact spelling.
    // Unknown codes of 1-6 printable characters give an unlisted model;
    // anything else gives nothing.
    static std::optional<DriveModel> find(const std::string& code);
    // The codes of every listed model, for --help.
    static std::vector<std::string> knownCodes();
    // The Report Slave ID data bytes (after the byte count) for the model.
    static std::vector<uint8_t> slaveIdData(const DriveModel& model, uint8_t station);
};

}  // namespace drivesim
