#include "tests/support/PtyPair.h"

#include "platform/PortTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <unistd.h>

using namespace testsupport;
using platform::PortTable;

namespace {

// A fake /dev: symlinks named like serial devices pointing at ptys, plus
// names that must not count.
class PortTableTest : public ::testing::Test {
protected:
    PortTableTest() {
        char pattern[] = "/tmp/porttable-XXXXXX";
        dir = mkdtemp(pattern);
        for (auto [pty, name] : {std::pair{&usb0, "ttyUSB0"}, {&usb10, "ttyUSB10"}, {&acm0, "ttyACM0"},
                                 {&usb0, "ttyUSBx"}, {&usb0, "console"}})
            link(*pty, name);
        std::ofstream(path("ttyS0")) << "not a terminal";
        PortTable::clear();
        PortTable::setDeviceDirectory(dir);
    }
    ~PortTableTest() override {
        PortTable::clear();
        PortTable::setDeviceDirectory("/dev");
        std::filesystem::remove_all(dir);
    }
    void link(const PtyPair& pty, const std::string& name) {
        ASSERT_EQ(symlink(pty.slavePath().c_str(), path(name).c_str()), 0);
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }

    PtyPair usb0, usb10, acm0;
    std::string dir;
};

}  // namespace

TEST_F(PortTableTest, ExplicitEntriesFirstThenDevicesInFamilyAndNumberOrder) {
    PortTable::setExplicitEntry(2, "/dev/custom");
    PortTable::setExplicitEntry(5, path("ttyACM0"));  // named explicitly: no second number
    PortTable::setExplicitEntry(17, "/dev/ignored");
    const auto entries = PortTable::list();
    ASSERT_EQ(entries.size(), 4u);
    const std::vector<std::tuple<int, std::string, bool>> expected = {
        {1, path("ttyUSB0"), false}, {2, "/dev/custom", true},
        {3, path("ttyUSB10"), false}, {5, path("ttyACM0"), true}};
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(std::tie(entries[i].com, entries[i].devicePath, entries[i].explicitEntry), expected[i]) << i;
    EXPECT_EQ(PortTable::displayName(3), "COM 3 (" + path("ttyUSB10") + ")");
    EXPECT_EQ(PortTable::displayName(9), "COM 9");
    EXPECT_EQ(PortTable::devicePath(9), "");
    EXPECT_EQ(PortTable::devicePath(0), "");
}

TEST_F(PortTableTest, ScanIsCachedUntilRescan) {
    EXPECT_EQ(PortTable::list().size(), 3u);
    PtyPair late;
    link(late, "ttyACM1");
    EXPECT_EQ(PortTable::list().size(), 3u);
    PortTable::rescan();
    EXPECT_EQ(PortTable::devicePath(4), path("ttyACM1"));
}

TEST_F(PortTableTest, LoadsPortMapFromTheSettingsFile) {
    const std::string ini = path("Preference.ini");
    std::ofstream(ini) << "[Global]\nCOM1=/dev/wrong\n[portmap]\ncom4 = /dev/ttyUSB7 \nCOM20=/dev/x\n";
    PortTable::setExplicitEntry(1, "/dev/replaced");
    PortTable::loadFromIni(ini);
    EXPECT_EQ(PortTable::devicePath(4), "/dev/ttyUSB7");
    EXPECT_EQ(PortTable::devicePath(1), path("ttyUSB0"));
}

TEST(PortTableScan, RealDeviceScanIsCheap) {
    PortTable::clear();
    const auto start = std::chrono::steady_clock::now();
    PortTable::list();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
    PortTable::clear();
}
