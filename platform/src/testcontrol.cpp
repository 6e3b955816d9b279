// PlatformTest::Reset and SetHeadless: bring the whole layer back to a known state between tests.
#include "internal.h"
#include "platformtest.h"

void PlatformTest::Reset() {
    Layer::SetHeadlessMode(true);
    Layer::DestroyAllWindows();
    Layer::ClearWindowClasses();
    Layer::ClearQueues();
    Layer::ClearInputState();
    Layer::ClearMessageBoxes();
    Layer::ClearFailures();
    Layer::ResetClock();
    Layer::ResetCursorCount();
    PlatformTest::SetModulePath("");
    SetLastError(ERROR_SUCCESS);
}

void PlatformTest::SetHeadless(bool headless) {
    Layer::SetHeadlessMode(headless);
}
