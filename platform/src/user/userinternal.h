// Windowing inside the layer: window records and their registry, the message queues, input
// translation, stop requests and the program's icons (what it asks of the screen is in
// screendriver.h).
//
// The layer's registries (windows, classes, queues) are allocated once and never destroyed, so
// that global objects of the program may still call the layer from their destructors at exit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gdi/interfacetext.h"
#include "kernel/kernelinternal.h"
#include "user/screendriver.h"
#include "windows.h"

namespace Layer {
struct WindowView;
}

// A window record. HWND values point at these; a handle is valid while its record is listed.
struct HWND__ {
    std::string className;
    WNDPROC procedure = nullptr;
    UINT classStyle = 0;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string title;
    RECT outer{}; // screen coordinates of the whole window, frame included
    bool visible = false;
    bool shownOnce = false;
    bool topmost = false;
    bool destroying = false;
    HICON icon = nullptr; // the class's
    // The window's view on the screen, made and owned by the screen's driver (null for child
    // windows, and until it is made).
    Layer::WindowView* view = nullptr;
    HWND parent = nullptr;
    int id = 0; // a child window's id
    // The predefined list box's strings and selection.
    std::vector<std::string> listItems;
    int listSelection = -1;
    // EndDialog's result for a dialog window.
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    // Double-click detection for classes with CS_DBLCLKS.
    UINT lastClickMessage = 0;
    DWORD lastClickTime = 0;
    POINT lastClickPoint{};
};

namespace Layer {

// Window registry.
bool IsLiveWindow(HWND window);
// The guard of every call that takes a window: true for a live window; otherwise false with the
// last error ERROR_INVALID_WINDOW_HANDLE, as Windows sets it.
bool CheckWindow(HWND window);
void ResetCursorCount();
int CursorCount();
void DestroyAllWindows();
std::vector<HWND> LiveWindows();
void ClearWindowClasses();
// Registers the predefined classes ("LISTBOX") if they are missing.
void RegisterSystemClasses();
// Client rectangle in screen coordinates for a window's outer rectangle and style.
RECT ClientFromOuter(const RECT& outer, DWORD style);
RECT OuterFromClient(const RECT& client, DWORD style);
// A window's client rectangle in screen coordinates.
inline RECT ClientRectOf(HWND window) {
    return ClientFromOuter(window->outer, window->style);
}
inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
// Applies a new outer rectangle as SetWindowPos does, sending the position messages.
void MoveWindowRecord(HWND window, const RECT& outer, UINT flags);

// Message queue.
void PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ClearQueues();

// Stop requests from outside (SIGINT, SIGTERM, SIGHUP, the session's end): installed with the
// first window; delivered to every top-level window as its close box when messages are looked for.
void InstallCloseSignals();
// While a message box is open, a stop request ends the process at once.
void SetMessageBoxOpen(bool open);
void RequestClose();
void DeliverCloseRequests();

// A message box's buttons for its type, in their order, and the answer of Esc and the close box:
// Cancel where there is one, OK alone, none (0) for Yes / No.
struct BoxButton {
    int answer;
    const char* label;
};
std::vector<BoxButton> BoxButtons(UINT type);
int BoxEscapeAnswer(UINT type);

// A message box's picture: its size, its XRGB pixels, and its buttons (their answers and places).
struct MessageBoxPicture {
    struct Button {
        int answer;
        int x, y, width, height;
    };
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    std::vector<Button> buttons;
};
// Lays out and draws a box for the type's buttons with the given one focused (its index); false
// when the interface face cannot be found.
bool DrawMessageBox(const std::string& utf8Text, UINT type, int focused, int pressed,
                    MessageBoxPicture* picture);

// Input translation shared by SDL events and test injection.
void TranslateKey(HWND window, int virtualKey, int scanCode, bool extended, bool down, bool repeat,
                  bool altHeld);
void TranslateMouseMove(HWND window, int x, int y);
void TranslateMouseButton(HWND window, int button, bool down, int x, int y);
void TranslateCloseBox(HWND window);
void TranslateFocus(HWND window, bool focused);
void ClearInputState();

// The program's own icons (LoadIconA with the program's instance and a number), and the pixels of
// an icon so loaded (0xAARRGGBB, row by row); false for system icons.
HICON LoadProgramIcon(int id);
bool IconPixels(HICON icon, int* width, int* height, const uint32_t** argb);

} // namespace Layer
