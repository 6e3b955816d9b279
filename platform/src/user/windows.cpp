// Window classes and windows: registration, creation, placement, destruction, metrics and cursor.
//
// Frame: a window with a caption or a sizing frame has a client area that is its outer rectangle
// less SM_CXFRAME at the left and right, SM_CYFRAME at the bottom and 2 x SM_CYFRAME + SM_CYMENU
// at the top. The SDL window is the client area; the frame around it is only reckoned.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "user/userinternal.h"
#include "kernel/testhooks.h"

namespace {

constexpr int frameWidth = 4;
constexpr int frameHeight = 4;
constexpr int menuHeight = 19;

struct WindowClass {
    std::string name;
    WNDCLASSA info;
};

std::vector<WindowClass>& Classes() {
    static auto* classes = new std::vector<WindowClass>;
    return *classes;
}

std::vector<std::unique_ptr<HWND__>>& Windows() {
    static auto* windows = new std::vector<std::unique_ptr<HWND__>>;
    return *windows;
}

int cursorCount = 0;
ATOM nextAtom = 0xC000;

bool SameName(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

std::vector<WindowClass>::iterator FindClass(const char* name) {
    auto& classes = Classes();
    return std::find_if(classes.begin(), classes.end(),
                        [&](const WindowClass& c) { return SameName(c.name, name); });
}

bool HasFrame(DWORD style) {
    return (style & (WS_CAPTION | WS_THICKFRAME)) != 0;
}

} // namespace

namespace Layer {

bool CheckWindow(HWND window) {
    if (IsLiveWindow(window))
        return true;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

bool IsLiveWindow(HWND window) {
    if (window == nullptr)
        return false;
    for (auto& record : Windows())
        if (record.get() == window)
            return !record->destroying;
    return false;
}

void DestroyAllWindows() {
    while (!Windows().empty())
        DestroyWindow(Windows().back().get());
}

void ClearWindowClasses() {
    Classes().clear();
}

RECT ClientFromOuter(const RECT& outer, DWORD style) {
    if (!HasFrame(style))
        return outer;
    return RECT{outer.left + frameWidth, outer.top + 2 * frameHeight + menuHeight,
                outer.right - frameWidth, outer.bottom - frameHeight};
}

RECT OuterFromClient(const RECT& client, DWORD style) {
    if (!HasFrame(style))
        return client;
    return RECT{client.left - frameWidth, client.top - 2 * frameHeight - menuHeight,
                client.right + frameWidth, client.bottom + frameHeight};
}

void MoveWindowRecord(HWND window, const RECT& outer, UINT flags) {
    WINDOWPOS position{
        window, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
        flags};
    SendMessageA(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
    if (!IsLiveWindow(window))
        return;
    window->outer = outer;
    Screen().PlaceView(window);
    SendMessageA(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
}

} // namespace Layer

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    if (Layer::ShouldFail("RegisterClassA")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        IS_INTRESOURCE(windowClass->lpszClassName) || windowClass->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(windowClass->lpszClassName) != Classes().end()) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass registered{windowClass->lpszClassName, *windowClass};
    registered.info.lpszClassName = nullptr; // the name is kept in the record itself
    Classes().push_back(registered);
    return nextAtom++;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    if (className == nullptr || IS_INTRESOURCE(className)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    auto found = FindClass(className);
    if (found == Classes().end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (auto& record : Windows())
        if (SameName(record->className, className)) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    Classes().erase(found);
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    if (Layer::ShouldFail("CreateWindowExA")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (parent == nullptr)
        Layer::InstallCloseSignals(); // a program with a window is asked to stop through it
    if (className == nullptr || IS_INTRESOURCE(className)) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Layer::RegisterSystemClasses();
    auto found = FindClass(className);
    if (found == Classes().end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if ((style & WS_CHILD) && !Layer::CheckWindow(parent))
        return nullptr;
    if (x == CW_USEDEFAULT)
        x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    auto record = std::make_unique<HWND__>();
    record->className = found->name;
    record->procedure = found->info.lpfnWndProc;
    record->classStyle = found->info.style;
    record->icon = found->info.hIcon;
    record->instance = instance;
    record->style = style & ~WS_VISIBLE;
    record->exStyle = exStyle;
    record->title = windowName != nullptr ? windowName : "";
    record->outer = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    record->topmost = (exStyle & WS_EX_TOPMOST) != 0;
    record->parent = parent;
    if (style & WS_CHILD)
        record->id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
    HWND window = record.get();
    Windows().push_back(std::move(record));

    if (!(style & WS_CHILD) && !Layer::Screen().MakeView(window)) {
        Windows().pop_back();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    CREATESTRUCTA create{
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    if (SendMessageA(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0 ||
        SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if (style & WS_VISIBLE)
        ShowWindow(window, SW_SHOW);
    return window;
}

BOOL WINAPI DestroyWindow(HWND window) {
    if (!Layer::CheckWindow(window))
        return FALSE;
    // Children go first, as Windows destroys them with their parent.
    for (HWND child : Layer::LiveWindows())
        if (child->parent == window)
            DestroyWindow(child);
    if (window->visible) {
        window->visible = false;
        Layer::Screen().ShowView(window, false);
    }
    SendMessageA(window, WM_DESTROY, 0, 0);
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    window->destroying = true;
    Layer::Screen().DestroyView(window);
    auto& windows = Windows();
    windows.erase(
        std::remove_if(windows.begin(), windows.end(),
                       [&](const std::unique_ptr<HWND__>& r) { return r.get() == window; }),
        windows.end());
    return TRUE;
}

BOOL WINAPI IsWindow(HWND window) {
    return Layer::IsLiveWindow(window) ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    if (!Layer::CheckWindow(window))
        return FALSE;
    bool wasVisible = window->visible;
    bool show = command != SW_HIDE;
    if (show != wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        window->visible = show;
        Layer::Screen().ShowView(window, show);
    }
    bool activate = show && command != SW_SHOWNOACTIVATE && command != SW_SHOWNA &&
                    command != SW_SHOWMINNOACTIVE;
    if (activate && !wasVisible) {
        SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
        SendMessageA(window, WM_SETFOCUS, 0, 0);
    }
    if (show && !window->shownOnce) {
        // The first showing tells the window its size and place.
        window->shownOnce = true;
        RECT client = Layer::ClientRectOf(window);
        SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(client.right - client.left, client.bottom - client.top));
        SendMessageA(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    if (!Layer::CheckWindow(window))
        return FALSE;
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST)
            window->topmost = true;
        else if (insertAfter == HWND_NOTOPMOST)
            window->topmost = false;
        Layer::Screen().SetViewTopmost(window);
    }
    Layer::Screen().ReadViewPlace(window);
    RECT outer = window->outer;
    if (!(flags & SWP_NOMOVE)) {
        outer.right = x + (outer.right - outer.left);
        outer.bottom = y + (outer.bottom - outer.top);
        outer.left = x;
        outer.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        outer.right = outer.left + std::max(cx, 0);
        outer.bottom = outer.top + std::max(cy, 0);
    }
    if (!(flags & (SWP_NOMOVE)) || !(flags & SWP_NOSIZE))
        Layer::MoveWindowRecord(window, outer, flags);
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(window, SW_SHOW);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(window, SW_HIDE);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(window, nullptr, x, y, width, height, flags);
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    if (!Layer::CheckWindow(window) || rect == nullptr)
        return FALSE;
    Layer::Screen().ReadViewPlace(window);
    *rect = window->outer;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    if (!Layer::CheckWindow(window) || rect == nullptr)
        return FALSE;
    Layer::Screen().ReadViewPlace(window);
    RECT client = Layer::ClientRectOf(window);
    *rect = RECT{0, 0, std::max(0, static_cast<int>(client.right - client.left)),
                 std::max(0, static_cast<int>(client.bottom - client.top))};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
    if (!Layer::CheckWindow(window) || point == nullptr)
        return FALSE;
    Layer::Screen().ReadViewPlace(window);
    RECT client = Layer::ClientRectOf(window);
    point->x += client.left;
    point->y += client.top;
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    int width = 1024;
    int height = 768;
    switch (index) {
    case SM_CXSCREEN:
        Layer::Screen().ScreenSize(&width, &height);
        return width;
    case SM_CYSCREEN:
        Layer::Screen().ScreenSize(&width, &height);
        return height;
    case SM_CYCAPTION:
        return menuHeight;
    case SM_CYMENU:
        return menuHeight;
    case SM_CXFRAME:
        return frameWidth;
    case SM_CYFRAME:
        return frameHeight;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    default:
        return 0;
    }
}

int WINAPI ShowCursor(BOOL show) {
    cursorCount += show ? 1 : -1;
    Layer::Screen().SetCursorVisible(cursorCount >= 0);
    return cursorCount;
}

namespace Layer {
void ResetCursorCount() {
    cursorCount = 0;
}
int CursorCount() {
    return cursorCount;
}
} // namespace Layer

std::vector<HWND> Layer::LiveWindows() {
    std::vector<HWND> live;
    for (auto& record : Windows())
        if (!record->destroying)
            live.push_back(record.get());
    return live;
}
