#pragma once
// The simulated drive without its transport: bytes in, bytes out, and a
// clock. It frames requests, answers them, streams scope records while a
// channel mask is set, and applies the configured line faults.

#include "sim/DriveRegisters.h"
#include "sim/FaultInjector.h"
#include "sim/ModbusSlave.h"
#include "sim/OutputScheduler.h"
#include "sim/RtuFramer.h"
#include "sim/UsbBatcher.h"

#include <cstdint>
#include <vector>

namespace drivesim {

// One drive on one serial line, driven by explicit time in microseconds.
class DriveSimulator {
public:
    struct LineSettings {
        uint32_t baud = 19200;
        bool paced = false;
        uint32_t latencyMs = 0;
        uint32_t recordsPerSecond = 1000;  // one sample per millisecond, at most what the line carries
        uint32_t silenceResyncMs = 50;     // quiet time after which a partial request is dropped
        uint32_t usbBatchMs = 0;           // a USB adapter's latency timer; 0 a plain serial line
        FaultInjector::Settings faults;
    };
    struct Counters {
        uint64_t requests = 0;      // complete frames, any station
        uint64_t answers = 0;       // answers queued
        uint64_t records = 0;       // stream records queued
        uint64_t lostRecords = 0;   // records the line had no room for
    };

    DriveSimulator(const DriveRegisters::Config& drive, const LineSettings& line,
                   const EepromFile* eeprom = nullptr, const EepromFile::Image* savedImage = nullptr);
    // The slave refers to the registers inside: a copy would point back here.
    DriveSimulator(const DriveSimulator&) = delete;
    DriveSimulator& operator=(const DriveSimulator&) = delete;

    void receive(const uint8_t* data, size_t length, uint64_t nowUs);
    // The line's settings differ from the drive's: whatever arrives is noise.
    void discardInput() { framer_.clear(); }
    // Moves the drive's clock on and queues due stream records.
    void advance(uint64_t nowUs);
    // Appends what has reached the tool by nowUs.
    void release(uint64_t nowUs, std::vector<uint8_t>& out);
    // The next time advance() or release() has work; UINT64_MAX for none.
    uint64_t nextWakeUs() const;
    // The drive is switched off and on again: whatever it was about to send
    // is lost, and it starts from its EEPROM (DriveRegisters::powerCycle).
    void powerCycle();

    DriveRegisters& registers() { return registers_; }
    const Counters& counters() const { return counters_; }
    const RtuFramer& framer() const { return framer_; }

private:
    void answer(const std::vector<uint8_t>& frame, uint64_t nowUs);
    void stream(uint64_t nowUs);
    uint64_t recordDueUs(uint64_t index) const;
    // The time between records: the rate asked for, or slower when the line
    // cannot carry it.
    static double recordPeriod(const LineSettings& line);
    void stopStream();

    LineSettings line_;
    double recordPeriodUs_;  // the stream's pace: never faster than the line
    DriveRegisters registers_;
    ModbusSlave slave_;
    RtuFramer framer_;
    OutputScheduler output_;
    FaultInjector faults_;
    UsbBatcher adapter_;
    Counters counters_;
    uint64_t lastInputUs_ = 0;
    uint64_t startUs_ = UINT64_MAX;  // the drive's first moment, for --power-cycle-after
    bool powerCycled_ = false;
    bool streaming_ = false;
    uint64_t streamStartUs_ = 0;
    uint64_t recordsDue_ = 0;  // records owed since the stream started
    // The answer to the write that starts the stream leaves before the first
    // record, as on the drive; the stream waits until then.
    uint64_t streamHoldUntilUs_ = 0;
};

}  // namespace drivesim
