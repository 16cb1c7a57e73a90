#include "ModbusOnPty.h"

#include <random>

using namespace testsupport;
using CModbusFuzz = ModbusOnPty;

// Seeded random replies: every exchange ends, nothing overruns (ASan runs
// this too), and a good reply afterwards still gets through.
TEST_F(CModbusFuzz, RandomRepliesNeverCrashOrOverrun) {
    std::mt19937 rng(20261206);
    device.setHandler([&rng](Bytes& pending) -> std::optional<Answer> {
        const size_t n = ScriptedResponder::modbusRequestLength(pending);
        if (n == 0 || pending.size() < n) return std::nullopt;
        const Bytes request(pending.begin(), pending.begin() + static_cast<long>(n));
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(n));
        Bytes reply(rng() % 300);
        for (auto& b : reply) b = static_cast<uint8_t>(rng());
        // Often a plausible head, now and then a good CRC, to reach deeper checks.
        if (reply.size() >= 3 && rng() % 2) std::copy(request.begin(), request.begin() + 2, reply.begin());
        if (reply.size() >= 5 && rng() % 4 == 0) reply = withCrc(Bytes(reply.begin(), reply.end() - 2));
        return Answer(reply);
    });
    master.SetPreCountQueTimes(300);
    // Only register reads discard without a 300 ms pause on a bad CRC.
    for (int round = 0; round < 250; ++round) {
        std::vector<unsigned short> regs(1 + rng() % 125);
        master._ReadHoldingRegisters(static_cast<unsigned short>(rng()), static_cast<unsigned short>(regs.size()),
                                     regs.data());
    }
    for (int round = 0; round < 3; ++round) {
        const unsigned short quantity = static_cast<unsigned short>(1 + rng() % 1880);
        std::vector<unsigned char> coils((quantity + 7) / 8);
        master._ReadCoils(0, quantity, coils.data());
        std::vector<unsigned short> values(1 + rng() % 123);
        master._WriteMultipleRegisters(0, static_cast<unsigned short>(values.size()), values.data());
        master._WriteMultipleCoils(0, quantity, coils.data());
        char text[4];
        unsigned char capacity = sizeof text;
        master._ReportSlaveID(text, &capacity, nullptr, nullptr);
    }

    device.setHandler(nullptr);
    device.waitIdle();
    master.GarbageCollection("", 50);
    device.always(withCrc(hex("01 03 00 00 00 01")), Answer(withCrc(hex("01 03 02 12 34"))));
    unsigned short reg = 0;
    EXPECT_EQ(master.ReadHoldingRegisters(0, 1, &reg), 1);
    EXPECT_EQ(reg, 0x1234);
}
