#include "tests/support/PtyPair.h"

#include "platform/PortTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <unistd.h>

using namespace testsupport;
using platform::PortTable;

// A fake /dev: links named like serial devices pointing at ptys, plus names
// that must not count; explicit entries take their numbers first.
TEST(PortTableTest, ExplicitEntriesFirstThenDevicesInFamilyAndNumberOrder) {
    char pattern[] = "/tmp/porttable-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    auto path = [&](const std::string& name) { return dir + "/" + name; };
    PtyPair usb0, usb10, acm0;
    for (auto [pty, name] : {std::pair{&usb0, "ttyUSB0"}, {&usb10, "ttyUSB10"}, {&acm0, "ttyACM0"}, {&usb0, "ttyUSBx"}})
        ASSERT_EQ(symlink(pty->slavePath().c_str(), path(name).c_str()), 0);
    std::ofstream(path("ttyS0")) << "not a terminal";
    PortTable::clear();
    PortTable::setDeviceDirectory(dir);
    PortTable::setExplicitEntry(2, "/dev/custom");
    PortTable::setExplicitEntry(5, path("ttyACM0"));  // named explicitly: no second number

    const auto entries = PortTable::list();
    const std::vector<std::tuple<int, std::string, bool>> expected = {
        {1, path("ttyUSB0"), false}, {2, "/dev/custom", true},
        {3, path("ttyUSB10"), false}, {5, path("ttyACM0"), true}};
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(std::tie(entries[i].com, entries[i].devicePath, entries[i].explicitEntry), expected[i]) << i;
    EXPECT_EQ(PortTable::displayName(3), "COM 3 (" + path("ttyUSB10") + ")");
    EXPECT_EQ(PortTable::devicePath(9), "");
    PortTable::clear();
    PortTable::setDeviceDirectory("/dev");
    std::filesystem::remove_all(dir);
}
