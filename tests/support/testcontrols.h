// What a test may ask of the layer's test controls. Natively (QUELLMARK_TEST_CONTROLS is 1) that is
// the whole of platformtest.h; the Windows test program runs on the real system and has none, so
// the cases that need them sit in "#if QUELLMARK_TEST_CONTROLS" blocks and the rest are portable.
#pragma once

#if QUELLMARK_TEST_CONTROLS
#include "platformtest.h"
#endif

namespace TestControls {
// Natively, brings the layer back to its start state (headless, real clock); elsewhere nothing.
inline void Reset() {
#if QUELLMARK_TEST_CONTROLS
    PlatformTest::Reset();
#endif
}
} // namespace TestControls
