// How long a program that polls PeekMessageA in a loop rests when nothing waits for it.
//
// A game's loop turns: PeekMessageA, then the program's own step, which reads the clock and, when
// its interval is due, draws and shows a frame. Turning every millisecond costs a wakeup each, and
// every wakeup keeps a processor out of its deep sleep. The layer follows the rhythm of shown
// frames by the program's first clock reading in each turn that showed one (the reading its
// interval check made): when the last three frames came at one steady interval, a turn that
// follows an idle turn rests until the clock reaches the next frame's millisecond, or until input
// comes. Anything else rests a millisecond, as a plain poll would. The turn right after a frame
// never rests, so that a program that changed what it does (a new scene) is seen at once, and no
// frame is drawn later than a millisecond's poll would have drawn it.
#include "screen/sdlscreen.h"
#include "kernel/testhooks.h"

namespace Layer {

namespace {

constexpr DWORD longestRhythm = 100; // milliseconds; slower programs are polled as before

bool shownThisTurn = false; // a frame was shown since the turn began
bool shownLastTurn = false;
DWORD frameReadings[3] = {};
int framesKnown = 0;

} // namespace

void NoteFrameShown() {
    shownThisTurn = true;
}

void SdlScreen::BeginLoopTurn() {
    DWORD reading = 0;
    bool read = TakeTurnReading(&reading);
    if (shownThisTurn) {
        frameReadings[0] = frameReadings[1];
        frameReadings[1] = frameReadings[2];
        frameReadings[2] = reading;
        framesKnown = read ? framesKnown + 1 : 0; // a frame without a reading breaks the rhythm
    }
    shownLastTurn = shownThisTurn;
    shownThisTurn = false;
}

int64_t IdleRest(const DWORD readings[3], int known, bool frameLastTurn, DWORD now,
                 int64_t intoMillisecond) {
    if (frameLastTurn)
        return 0; // right after a frame: the program's next step comes at once
    DWORD interval = readings[2] - readings[1];
    if (known < 3 || interval != readings[1] - readings[0] || interval < 1 ||
        interval > longestRhythm)
        return -1;
    // The clock reads the next frame's millisecond from that millisecond's first nanosecond on.
    auto left = static_cast<int32_t>(readings[2] + interval - now);
    return left <= 0 ? 0 : static_cast<int64_t>(left) * 1000000 - intoMillisecond;
}

void SdlScreen::RestWhileIdle() {
    // One reading of the monotonic clock gives both the millisecond timeGetTime answers now and
    // how far into it the clock is (two readings could fall in different milliseconds).
    int64_t nanoseconds = MonotonicNanoseconds();
    DWORD virtualNow = 0;
    int64_t rest = VirtualClock(&virtualNow)
                       ? -1
                       : IdleRest(frameReadings, framesKnown, shownLastTurn,
                                  static_cast<DWORD>(nanoseconds / 1000000), nanoseconds % 1000000);
    WaitFor(rest < 0 ? 1000000 : rest);
}

} // namespace Layer
