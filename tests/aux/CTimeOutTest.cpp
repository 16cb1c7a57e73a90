#include "aux/CTimeOut.h"

#include "platform/Ticks.h"

#include <gtest/gtest.h>

namespace {

// Time stands still unless the test moves it.
class CTimeOutTest : public ::testing::Test {
protected:
    void SetUp() override { platform::setTickSource([this] { return now; }); }
    void TearDown() override { platform::setTickSource({}); }
    uint32_t now = 0;
};

}  // namespace

TEST_F(CTimeOutTest, ExpiresOnlyAfterMoreThanTheTimeOut) {
    // The clock when the time-out is made, whether it is Reset then, its
    // length, and the first tick at which it has expired.
    const struct { uint32_t madeAt; bool reset; unsigned long length; uint32_t firstExpired; } cases[] = {
        {1000, true, 500, 1501},
        {0xFFFFFF00u, true, 300, 0x2Du},  // the tick count wraps in between
        {100, false, 500, 501},           // never reset: measured from tick 0
    };
    for (const auto& c : cases) {
        now = c.madeAt;
        CTimeOut timeOut(c.length);
        if (c.reset) timeOut.Reset();
        now = c.firstExpired - 1;
        EXPECT_EQ(timeOut.IsTimeOut(), 0) << c.madeAt;
        now = c.firstExpired;
        EXPECT_EQ(timeOut.IsTimeOut(), 1) << c.madeAt;
    }
}

TEST_F(CTimeOutTest, TimeOutsBeyondTheTickRangeAreHeld) {
    // 2^32 + 10 ms must not turn into a 10 ms wait.
    CTimeOut timeOut(0x10000000Aul);
    timeOut.Reset();
    now += 0xFFFFFFFFu;
    EXPECT_EQ(timeOut.IsTimeOut(), 0);
}
