// Timing of the Modbus master: CRC throughput, and a 125-register read
// through CModbus beside libmodbus's modbus_read_registers, both on a pty
// against the same scripted device, with their ratio.
//
//   comm_bench [reads]      (default 300 reads per client)

#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include "comm/CModbus.h"
#include "comm/ModbusCrc.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"

#include <modbus.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace testsupport;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double crcMegabytesPerSecond() {
    std::vector<uint8_t> data(64 * 1024);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31 + 7);
    volatile uint16_t sink = 0;
    size_t bytes = 0;
    const auto start = Clock::now();
    while (secondsSince(start) < 0.5) {
        for (int i = 0; i < 16; ++i) sink = sink ^ qdcomm::modbusCrcWire(data.data(), data.size());
        bytes += 16 * data.size();
    }
    return bytes / secondsSince(start) / 1e6;
}

// A device answering every register read with `count` registers.
void answerRegisterReads(ScriptedResponder& device) {
    device.setHandler([](Bytes& pending) -> std::optional<Answer> {
        const size_t n = ScriptedResponder::modbusRequestLength(pending);
        if (n == 0 || pending.size() < n) return std::nullopt;
        const unsigned count = pending[4] * 256u + pending[5];
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(n));
        Bytes reply = {0x01, 0x03, static_cast<uint8_t>(2 * count)};
        for (unsigned j = 0; j < count; ++j) {
            reply.push_back(static_cast<uint8_t>(j >> 8));
            reply.push_back(static_cast<uint8_t>(j));
        }
        return Answer(withCrc(reply));
    });
}

// Mean microseconds per read, or a negative value when a read failed.
double timeCModbus(const PtyPair& pty, int reads) {
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped(prompt);
    platform::PortTable::setExplicitEntry(1, pty.slavePath());
    platform::SerialSettings settings;
    CModbus master;
    if (!master.OpenComPort(1, settings)) return -1;
    std::vector<unsigned short> regs(125);
    double result = -1;
    if (master.ReadHoldingRegisters(0, 125, regs.data())) {
        const auto start = Clock::now();
        int ok = 0;
        for (int i = 0; i < reads; ++i) ok += master.ReadHoldingRegisters(0, 125, regs.data());
        if (ok == reads) result = secondsSince(start) * 1e6 / reads;
    }
    master.CloseComPort();
    return result;
}

double timeLibmodbus(const PtyPair& pty, int reads) {
    modbus_t* ctx = modbus_new_rtu(pty.slavePath().c_str(), 19200, 'N', 8, 1);
    if (!ctx) return -1;
    double result = -1;
    uint16_t regs[125];
    if (modbus_set_slave(ctx, 1) == 0 && modbus_connect(ctx) == 0) {
        if (modbus_read_registers(ctx, 0, 125, regs) == 125) {
            const auto start = Clock::now();
            int ok = 0;
            for (int i = 0; i < reads; ++i) ok += modbus_read_registers(ctx, 0, 125, regs) == 125;
            if (ok == reads) result = secondsSince(start) * 1e6 / reads;
        }
        modbus_close(ctx);
    }
    modbus_free(ctx);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const int reads = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    std::printf("CRC-16/MODBUS (table):            %8.1f MB/s\n", crcMegabytesPerSecond());

    PtyPair pty;
    if (!pty.ok()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    ScriptedResponder device(pty.masterFd());
    answerRegisterReads(device);
    const double ours = timeCModbus(pty, reads);
    const double theirs = timeLibmodbus(pty, reads);
    if (ours < 0 || theirs < 0) {
        std::fprintf(stderr, "a read failed (CModbus %.1f, libmodbus %.1f)\n", ours, theirs);
        return 1;
    }
    std::printf("125-register read, CModbus:       %8.1f us/read (%d reads, pty, no pacing)\n", ours, reads);
    std::printf("125-register read, libmodbus:     %8.1f us/read\n", theirs);
    std::printf("CModbus / libmodbus time ratio:   %8.2f\n", ours / theirs);
    return 0;
}
