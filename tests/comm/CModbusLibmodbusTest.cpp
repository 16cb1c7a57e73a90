// CModbus against libmodbus, an independent implementation: a libmodbus RTU
// server on the slave side of a pty, our master on the master side.

#include "tests/support/PtyPair.h"

#include "comm/CModbus.h"

#include <gtest/gtest.h>
#include <modbus.h>

#include <atomic>
#include <thread>

using namespace testsupport;

namespace {

class CModbusLibmodbusTest : public ::testing::Test {
protected:
    CModbusLibmodbusTest() {
        master.m_hComm = pty.masterFd();  // owned by the pty
        master.SetPreCountQueTimes(30000);
        if (!ctx || !map || modbus_set_slave(ctx, 1) != 0 || modbus_connect(ctx) != 0) return;
        modbus_set_indication_timeout(ctx, 0, 20000);  // bounded, so the server sees `stop`
        server = std::thread([this] {
            uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
            while (!stop)
                if (int rc = modbus_receive(ctx, query); rc > 0) modbus_reply(ctx, query, rc, map);
        });
    }
    ~CModbusLibmodbusTest() override {
        master.m_hComm = platform::kNoPort;
        stop = true;
        if (server.joinable()) server.join();
        if (ctx) { modbus_close(ctx); modbus_free(ctx); }
        if (map) modbus_mapping_free(map);
    }

    PtyPair pty;
    CModbus master;
    modbus_t* ctx = modbus_new_rtu(pty.slavePath().c_str(), 19200, 'N', 8, 1);
    modbus_mapping_t* map = modbus_mapping_new(64, 0, 128, 0);
    std::atomic<bool> stop{false};
    std::thread server;
};

}  // namespace

// Registers and coils round-trip through an independent server; coils pack low bit first.
TEST_F(CModbusLibmodbusTest, RegistersAndCoilsRoundTrip) {
    ASSERT_TRUE(server.joinable());
    for (int i = 0; i < 128; ++i) map->tab_registers[i] = static_cast<uint16_t>(0x1000 + i);
    std::vector<unsigned short> regs(125);
    ASSERT_EQ(master.ReadHoldingRegisters(3, 125, regs.data()), 1);
    EXPECT_EQ(regs[0], 0x1003);
    EXPECT_EQ(regs[124], 0x1000 + 127);
    unsigned short values[3] = {0xFFFB, 0, 0x8001}, back[3] = {1, 1, 1};
    ASSERT_EQ(master.WriteMultipleRegisters(0x10, 3, values), 1);
    ASSERT_EQ(master.ReadHoldingRegisters(0x10, 3, back), 1);
    EXPECT_EQ(std::vector<unsigned short>(back, back + 3), std::vector<unsigned short>(values, values + 3));
    EXPECT_EQ(map->tab_registers[0x13], 0x1013);

    unsigned char packed[2] = {0xA5, 0x03}, read[2] = {};  // coils 5..14
    ASSERT_EQ(master.WriteMultipleCoils(5, 10, packed), 1);
    EXPECT_EQ(std::vector<uint8_t>(map->tab_bits + 4, map->tab_bits + 16),
              (std::vector<uint8_t>{0, 1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0}));
    ASSERT_EQ(master.ReadCoils(5, 10, read), 1);
    EXPECT_EQ(read[0] << 8 | read[1], 0xA503);
}
