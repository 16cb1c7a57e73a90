// drivesim's numeric options: decimal, or hexadecimal with 0x. A leading
// zero is still decimal (a station typed as "010" is station 10, not 8).
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

drivesim::SimOptions::Outcome parse(std::vector<const char*> args, drivesim::SimOptions& options)
{
    args.insert(args.begin(), "drivesim");
    std::string error;
    return drivesim::SimOptions::parse(static_cast<int>(args.size()), args.data(), options, error);
}

}  // namespace

TEST(SimOptionNumbers, DecimalWithLeadingZerosAndHexWithPrefix)
{
    using Outcome = drivesim::SimOptions::Outcome;
    drivesim::SimOptions options;
    ASSERT_EQ(parse({"--station", "010", "--latency", "0x20", "--mode", "0"}, options), Outcome::Run);
    EXPECT_EQ(options.drive.station, 10);
    EXPECT_EQ(options.line.latencyMs, 32u);
    EXPECT_EQ(options.drive.controlMode, 0);

    drivesim::SimOptions more;
    ASSERT_EQ(parse({"--station", "08", "--latency", "0X0A"}, more), Outcome::Run);
    EXPECT_EQ(more.drive.station, 8);
    EXPECT_EQ(more.line.latencyMs, 10u);

    for (const char* bad : {"0x", "1x", "0x1G", "-0x5", " 5", "", "256"}) {
        drivesim::SimOptions rejected;
        EXPECT_EQ(parse({"--station", bad}, rejected), Outcome::Error) << '"' << bad << '"';
    }
}
