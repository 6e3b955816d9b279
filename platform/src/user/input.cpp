// Turns keyboard, mouse and window-frame actions into Win32 input messages with Windows' packing.
//
// Key messages carry the repeat count, the PC scan code, the extended-key bit, the Alt context bit
// and the previous-state and transition bits in lParam. Keys pressed with Alt held, F10 and Alt
// itself are system keys. A second click of the same button within 500 ms and 4 pixels is a
// double click only for classes with CS_DBLCLKS; otherwise it is another button-down.
#include <cstdlib>

#include "user/userinternal.h"
#include "mmsystem.h"

namespace {

constexpr DWORD doubleClickTime = 500;
bool buttonsDown[3] = {false, false, false};

WPARAM MouseKeyFlags() {
    WPARAM flags = 0;
    if (buttonsDown[0])
        flags |= MK_LBUTTON;
    if (buttonsDown[1])
        flags |= MK_RBUTTON;
    if (buttonsDown[2])
        flags |= MK_MBUTTON;
    return flags;
}

} // namespace

namespace Layer {

void TranslateKey(HWND window, int virtualKey, int scanCode, bool extended, bool down, bool repeat,
                  bool altHeld) {
    if (!IsLiveWindow(window))
        return;
    bool system = altHeld || virtualKey == VK_F10 || virtualKey == VK_MENU;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    DWORD lParam = 1u | (static_cast<DWORD>(scanCode & 0xFF) << 16);
    if (extended)
        lParam |= 1u << 24;
    if (altHeld || (down && virtualKey == VK_MENU))
        lParam |= 1u << 29;
    if (!down || repeat)
        lParam |= 1u << 30;
    if (!down)
        lParam |= 1u << 31;
    PostInputMessage(window, message, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(lParam));
}

void TranslateMouseMove(HWND window, int x, int y) {
    if (IsLiveWindow(window))
        PostInputMessage(window, WM_MOUSEMOVE, MouseKeyFlags(), MAKELPARAM(x, y));
}

void TranslateMouseButton(HWND window, int button, bool down, int x, int y) {
    if (!IsLiveWindow(window) || button < 0 || button > 2)
        return;
    static const UINT downMessages[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    buttonsDown[button] = down;
    UINT message = downMessages[button] + (down ? 0 : 1);
    if (down) {
        DWORD now = ClockNow();
        bool nearLast =
            std::abs(x - window->lastClickPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
            std::abs(y - window->lastClickPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
        if ((window->classStyle & CS_DBLCLKS) && window->lastClickMessage == message && nearLast &&
            now - window->lastClickTime <= doubleClickTime) {
            message += 2; // the DBLCLK message of this button
            window->lastClickMessage = 0;
        } else {
            window->lastClickMessage = message;
            window->lastClickTime = now;
            window->lastClickPoint = POINT{x, y};
        }
    }
    PostInputMessage(window, message, MouseKeyFlags(), MAKELPARAM(x, y));
}

void TranslateCloseBox(HWND window) {
    if (IsLiveWindow(window))
        PostInputMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void TranslateFocus(HWND window, bool focused) {
    if (!IsLiveWindow(window))
        return;
    SendMessageA(window, WM_ACTIVATE, focused ? WA_ACTIVE : WA_INACTIVE, 0);
    if (IsLiveWindow(window))
        SendMessageA(window, focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
}

void ClearInputState() {
    for (bool& down : buttonsDown)
        down = false;
}

} // namespace Layer
