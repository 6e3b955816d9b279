// Test-only control of the layer: virtual clock, headless windows, recorded boxes, injected input
// and failures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "windows.h"
#include "dmusici.h"

namespace PlatformTest {

// Returns the layer to its start state: real clock, no windows, classes, queued messages,
// recorded boxes or pending failures. Headless mode is switched on.
void Reset();

// Virtual clock behind timeGetTime. Once set, the clock moves only when a test moves it (until
// Reset).
void SetClock(DWORD milliseconds);
void AdvanceClock(DWORD milliseconds);

// Headless windows are plain records with no SDL window; input reaches them only by injection.
void SetHeadless(bool headless);

// Makes the next `times` calls of the named layer function fail as Windows reports that failure
// (for example "RegisterClassA", "CreateWindowExA", "CreateDirectoryA", "SetCurrentDirectoryA";
// "fopen" fails with EACCES).
// After lets that many calls succeed first ("fail the second CreateSurface": times 1, after 1).
void FailNext(const std::string& function, int times = 1, int after = 0);

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
// In headless mode MessageBoxA and MessageBoxW return at once with the default button's answer
// (IDYES for MB_YESNO and MB_YESNOCANCEL, else IDOK) and are recorded, their texts in UTF-8 as the
// player reads them.
const std::vector<MessageBoxRecord>& MessageBoxes();
// The picture a shown box of this UTF-8 text and type draws (XRGB, width x height, its first
// button focused); empty when the IPA fonts cannot be found.
std::vector<uint32_t> MessageBoxPicture(const std::string& text, UINT type, int* width,
                                        int* height);

// Injected input goes through the same translation as real input and lands in the input queue
// of the window, exactly as a user's action would. Coordinates are client-area pixels.
void InjectKey(HWND window, int virtualKey, bool down, bool altHeld = false);
void InjectMouseMove(HWND window, int x, int y);
void InjectMouseButton(HWND window, int button, bool down, int x,
                       int y); // 0 left, 1 right, 2 middle
void InjectCloseBox(HWND window);
// The user resized the view (the window on the real screen) to width x height pixels (0 x 0: back
// to the client area's size); the program's window stays as it is. A mouse event at a pixel of the
// view (button -1: a move).
void ResizeView(HWND window, int width, int height);
void InjectViewMouse(HWND window, int button, bool down, int x, int y);
bool IsFullScreen(HWND window);
// How long a PeekMessageA that finds nothing rests (see the layer's screen/idle.cpp): 0 not at
// all, -1 a millisecond's poll, else nanoseconds.
int64_t IdleRest(const DWORD readings[3], int known, bool frameLastTurn, DWORD now,
                 int64_t intoMillisecond);
// The view's size as the player sees it.
void ViewSize(HWND window, int* width, int* height);
// Keeps views between runs as the shipping program does ($XDG_CONFIG_HOME/<program>/view); off
// after Reset, so that tests do not see each other's views.
void RememberViews(bool remember);
// The whole scale the window's view would start at on a desktop with that usable area.
int StartScale(HWND window, int usableWidth, int usableHeight);

// The view's picture DirectDraw last showed (XRGB, row by row: the client area scaled and
// letterboxed), and the view's size; read back from the X server where it shows the view.
std::vector<uint32_t> ShownPixels(HWND window, int* width, int* height);

// A width-pixel-wide XRGB picture as an 8-bit X screen gets it (rows of the image's pitch): through
// a TrueColor visual of those masks, or, with the masks all 0, through the colour cube whose
// colours got the pixels 16 to 231 (red slowest, blue fastest).
std::vector<uint8_t> EightBitImage(const std::vector<uint32_t>& picture, int width,
                                   unsigned long redMask, unsigned long greenMask,
                                   unsigned long blueMask);

// The pixels of an icon LoadIconA loaded from the program's resources (0xAARRGGBB, row by row).
std::vector<uint32_t> IconPixels(HICON icon, int* width, int* height);

// The font file and the emboldening that CreateFontA chose for a font.
std::string FontFileOf(HFONT font, bool* bold);

// Music a performance renders next (frames of interleaved 16-bit stereo at 44.1 kHz). In
// headless mode audio devices stay paused, so only this moves the music on.
std::vector<int16_t> RenderMusic(IDirectMusicPerformance* performance, int frames);
// A segment's start point, loop points and repeat count as they were last set.
void SegmentLoop(IDirectMusicSegment* segment, long* start, long* loopStart, long* loopEnd,
                 unsigned long* repeats);
// How many segments exist (loaded and not yet released).
int LiveSegments();
// Reads bytes as DirectMusic's loader reads a standard MIDI file: "" and the song's events by
// time (768 a quarter; status 0xFF is a tempo change) and length, or the reason it is refused.
struct MidiRecord {
    int64_t time;
    int status, data1, data2;
    uint32_t tempo;
};
std::string ReadMidi(const std::string& bytes, std::vector<MidiRecord>* events, int64_t* length);
// The tempo in force at a music time of that file's song (0 when the file is refused).
uint32_t MidiTempoAt(const std::string& bytes, int64_t time);

// Makes GetModuleFileNameA answer this Linux path (in Windows form) instead of the real
// executable's; an empty path restores the real one.
void SetModulePath(const std::string& linuxPath);

// Makes everything below this absolute Linux folder another account's, as a folder of a shared
// place that someone else made: its files cannot be opened, removed, replaced or moved
// (fopen and remove with EACCES, MoveFileExA with ERROR_ACCESS_DENIED); the folder itself
// stays there. Until Reset.
void DenyAccess(const std::string& linuxFolder);

// Loses every DirectDraw surface, as locking the screen does on Windows. FailNext("Restore") makes
// Restore refuse for now (DDERR_NOEXCLUSIVEMODE, as while another program holds the display).
void LoseSurfaces();
// Loses every DirectDraw surface as a change of the desktop's display mode does: Restore of any
// surface made before it answers DDERR_WRONGMODE from then on; surfaces made later are not touched.
void ChangeDisplayMode();
// What a lost surface's pixels hold until something is drawn again.
extern const uint32_t lostFill;

// Cursor display count as ShowCursor keeps it.
int CursorCount();
// True when SetWindowPos placed the window among the topmost windows.
bool IsTopmost(HWND window);

} // namespace PlatformTest
