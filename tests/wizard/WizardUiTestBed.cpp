#include "WizardUiTestBed.h"

#include "link/LinkPort.h"
#include "link/LinkRequests.h"

#include <gtest/gtest.h>

std::string RuntimeFolder()
{
    const std::string program = DriveSimProcess::programPath();
    return program.substr(0, program.find_last_of('/'));
}

uint16_t DriveRegister(uint8_t reg)
{
    LinkState& link = linkState();
    EXPECT_EQ(LinkReadRegisters(link.slaveAddress, 0x00, reg, 0x00, 0x01, 20, 2), 1) << "register " << int(reg);
    return static_cast<uint16_t>(link.lastReadReply[3] << 8 | link.lastReadReply[4]);
}

std::array<uint16_t, 128> DriveParameters()
{
    std::array<uint16_t, 128> values{};
    LinkState& link = linkState();
    for (uint8_t start : {0x00, 0x40}) {
        EXPECT_EQ(LinkReadRegisters(link.slaveAddress, 0x00, start, 0x00, 64, 30, 2), 1);
        for (int i = 0; i < 64; ++i)
            values[start + i] = static_cast<uint16_t>(link.lastReadReply[3 + 2 * i] << 8 | link.lastReadReply[4 + 2 * i]);
    }
    return values;
}

void SetDriveRegister(uint8_t reg, uint16_t value)
{
    ASSERT_EQ(LinkWriteRegister(linkState().slaveAddress, 0x00, reg, value >> 8, value & 0xFF, 20), 1);
}

void SimulatedDriveTest::SetUp()
{
    scopedPrompt = std::make_unique<platform::ScopedUserPrompt>(prompt);
    startDrive();
}

void SimulatedDriveTest::startDrive(const std::vector<std::string>& extra)
{
    ResetLinkState();
    sim.reset();
    std::vector<std::string> options = {"--model", "VR-008", "--station", "1", "--baud", "115200",
                                        "--pace", "--latency", "2"};
    options.insert(options.end(), extra.begin(), extra.end());
    sim = std::make_unique<DriveSimProcess>(options);
    ASSERT_TRUE(sim->ok()) << "drivesim did not start: " << DriveSimProcess::programPath();
    MapOnlyPort(1, sim->portPath());
    linkState().portHandle = OpenLinkPort(1, 3);
    ASSERT_TRUE(platform::isOpenHandle(linkState().portHandle));
    linkState().slaveAddress = 1;
    linkState().online = 1;
}

void SimulatedDriveTest::TearDown()
{
    ResetLinkState();
    sim.reset();
    scopedPrompt.reset();
}

void RegisterDriveTest::SetUp()
{
    LinkTestBed::SetUp();
    scopedPrompt = std::make_unique<platform::ScopedUserPrompt>(prompt);
    drive->setHandler([this](Bytes& pending) -> std::optional<Answer> {
        const size_t length = testsupport::ScriptedResponder::modbusRequestLength(pending);
        if (length == 0 || pending.size() < length)
            return std::nullopt;
        const Bytes request(pending.begin(), pending.begin() + static_cast<long>(length));
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(length));
        const uint8_t reg = request[3];
        if (request[1] == 0x03) {
            const uint16_t value = registers[reg];
            return Answer(withCrc({request[0], 0x03, 0x02, static_cast<uint8_t>(value >> 8),
                                   static_cast<uint8_t>(value & 0xFF)}));
        }
        if (request[1] == 0x06 && !unansweredWrites.count(reg)) {
            registers[reg] = static_cast<uint16_t>(request[4] << 8 | request[5]);
            return Answer(request);
        }
        return Answer::none();
    });
    openPort(3);
    linkState().slaveAddress = 1;
    linkState().online = 1;
}

void RegisterDriveTest::TearDown()
{
    drive.reset();  // joins the responder before the registers go away
    scopedPrompt.reset();
    LinkTestBed::TearDown();
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
