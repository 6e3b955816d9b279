// CheckInterval over the program's table of interval time stamps.
#include "intervaltimer.h"

#include <windows.h>
#include <mmsystem.h>

IntervalTimer intervalTimer;

bool CheckInterval(uint32_t milliseconds, int32_t slot) {
    uint32_t now = timeGetTime();
    if (slot == -1) {
        for (uint32_t& stamp : intervalTimer.stamps)
            stamp = now;
        return false;
    }
    if (slot < 0 || slot >= IntervalTimer::slotCount)
        return false;
    // The deadline wraps modulo 2^32 and is compared unsigned, as the stamps are.
    uint32_t deadline = intervalTimer.stamps[slot] + milliseconds;
    if (now < deadline)
        return false;
    intervalTimer.stamps[slot] = now;
    return true;
}
