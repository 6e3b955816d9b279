// CheckInterval against the real clock: resets, slots outside the table, and the first checks.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

#include "core/intervaltimer.h"

namespace {

TEST(IntervalTimerTest, ResetStampsEverySlotAndAnswersFalse) {
    memset(intervalTimer.stamps, 0, sizeof intervalTimer.stamps);
    uint32_t before = timeGetTime();
    EXPECT_FALSE(CheckInterval(0, -1));
    uint32_t after = timeGetTime();
    for (uint32_t stamp : intervalTimer.stamps) {
        EXPECT_GE(stamp - before, 0u);
        EXPECT_LE(stamp - before, after - before);
    }
}

TEST(IntervalTimerTest, ZeroIntervalIsDueInEverySlotRightAfterAReset) {
    CheckInterval(0, -1);
    for (int slot = 0; slot < IntervalTimer::slotCount; ++slot)
        EXPECT_TRUE(CheckInterval(0, slot)) << slot;
}

TEST(IntervalTimerTest, SlotsOutsideTheTableAnswerFalseAndChangeNothing) {
    CheckInterval(0, -1);
    IntervalTimer before = intervalTimer;
    for (int32_t slot : {100, 1000, -2, INT32_MIN, INT32_MAX})
        EXPECT_FALSE(CheckInterval(0, slot)) << slot;
    EXPECT_EQ(0, memcmp(&before, &intervalTimer, sizeof before));
}

TEST(IntervalTimerTest, StampsOfZeroAreDueOnceTheClockHasPassedTheInterval) {
    memset(intervalTimer.stamps, 0, sizeof intervalTimer.stamps);
    uint32_t now = timeGetTime();
    ASSERT_GT(now, 1000u) << "a running system has been up for more than a second";
    EXPECT_TRUE(CheckInterval(1000, 7));
    EXPECT_GE(intervalTimer.stamps[7], now);
    EXPECT_EQ(0u, intervalTimer.stamps[8]);
}

} // namespace
