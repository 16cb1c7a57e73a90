#pragma once
// A reference decoder of the drive's 9-byte scope records, written from the
// record layout (not from the drive's packer), and a reader that picks the
// records out of what the line carried.

#include "DriveHarness.h"

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace simtest {

enum Channel { Deviation, Command, Speed, Torque, None };
using Sample = std::map<Channel, int16_t>;

// Which channel rides in slots 1, 2 and 3, per mask 1-14.
extern const Channel kSlots[15][3];

// The slot values from the payload D0..D5 (bytes 1..6 of the record).
int16_t slot1(const uint8_t* d, bool deviation);
int16_t slot2(const uint8_t* d);
int16_t slot3(const uint8_t* d);

// Decodes one record into channel values; false if marker or CRC is wrong.
bool decode(const uint8_t* record, int mask, Sample& out);
// Every valid record in `line` from `at` on, skipping anything else.
std::vector<Sample> records(const testsupport::Bytes& line, int mask, size_t at = 0);
// One channel of a run of samples.
std::vector<int> channel(const std::vector<Sample>& samples, Channel which);
// What the drive's scope stream shows with `mask` while `action` runs and
// `ms` pass; the stream is stopped again afterwards.
std::vector<Sample> scope(DriveHarness& d, int mask, uint64_t ms, const std::function<Bytes()>& action);

}  // namespace simtest
