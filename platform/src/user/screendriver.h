// What windowing asks of the screen a program's windows are shown on: one driver, chosen once.
//
// A top-level window has a view on the screen (an SDL window, a picture kept in memory, a canvas);
// its driver makes and places the view, turns the screen's input into the windows' input (through
// the translation in userinternal.h), and is how a program's loop rests. Drivers live in screen/,
// which sits above windowing; windowing reaches them only through this interface, so calls run one
// way. What a driver does not override is the null driver's: windows without views, no input,
// no rest; it answers until a program chooses a driver.
#pragma once

#include <cstdint>
#include <string>

#include "windows.h"

namespace Layer {

class ScreenDriver {
public:
    virtual ~ScreenDriver() = default;
    // Makes a top-level window's view (false: it cannot be shown) and removes it with the window.
    virtual bool MakeView(HWND) { return true; }
    virtual void DestroyView(HWND) {}
    virtual void ShowView(HWND, bool) {}
    // The window record moved or was resized by the program; PlaceView follows it.
    virtual void PlaceView(HWND) {}
    virtual void SetViewTopmost(HWND) {}
    // Reads back where the user put the view into the record (the window manager may move it).
    virtual void ReadViewPlace(HWND) {}
    virtual void SetCursorVisible(bool) {}
    // The screen's size in pixels; false where the driver does not know it.
    virtual bool ScreenSize(int* /*width*/, int* /*height*/) { return false; }
    // Shows width x height XRGB pixels (pitch in pixels) as the window's client area.
    virtual void ShowPicture(HWND /*window*/, const uint32_t* /*pixels*/, int /*width*/,
                             int /*height*/, int /*pitch*/) {}
    // Turns the input that came into the windows' input messages.
    virtual void PumpInput() {}
    // Waits up to that long for input; false when none can ever come.
    virtual bool WaitForInput(int /*milliseconds*/) { return false; }
    // The program's loop: a turn begins with each PeekMessageA, and RestWhileIdle is how long a
    // PeekMessageA that found nothing rests.
    virtual void BeginLoopTurn() {}
    virtual void RestWhileIdle() {}
    // Shows a modal message box (texts in UTF-8) and gives its answer; 0 when it cannot be shown.
    virtual int ShowMessageBox(HWND /*owner*/, const std::string& /*text*/,
                               const std::string& /*caption*/, UINT /*type*/) {
        return 0;
    }
};

ScreenDriver& Screen();
// Makes driver the screen from now on (null: the null driver). Chosen once, before any window.
void UseScreen(ScreenDriver* driver);

// A message box as a window of the layer's own, run modally through the screen's driver; -1 when
// the interface face is missing and the driver must show its own kind of box.
int RunMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption, UINT type);

} // namespace Layer
