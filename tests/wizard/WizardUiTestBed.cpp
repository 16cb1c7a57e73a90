#include "WizardUiTestBed.h"

std::unique_ptr<ConnectedDrive> SimulatedDriveTest::drive;

std::string RuntimeFolder()
{
    const std::string program = DriveSimProcess::programPath();
    return program.substr(0, program.find_last_of('/'));
}

uint16_t DriveRegister(uint8_t reg)
{
    uint16_t value = 0;
    EXPECT_TRUE(SimulatedDriveTest::connected().readRegisters(reg, 1, &value)) << "register " << int(reg);
    return value;
}

std::array<uint16_t, 128> DriveParameters()
{
    std::array<uint16_t, 128> values{};
    EXPECT_TRUE(SimulatedDriveTest::connected().readRegisters(0x00, 64, values.data()));
    EXPECT_TRUE(SimulatedDriveTest::connected().readRegisters(0x40, 64, values.data() + 64));
    return values;
}

void SetDriveRegister(uint8_t reg, uint16_t value)
{
    ASSERT_TRUE(SimulatedDriveTest::connected().writeRegister(reg, value)) << "register " << int(reg);
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
