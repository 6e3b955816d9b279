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
    // Elapsed time modulo 2^32, so a check stays right when the millisecond counter wraps
    // (comparing against stamp + milliseconds would fire early near the wrap and then stall).
    if (now - intervalTimer.stamps[slot] < milliseconds)
        return false;
    intervalTimer.stamps[slot] = now;
    return true;
}
