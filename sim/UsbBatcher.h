#pragma once
// A USB serial adapter between the drive and the tool, as FTDI chips work:
// what the drive sends reaches the tool in packets of up to 62 bytes, one as
// soon as 62 are waiting, the rest when the adapter's latency timer ticks.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace drivesim {

// Holds the drive's output back into USB-sized batches.
class UsbBatcher {
public:
    static constexpr size_t kPacketBytes = 62;  // 64 less two status bytes

    // `latencyMs` 0: no adapter, bytes pass at once.
    explicit UsbBatcher(uint32_t latencyMs) : latencyUs_(uint64_t(latencyMs) * 1000) {}

    bool active() const { return latencyUs_ > 0; }
    // Bytes the drive has put on its line by `nowUs`.
    void push(const std::vector<uint8_t>& bytes) { waiting_.insert(waiting_.end(), bytes.begin(), bytes.end()); }
    // Appends what has reached the tool by `nowUs`.
    void take(uint64_t nowUs, std::vector<uint8_t>& out);
    // When take() next delivers something; UINT64_MAX when nothing waits.
    uint64_t nextDueUs() const;

private:
    uint64_t latencyUs_;
    std::vector<uint8_t> waiting_;
    uint64_t tick_ = 0;  // the latency timer's tick at the last take()
    bool started_ = false;
};

}  // namespace drivesim
