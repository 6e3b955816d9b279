// IntervalTimer: 100 millisecond time stamps, and CheckInterval, which asks whether one has run
// out.
#pragma once

#include <cstdint>

struct IntervalTimer {
    static constexpr int slotCount = 100;
    uint32_t stamps[slotCount] = {};
};

extern IntervalTimer intervalTimer;

// Slot -1 stamps every slot with the current time and answers false. For slot 0 to 99: true when
// at least milliseconds have passed since the slot's stamp (which then becomes the current time),
// counted modulo 2^32 so that the counter's wrap-around changes nothing. Any other slot: false.
bool CheckInterval(uint32_t milliseconds, int32_t slot);
