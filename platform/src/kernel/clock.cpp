// timeGetTime: a monotonic millisecond counter (in test programs, or the virtual clock), and the
// first reading of it in each turn of the program's loop, which tells the layer when the program
// last did its work.
#include <ctime>

#include "kernel/kernelinternal.h"
#include "mmsystem.h"
#include "kernel/testhooks.h"

namespace {

bool readThisTurn = false;
DWORD firstReading = 0;

} // namespace

namespace Layer {

int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

DWORD ClockNow() {
    if (DWORD virtualNow = 0; VirtualClock(&virtualNow))
        return virtualNow;
    // Truncated to 32 bits, so the value wraps as the Windows counter does.
    return static_cast<DWORD>(MonotonicNanoseconds() / 1000000);
}

bool TakeTurnReading(DWORD* reading) {
    bool read = readThisTurn;
    *reading = firstReading;
    readThisTurn = false;
    return read;
}

} // namespace Layer

DWORD WINAPI timeGetTime(void) {
    DWORD now = Layer::ClockNow();
    if (!readThisTurn) {
        readThisTurn = true;
        firstReading = now;
    }
    return now;
}
