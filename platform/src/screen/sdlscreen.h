// The SDL screen driver: a top-level window's view is an SDL window, its pixels the window's
// surface, its input SDL's events; the X11 driver builds on it.
#pragma once

#include "screen/screeninternal.h"

union SDL_Event;

namespace Layer {

class SdlScreen : public ScreenBackEnd {
public:
    bool MakeView(HWND window) override;
    void DestroyView(HWND window) override;
    void ShowView(HWND window, bool show) override;
    void PlaceView(HWND window) override;
    void SetViewTopmost(HWND window) override;
    void ReadViewPlace(HWND window) override;
    void SetCursorVisible(bool visible) override;
    bool ScreenSize(int* width, int* height) override;
    void PumpInput() override;
    bool WaitForInput(int milliseconds) override;
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                       UINT type) override;
    // The program's loop rests between frames (idle.cpp).
    void BeginLoopTurn() override;
    void RestWhileIdle() override;
    bool WaitFor(int64_t nanoseconds) override;
    void ViewSize(HWND window, int* width, int* height) override;
    void ApplyFullScreen(HWND window) override;
    void ViewResized(HWND window) override;
    void ShowFrameAgain(HWND window) override;
    bool OpenView(HWND window, ViewPixels* view) override;
    void CloseView(HWND window, const ViewPixels& view) override;
};

// Starts SDL's video (once; false when it cannot be started).
bool StartVideo();
// The SDL window that shows a live window record; null for others.
SDL_Window* SdlWindowOf(HWND window);
// Turns the events SDL has queued into the windows' input, without asking SDL for new ones.
void TakeSdlEvents();
// The window record an SDL window shows; null for other windows.
HWND WindowOfSdl(SDL_Window* sdlWindow);
// Turns one of SDL's events into the windows' input (events.cpp).
void HandleSdlEvent(const SDL_Event& event);

} // namespace Layer
