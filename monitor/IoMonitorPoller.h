#pragma once
// The I/O monitor's polling through the library's Modbus master: the control
// mode, the two pulse sums, the input and the output pins, one exchange per
// step, and the Zero commands. A drive that does not answer the mode read is
// asked again only every 3 s until it does.

#include <cstdint>
#include <string>

class CModbus;

constexpr uint16_t kControlModeRegister = 2;
constexpr uint16_t kCommandSumRegister = 924;   // 924-925, low word first
constexpr uint16_t kFeedbackSumRegister = 926;  // 926-927
constexpr uint16_t kFirstInputCoil = 32;        // 32-42
constexpr uint16_t kInputCoilCount = 11;
constexpr uint16_t kFirstOutputCoil = 0;        // 0-5
constexpr uint16_t kOutputCoilCount = 6;

struct IoReadout {
    bool answering = true;  // the last mode read succeeded
    std::string modeText = "I/O Monitor Function";
    int modeValue = -1;  // register 2 as last read; -1 before the first read
    bool sumsKnown = false;
    int32_t commandSum = 0;
    int32_t feedbackSum = 0;
    bool inputsKnown = false;
    std::string inputText;
    uint16_t inputBits = 0;  // bit 0 = coil 32
    bool outputsKnown = false;
    std::string outputText;
    uint8_t outputBits = 0;  // bit 0 = coil 0
};

class IoMonitorPoller {
public:
    static constexpr int kDefaultIntervalMs = 115;
    static constexpr int kSlowPollMs = 3000;
    // A shorter setting would flood the line (0 would poll without pause).
    static constexpr int kMinimumIntervalMs = 10;

    IoMonitorPoller(CModbus& modbus, int intervalMs);

    // Runs the next step (one exchange); returns the milliseconds until the
    // next step is due: 0 within a round, the interval after it, 3000 after
    // a failed mode read.
    int step();
    // One whole round, for a one-shot reading; true when the drive answered.
    bool readAll();
    // Writes 0 to the low word of a sum; on success the sum shows 0.
    bool zeroCommandSum();
    bool zeroFeedbackSum();

    const IoReadout& readout() const { return readout_; }
    int intervalMs() const { return intervalMs_; }
    bool atRoundStart() const { return next_ == Step::Mode; }

private:
    enum class Step { Mode, Sums, Inputs, Outputs };
    bool zero(uint16_t reg, int32_t& shown);

    CModbus& modbus_;
    int intervalMs_;
    Step next_ = Step::Mode;
    IoReadout readout_;
};
