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

struct ScanCode {
    int virtualKey;
    int scan;
    bool extended;
};

constexpr ScanCode scanCodes[] = {
    {VK_ESCAPE, 0x01, false}, {VK_BACK, 0x0E, false},    {VK_TAB, 0x0F, false},
    {VK_RETURN, 0x1C, false}, {VK_CONTROL, 0x1D, false}, {VK_SHIFT, 0x2A, false},
    {VK_MENU, 0x38, false},   {VK_SPACE, 0x39, false},   {VK_F1, 0x3B, false},
    {VK_F1 + 1, 0x3C, false}, {VK_F1 + 2, 0x3D, false},  {VK_F1 + 3, 0x3E, false},
    {VK_F1 + 4, 0x3F, false}, {VK_F1 + 5, 0x40, false},  {VK_F1 + 6, 0x41, false},
    {VK_F1 + 7, 0x42, false}, {VK_F1 + 8, 0x43, false},  {VK_F10, 0x44, false},
    {VK_F11, 0x57, false},    {VK_F12, 0x58, false},     {VK_HOME, 0x47, true},
    {VK_UP, 0x48, true},      {VK_PRIOR, 0x49, true},    {VK_LEFT, 0x4B, true},
    {VK_RIGHT, 0x4D, true},   {VK_END, 0x4F, true},      {VK_DOWN, 0x50, true},
    {VK_NEXT, 0x51, true},    {VK_INSERT, 0x52, true},   {VK_DELETE, 0x53, true},
};

// Set-1 scan codes of the letter and digit rows.
constexpr char letterRows[] = "QWERTYUIOP\0\0\0\0ASDFGHJKL\0\0\0\0\0ZXCVBNM";

ScanCode ScanCodeOf(int virtualKey) {
    for (const ScanCode& code : scanCodes)
        if (code.virtualKey == virtualKey)
            return code;
    if (virtualKey >= '1' && virtualKey <= '9')
        return {virtualKey, 0x02 + virtualKey - '1', false};
    if (virtualKey == '0')
        return {virtualKey, 0x0B, false};
    for (int i = 0; i < static_cast<int>(sizeof letterRows) - 1; ++i)
        if (letterRows[i] == virtualKey)
            return {virtualKey, 0x10 + i, false};
    return {virtualKey, 0, false};
}

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
    // F11 and Alt+Enter belong to the view: they toggle full screen and never reach the program.
    if (virtualKey == VK_F11 || (virtualKey == VK_RETURN && altHeld)) {
        if (down && !repeat)
            ToggleFullScreen(window);
        return;
    }
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
        DWORD now = timeGetTime();
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

namespace Layer {
int ScanCodeForKey(int virtualKey, bool* extended) {
    ScanCode code = ScanCodeOf(virtualKey);
    *extended = code.extended;
    return code.scan;
}
} // namespace Layer
