#include "sim/ModelTable.h"

#include <cctype>

namespace drivesim {
namespace {

struct Entry {
    const char* name;
    int16_t pr1f;
    const char* firmware;
    int driveClass;
};

// Model names with their Pr.1F values, firmware versions and drive classes:
// the first Vr generations 0, then 1 (no auto tuning yet), 2 and 3; Qm 4, Zt 5.
const Entry kModels[] = {
    {"Vr_001", 1, "1.0.1.0", 0}, {"Vr_002", 1, "1.0.1.0", 0}, {"Vr_003", 1, "1.0.1.2", 0},
    {"Vr_004", 1, "1.0.1.2", 0}, {"Vr_UT1", 1, "1.0.1.2", 0}, {"Vr_005", 1, "1.0.1.2", 0},
    {"Vr_006", 1, "1.0.1.6", 1}, {"Vr_101", 2, "1.0.1.6", 1}, {"Vr_201", 0, "1.0.1.6", 1},
    {"Vr_007", 1, "1.0.1.8", 2}, {"Vr_102", 2, "1.0.1.8", 2}, {"Vr_202", 0, "1.0.1.8", 2},
    {"Vr_301", 3, "1.0.1.8", 2}, {"Vr_401", 7, "1.0.1.8", 2}, {"Vr_501", 4, "1.0.1.8", 2},
    {"Vr_601", 8, "1.0.1.8", 2}, {"Vr_701", 9, "1.0.1.8", 2}, {"Vr_801", 12, "1.0.1.8", 2},
    {"Vr_901", 11, "1.0.1.8", 2}, {"Vr_A01", 10, "1.0.1.8", 2}, {"Vr_B01", 13, "1.0.1.8", 2},
    {"Vr_008", 1, "1.0.2.0", 3}, {"Vr_103", 2, "1.0.2.0", 3}, {"Vr_203", 0, "1.0.2.0", 3},
    {"Vr_302", 3, "1.0.2.0", 3}, {"Vr_402", 7, "1.0.2.0", 3}, {"Vr_502", 4, "1.0.2.0", 3},
    {"Vr_602", 8, "1.0.2.0", 3}, {"Vr_702", 9, "1.0.2.0", 3}, {"Vr_802", 12, "1.0.2.0", 3},
    {"Vr_902", 11, "1.0.2.0", 3}, {"Vr_A02", 10, "1.0.2.0", 3}, {"Vr_B02", 13, "1.0.2.0", 3},
    {"Vr_C01", 14, "1.0.2.0", 3}, {"Qm_001", 0, "2.0.0.1", 4}, {"Zt_001", 1, "3.0.0.1", 5},
    {"Zt_101", 2, "3.0.0.1", 5}, {"Zt_201", 0, "3.0.0.1", 5},
};

// The two older firmwares answer in the short layout, under these exact codes.
const char* const kOlderCodes[] = {"vr_003", "vr-ut1"};

constexpr size_t kCodeLength = 6;
const char kVendorText[] = "ACSERVO";  // 7 bytes at offsets 5-11

std::string normalised(const std::string& code)
{
    std::string out;
    for (char c : code)
        out += (c == '-' || c == '_') ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string padded(std::string text, size_t width)
{
    text.resize(width, ' ');
    return text;
}

void append(std::vector<uint8_t>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

std::optional<DriveModel> ModelTable::find(const std::string& code)
{
    if (code.empty() || code.size() > kCodeLength)
        return std::nullopt;
    for (char c : code)
        if (!std::isprint(static_cast<unsigned char>(c)))
            return std::nullopt;
    for (const char* older : kOlderCodes)
        if (code == older)
            return DriveModel{code, true, 1, "1.0.1.2", true};
    const std::string key = normalised(padded(code, kCodeLength));
    for (const Entry& e : kModels)
        if (normalised(e.name) == key)
            return DriveModel{padded(code, kCodeLength), false, e.pr1f, e.firmware, true, e.driveClass};
    return DriveModel{padded(code, kCodeLength), false, 1, "1.0.0.0", false};
}

std::vector<std::string> ModelTable::knownCodes()
{
    std::vector<std::string> codes;
    for (const Entry& e : kModels)
        codes.push_back(e.name);
    for (const char* older : kOlderCodes)
        codes.push_back(older);
    return codes;
}

std::vector<uint8_t> ModelTable::slaveIdData(const DriveModel& model, uint8_t station)
{
    // Offsets below count from the address byte of the answer; the data
    // starts at offset 3 with the station and the run indicator.
    std::vector<uint8_t> data{station, 0xFF};
    append(data, kVendorText);  // 5-11
    if (model.olderFirmware) {
        // 28-byte answer: firmware at 12-17, code at 18-23, two blanks.
        append(data, padded("V" + model.firmware, kCodeLength));
        append(data, padded(model.code, kCodeLength));
        append(data, "  ");
    } else {
        // 34-byte answer: code at 12-17, then the firmware version text.
        append(data, padded(model.code, kCodeLength));
        append(data, padded("V" + model.firmware, 14));
    }
    return data;
}

}  // namespace drivesim
