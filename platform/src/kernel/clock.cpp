// timeGetTime: a monotonic millisecond counter (in test programs, or the virtual clock).
#include <ctime>

#include "kernel/kernelinternal.h"
#include "mmsystem.h"
#include "kernel/testhooks.h"

DWORD WINAPI timeGetTime(void) {
    if (DWORD virtualNow = 0; Layer::VirtualClock(&virtualNow))
        return virtualNow;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Truncated to 32 bits, so the value wraps as the Windows counter does.
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                              static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}
