#include "aux/CTimeOut.h"

#include "platform/Ticks.h"

#include <gtest/gtest.h>

namespace {

// Time stands still unless the test moves it.
class CTimeOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setTickSource([this] { return now; });
    }
    void TearDown() override { platform::setTickSource({}); }
    uint32_t now = 0;
};

}  // namespace

TEST_F(CTimeOutTest, ExpiresOnlyAfterMoreThanTheTimeOut) {
    now = 1000;
    CTimeOut timeOut;
    timeOut.SetTime(500);
    timeOut.Reset();
    now = 1500;
    EXPECT_EQ(timeOut.IsTimeOut(), 0);
    now = 1501;
    EXPECT_EQ(timeOut.IsTimeOut(), 1);
    timeOut.SetTime(600);  // the start stays where it was
    EXPECT_EQ(timeOut.IsTimeOut(), 0);
    now = 1601;
    EXPECT_EQ(timeOut.IsTimeOut(), 1);
}

TEST_F(CTimeOutTest, TickCountWrappingBetweenResetAndPoll) {
    now = 0xFFFFFF00u;
    CTimeOut timeOut(300);
    timeOut.Reset();
    now = 0x0000002Cu;  // 300 ms later, across the wrap
    EXPECT_EQ(timeOut.IsTimeOut(), 0);
    now = 0x0000002Du;
    EXPECT_EQ(timeOut.IsTimeOut(), 1);
}

TEST_F(CTimeOutTest, NeverResetMeasuresFromTickZeroAndLongTimeOutsAreHeld) {
    CTimeOut fromZero(500);
    now = 500;
    EXPECT_EQ(fromZero.IsTimeOut(), 0);
    now = 501;
    EXPECT_EQ(fromZero.IsTimeOut(), 1);
    // 2^32 + 10 ms must not turn into a 10 ms wait.
    CTimeOut longWait;
    longWait = CTimeOut(0x10000000Aul);
    longWait.Reset();
    now += 0xFFFFFFFFu;
    EXPECT_EQ(longWait.IsTimeOut(), 0);
}
