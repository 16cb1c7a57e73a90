// CModbus against libmodbus, an independent Modbus implementation: a
// libmodbus RTU server on the slave side of a pty, our master on the master
// side (assigned as an owner-opened handle).

#include "tests/support/PtyPair.h"

#include "comm/CModbus.h"

#include <gtest/gtest.h>
#include <modbus.h>

#include <atomic>
#include <cerrno>
#include <thread>

using namespace testsupport;

namespace {

class LibmodbusServer {
public:
    explicit LibmodbusServer(const std::string& path) {
        ctx_ = modbus_new_rtu(path.c_str(), 19200, 'N', 8, 1);
        mapping_ = modbus_mapping_new(64, 0, 128, 0);
        if (!ctx_ || !mapping_ || modbus_set_slave(ctx_, 1) != 0 || modbus_connect(ctx_) != 0) return;
        // Bounded waits, so the thread sees the stop flag.
        modbus_set_indication_timeout(ctx_, 0, 20000);
        ready_ = true;
        thread_ = std::thread([this] { serve(); });
    }
    ~LibmodbusServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (ctx_) {
            modbus_close(ctx_);
            modbus_free(ctx_);
        }
        if (mapping_) modbus_mapping_free(mapping_);
    }
    bool ready() const { return ready_; }
    modbus_mapping_t* mapping() { return mapping_; }

private:
    void serve() {
        uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!stop_) {
            int rc = modbus_receive(ctx_, query);
            if (rc > 0) modbus_reply(ctx_, query, rc, mapping_);
        }
    }

    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* mapping_ = nullptr;
    bool ready_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class CModbusLibmodbusTest : public ::testing::Test {
protected:
    CModbusLibmodbusTest() : server(pty.slavePath()) {
        master.m_hComm = pty.masterFd();  // owned by the pty
        master.SetPreCountQueTimes(30000);
    }
    ~CModbusLibmodbusTest() override { master.m_hComm = platform::kNoPort; }

    PtyPair pty;
    LibmodbusServer server;
    CModbus master;
};

}  // namespace

TEST_F(CModbusLibmodbusTest, HoldingRegistersRoundTrip) {
    ASSERT_TRUE(server.ready());
    for (int i = 0; i < 128; ++i) server.mapping()->tab_registers[i] = static_cast<uint16_t>(0x1000 + i);
    std::vector<unsigned short> regs(125);
    ASSERT_EQ(master.ReadHoldingRegisters(3, 125, regs.data()), 1);
    EXPECT_EQ(regs[0], 0x1003);
    EXPECT_EQ(regs[124], 0x1000 + 127);

    unsigned short values[3] = {0xFFFB, 0, 0x8001};
    ASSERT_EQ(master.WriteMultipleRegisters(0x10, 3, values), 1);
    unsigned short back[3] = {};
    ASSERT_EQ(master.ReadHoldingRegisters(0x10, 3, back), 1);
    EXPECT_EQ(back[0], 0xFFFB);
    EXPECT_EQ(back[2], 0x8001);
    EXPECT_EQ(server.mapping()->tab_registers[0x11], 0);
}

TEST_F(CModbusLibmodbusTest, CoilsRoundTripPackedLowBitFirst) {
    ASSERT_TRUE(server.ready());
    unsigned char packed[2] = {0xA5, 0x03};  // coils 5..14
    ASSERT_EQ(master.WriteMultipleCoils(5, 10, packed), 1);
    EXPECT_EQ(server.mapping()->tab_bits[5], 1);
    EXPECT_EQ(server.mapping()->tab_bits[6], 0);
    EXPECT_EQ(server.mapping()->tab_bits[7], 1);
    EXPECT_EQ(server.mapping()->tab_bits[14], 1);
    EXPECT_EQ(server.mapping()->tab_bits[15], 0);

    unsigned char read[2] = {};
    ASSERT_EQ(master.ReadCoils(5, 10, read), 1);
    EXPECT_EQ(read[0], 0xA5);
    EXPECT_EQ(read[1], 0x03);
}

TEST_F(CModbusLibmodbusTest, ExceptionRepliesFail) {
    ASSERT_TRUE(server.ready());
    unsigned short regs[4];
    master.MonitorInit();
    EXPECT_EQ(master.ReadHoldingRegisters(126, 4, regs), 0);  // past the mapping
    std::string line;
    ASSERT_EQ(master.MonitorGetPacket(line), 1);
    EXPECT_EQ(line.rfind("RReg: 01 83 02 ", 0), 0u);
    unsigned char coils[1];
    EXPECT_EQ(master.ReadCoils(60, 8, coils), 0);
    EXPECT_EQ(master.LastResult(), CModbus::Result::WrongFunction);
}
