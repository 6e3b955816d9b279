// timeGetTime: a monotonic millisecond counter, or the virtual clock that tests drive.
#include <ctime>

#include "internal.h"
#include "mmsystem.h"
#include "platformtest.h"

namespace {
bool virtualClock = false;
DWORD virtualNow = 0;
} // namespace

DWORD WINAPI timeGetTime(void) {
    if (virtualClock)
        return virtualNow;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Truncated to 32 bits, so the value wraps as the Windows counter does.
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                              static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void Layer::ResetClock() {
    virtualClock = false;
    virtualNow = 0;
}

void PlatformTest::SetClock(DWORD milliseconds) {
    virtualClock = true;
    virtualNow = milliseconds;
}

void PlatformTest::AdvanceClock(DWORD milliseconds) {
    virtualClock = true;
    virtualNow += milliseconds; // unsigned: wraps like the real counter
}

void PlatformTest::UseRealClock() {
    virtualClock = false;
}
