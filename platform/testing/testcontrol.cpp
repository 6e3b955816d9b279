// The layer's test controls: reset, headless mode, the virtual clock, injected failures, the
// module path and recorded message boxes. Linked only into test programs.
#include <map>
#include <string>
#include <unistd.h>

#include "ddraw/ddinternal.h"
#include "screen/screen.h"
#include "kernel/kernelinternal.h"
#include "user/userinternal.h"
#include "platformtest.h"
#include "kernel/testhooks.h"

namespace {

struct Pending {
    int skip = 0;
    int times = 0;
};

// Allocated once and never destroyed, so that global destructors may still call the layer.
struct Controls {
    bool pullsAudio = false; // headless: the tests pull the music themselves
    bool virtualClock = false;
    DWORD virtualNow = 0;
    std::map<std::string, Pending> failures;
    std::string modulePath;
    std::vector<PlatformTest::MessageBoxRecord> boxes;
    bool viewsRemembered = false;
    std::string deniedFolder; // a Linux folder, absolute
};

Controls& State() {
    static auto* controls = new Controls;
    return *controls;
}

int DefaultAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

} // namespace

namespace Layer {

bool ShouldFail(const char* function) {
    auto& failures = State().failures;
    auto found = failures.find(function);
    if (found == failures.end())
        return false;
    if (found->second.skip > 0) {
        --found->second.skip;
        return false;
    }
    if (--found->second.times <= 0)
        failures.erase(found);
    return true;
}

bool TestPullsAudio() {
    return State().pullsAudio;
}

bool VirtualClock(DWORD* now) {
    *now = State().virtualNow;
    return State().virtualClock;
}

bool AdvanceVirtualClock(DWORD milliseconds) {
    if (!State().virtualClock)
        return false;
    State().virtualNow += milliseconds;
    return true;
}

bool ViewsRemembered() {
    return State().viewsRemembered;
}

bool AccessDenied(const std::string& linuxPath) {
    const std::string& folder = State().deniedFolder;
    if (folder.empty())
        return false;
    std::string path = linuxPath;
    if (path.empty() || path[0] != '/') {
        char current[4096];
        if (getcwd(current, sizeof current) == nullptr)
            return false;
        path = std::string(current) + "/" + path;
    }
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

const std::string* ModulePathOverride() {
    return State().modulePath.empty() ? nullptr : &State().modulePath;
}

int RecordMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    State().boxes.push_back(
        {owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type});
    return DefaultAnswer(type);
}

} // namespace Layer

void PlatformTest::Reset() {
    Controls& controls = State();
    Layer::DestroyAllWindows();
    SetHeadless(true);
    Layer::ClearWindowClasses();
    Layer::ClearQueues();
    Layer::ClearInputState();
    controls.boxes.clear();
    controls.failures.clear();
    controls.virtualClock = false;
    controls.virtualNow = 0;
    Layer::ResetCursorCount();
    controls.modulePath.clear();
    controls.viewsRemembered = false;
    controls.deniedFolder.clear();
    SetLastError(ERROR_SUCCESS);
}

void PlatformTest::SetHeadless(bool headless) {
    State().pullsAudio = headless;
    Layer::ChooseScreen(headless ? Layer::ScreenKind::headless : Layer::ScreenKind::display);
}

void PlatformTest::SetClock(DWORD milliseconds) {
    State().virtualClock = true;
    State().virtualNow = milliseconds;
}

void PlatformTest::AdvanceClock(DWORD milliseconds) {
    State().virtualClock = true;
    State().virtualNow += milliseconds; // unsigned: wraps like the real counter
}

void PlatformTest::FailNext(const std::string& function, int times, int after) {
    Pending& pending = State().failures[function];
    pending.times += times;
    pending.skip = after;
}

void PlatformTest::SetModulePath(const std::string& linuxPath) {
    State().modulePath = linuxPath;
}

void PlatformTest::DenyAccess(const std::string& linuxFolder) {
    std::string folder = linuxFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    State().deniedFolder = folder;
}

const std::vector<PlatformTest::MessageBoxRecord>& PlatformTest::MessageBoxes() {
    return State().boxes;
}

void PlatformTest::RememberViews(bool remember) {
    State().viewsRemembered = remember;
}
