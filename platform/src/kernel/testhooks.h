// The places where the layer consults its test controls.
//
// The shipping library is compiled without PLATFORM_TEST_CONTROLS: each hook is then a constant
// that the compiler folds away, so a program holds no test control and pays nothing for them. The
// test library (platform_testable) compiles the same sources with it and defines the hooks in
// platform/testing/, behind the test-only header platformtest.h.
#pragma once

#include <string>

#include "windows.h"

namespace Layer {

#ifdef PLATFORM_TEST_CONTROLS
// True when a test asked that this call fail now (and counts it down).
bool ShouldFail(const char* function);
// True when a test pulls the music itself: audio devices then stay paused.
bool TestPullsAudio();
// True with the virtual clock's time in now when a test runs the clock.
bool VirtualClock(DWORD* now);
// With the virtual clock running, moves it on by milliseconds (time the layer would wait) and
// answers true; false when the real clock runs and the caller must really wait.
bool AdvanceVirtualClock(DWORD milliseconds);
// The Linux path a test made GetModuleFileNameA answer; null when none.
const std::string* ModulePathOverride();
// Records a message box shown in headless mode and gives the test's answer.
int RecordMessageBox(HWND owner, const char* text, const char* caption, UINT type);
// Whether the view of a window is kept between runs (off in tests unless a test asks).
bool ViewsRemembered();
// True for a path in a folder a test made this account unable to use (another account's).
bool AccessDenied(const std::string& linuxPath);
#else
constexpr bool ShouldFail(const char*) {
    return false;
}
constexpr bool TestPullsAudio() {
    return false;
}
constexpr bool VirtualClock(DWORD*) {
    return false;
}
constexpr bool AdvanceVirtualClock(DWORD) {
    return false;
}
constexpr const std::string* ModulePathOverride() {
    return nullptr;
}
constexpr int RecordMessageBox(HWND, const char*, const char*, UINT) {
    return 0;
}
constexpr bool ViewsRemembered() {
    return true;
}
inline bool AccessDenied(const std::string&) {
    return false;
}
#endif

} // namespace Layer
