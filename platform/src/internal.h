// Declarations shared by the layer's source files; never included by the game.
//
// The layer's registries (windows, classes, queues) are allocated once and never destroyed, so
// that global objects of the program may still call the layer from their destructors at exit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "windows.h"

struct SDL_Window;

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
    SDL_Window* sdlWindow = nullptr;
    // The view: the window as shown on the real screen, which the user may resize or make full
    // screen without the program seeing any change of its window. Its pixels are the SDL window's
    // surface, or in headless mode shownPixels (viewWidth x viewHeight; 0 x 0 means the client
    // size); the client picture is scaled into it by one copy.
    std::vector<uint32_t> shownPixels;
    int viewWidth = 0;
    int viewHeight = 0;
    bool fullScreen = false;
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
// Applies a new outer rectangle as SetWindowPos does, sending the position messages.
void MoveWindowRecord(HWND window, const RECT& outer, UINT flags);

// Message queue.
void PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ClearQueues();
DWORD MessageTime();

// Stop requests from outside (SIGINT, SIGTERM, SIGHUP, the session's end): installed with the
// first window; delivered to every top-level window as its close box when messages are looked for.
void InstallCloseSignals();
// While a message box is open, a stop request ends the process at once.
void SetMessageBoxOpen(bool open);
void RequestClose();
void DeliverCloseRequests();

// Input translation shared by SDL events and test injection.
void TranslateKey(HWND window, int virtualKey, int scanCode, bool extended, bool down, bool repeat,
                  bool altHeld);
void TranslateMouseMove(HWND window, int x, int y);
void TranslateMouseButton(HWND window, int button, bool down, int x, int y);
void TranslateCloseBox(HWND window);
// A mouse event at a pixel of the view (button -1: a move); dropped on the black bars.
void TranslateViewMouse(HWND window, int button, bool down, int viewX, int viewY);
void TranslateFocus(HWND window, bool focused);
void ClearInputState();
int ScanCodeForKey(int virtualKey, bool* extended);

// The program's own icons (LoadIconA with the program's instance and a number), and the pixels of
// an icon so loaded (0xAARRGGBB, row by row); false for system icons.
HICON LoadProgramIcon(int id);
bool IconPixels(HICON icon, int* width, int* height, const uint32_t** argb);
HINSTANCE ProgramInstance();

// SDL video; inactive in test programs' headless mode.
bool CreateSdlWindow(HWND window);
void DestroySdlWindow(HWND window);
void ShowSdlWindow(HWND window, bool show);
void PlaceSdlWindow(HWND window);
void SetSdlWindowTitle(HWND window);
void SetSdlWindowTopmost(HWND window);
void PumpSdlEvents();
bool WaitSdlEvent(int timeoutMs);
// On X11: remembers an SDL window's connection; then X11InputWaiting answers 1 when the X server
// sent something or Xlib queued events (waiting up to timeoutMs for it), else 0; -1 elsewhere.
void WatchX11Connection(SDL_Window* window);
int X11InputWaiting(int timeoutMs);
// Pixels in memory shared with a local X server, which reads them without a copy; null where that
// is not possible (another video driver, a remote server, an unusual visual).
struct SharedPixels;
bool SharedPixelsPossible();
SharedPixels* NewSharedPixels(int width, int height);
void DeleteSharedPixels(SharedPixels* shared);
uint32_t* SharedPixelData(SharedPixels* shared);
// Shows the width x height part at (x, y) of shared pixels in an SDL window's view, letterboxed,
// the server doing the scaling; false where the window cannot be shown that way.
bool ShowThroughServer(SDL_Window* window, SharedPixels* shared, int x, int y, int width,
                       int height);
bool ShownThroughServer(SDL_Window* window);
// Shows source (sourceWidth x sourceHeight shared pixels) stretched over a clientWidth x
// clientHeight client area by DirectDraw's stretch rule, and that scaled into the view, all made
// by the server; false where the window cannot be shown that way.
bool ShowStretchThroughServer(SDL_Window* window, SharedPixels* source, int sourceWidth,
                              int sourceHeight, int clientWidth, int clientHeight);
// Returns once the server has read the shared pixels shown last: call before writing them.
void WaitForServerReads(SharedPixels* shared);
// The next picture shown through the server paints the bars again (a resize, an uncovering).
void RepaintServerView(SDL_Window* window);
void ForgetServerView(SDL_Window* window);
// Reads back where the window manager put the window (the user may have moved it).
void RefreshWindowFromSdl(HWND window);
void SetSdlCursorVisible(bool visible);
// Shows the view's pixels again (after the window was uncovered).
void ShowFrame(HWND window);
bool SdlScreenSize(int* width, int* height);
// The view's size in pixels, and the client picture's place in it.
void ViewSize(HWND window, int* width, int* height);
// Switches the view between desktop full screen and a window (F11, Alt+Enter).
void ToggleFullScreen(HWND window);
void SetSdlFullScreen(HWND window, bool fullScreen);

// Paths: Windows form at the API, Linux form underneath.
std::string ToLinuxPath(const char* windowsPath);
std::string ToWindowsPath(const std::string& linuxPath);
// Copies text into a caller's buffer with the Win32 length rules: returns the length copied, or the
// size needed (terminator included) when the buffer is too small.
DWORD CopyOutString(const std::string& text, char* buffer, DWORD size);

// Code page 932 text to UTF-8 for what the layer shows (titles, boxes); invalid bytes become '?'.
std::string Cp932ToUtf8(const char* text);
// Wide text (up to capacity characters or a zero) as UTF-8.
std::string WideToUtf8(const wchar_t* wide, size_t capacity);
// True for a byte that starts a double-byte character of code page 932.
bool IsCp932Lead(unsigned char byte);
bool IsUtf8(const std::string& text);
// Text as UTF-8: unchanged when it is valid UTF-8 already, else read as code page 932.
std::string AnsiToUtf8(const std::string& text);

} // namespace Layer
