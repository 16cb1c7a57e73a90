// The port list names USB adapters by their stable by-id names, read from a
// fake device folder whose serial devices are pseudo-terminals.

#include "tests/platform/TempFolder.h"
#include "tests/support/PtyPair.h"

#include "platform/PortTable.h"
#include "platform/SerialAdapterNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using platform::PortTable;
using platform::SerialAdapterNames;
using testing_files::TempFolder;
using testsupport::PtyPair;

TEST(SerialAdapterNamesTest, ReadableNameDropsBusAndInterfaceAndShowsBlanks)
{
    const std::pair<const char*, const char*> rows[] = {
        {"usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "FTDI FT232R USB UART A50285BI"},
        {"usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0",
         "Prolific Technology Inc. USB-Serial Controller"},
        {"usb-1a86_USB_Serial-if00-port0", "1a86 USB Serial"},
        {"usb-Arduino__www.arduino.cc__0043_7563331-if00", "Arduino  www.arduino.cc  0043 7563331"},
        {"usb-Silicon_Labs_CP2105_Dual_0096-if01", "Silicon Labs CP2105 Dual 0096"},
        // Suffixes that are not an interface stay part of the name.
        {"usb-Maker_Widget-if", "Maker Widget-if"},
        {"usb-Maker_Widget-if00-portX", "Maker Widget-if00-portX"},
        {"pci-Card_Serial", "pci-Card Serial"},
        {"usb-", "usb-"},
    };
    for (const auto& [link, expected] : rows)
        EXPECT_EQ(SerialAdapterNames::readableName(link), expected) << link;
}

class FakeDeviceFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(usb0_.ok() && usb1_.ok() && builtIn_.ok());
        std::filesystem::create_directories(folder_.file("serial/by-id"));
        link(usb0_.slavePath(), "ttyUSB0");
        link(usb1_.slavePath(), "ttyUSB1");
        link(builtIn_.slavePath(), "ttyS0");
        // udev's links are relative, into the device folder.
        link("../../ttyUSB0", "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        link("../../ttyUSB1", "serial/by-id/usb-FTDI_FT232R_USB_UART_B7700QX1-if00-port0");
        link("../../ttyUSB9", "serial/by-id/usb-Gone_Adapter-if00-port0");  // dangling
        PortTable::clear();
        PortTable::setDeviceDirectory(folder_.path());
    }
    void TearDown() override
    {
        PortTable::clear();
        PortTable::setDeviceDirectory("/dev");
    }
    void link(const std::string& target, const std::string& name)
    {
        ASSERT_EQ(::symlink(target.c_str(), folder_.file(name).c_str()), 0) << name;
    }
    std::string path(const std::string& name) const { return folder_.file(name); }

    TempFolder folder_;
    PtyPair usb0_, usb1_, builtIn_;
};

TEST_F(FakeDeviceFolder, TwoAdaptersOfOneModelAreToldApartByTheirSerialNumbers)
{
    EXPECT_EQ(PortTable::displayName(1), "COM 1 (" + path("ttyUSB0") + ", FTDI FT232R USB UART A50285BI)");
    EXPECT_EQ(PortTable::displayName(2), "COM 2 (" + path("ttyUSB1") + ", FTDI FT232R USB UART B7700QX1)");
    // A port without a by-id link keeps the plain form; a number without a device has no path.
    EXPECT_EQ(PortTable::displayName(3), "COM 3 (" + path("ttyS0") + ")");
    EXPECT_EQ(PortTable::displayName(4), "COM 4");
}

TEST_F(FakeDeviceFolder, AnExplicitEntryGivenByItsStableLinkShowsTheAdapterToo)
{
    const std::string byId = path("serial/by-id/usb-FTDI_FT232R_USB_UART_B7700QX1-if00-port0");
    PortTable::setExplicitEntry(5, byId);
    EXPECT_EQ(PortTable::displayName(5), "COM 5 (" + byId + ", FTDI FT232R USB UART B7700QX1)");
    // An entry naming a device that is gone shows no adapter name.
    PortTable::setExplicitEntry(6, path("ttyUSB9"));
    EXPECT_EQ(PortTable::displayName(6), "COM 6 (" + path("ttyUSB9") + ")");
}

TEST_F(FakeDeviceFolder, AdapterUnpluggedAfterTheScanLosesItsName)
{
    ASSERT_EQ(PortTable::displayName(1), "COM 1 (" + path("ttyUSB0") + ", FTDI FT232R USB UART A50285BI)");
    std::filesystem::remove(path("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
    EXPECT_EQ(PortTable::displayName(1), "COM 1 (" + path("ttyUSB0") + ")");
}
