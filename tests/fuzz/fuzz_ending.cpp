// libFuzzer target: any bytes as the ending text, shown by the real ending scene: text-mode
// reading, lines cut at 255 bytes, code page 932 text drawn with the real fonts, then a click.
#include "app/gameapp.h"
#include "core/inputstate.h"
#include "core/intervaltimer.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "fuzzinput.h"
#include "platformtest.h"

namespace {

void SetUpOnce() {
    PlatformTest::Reset();
    PlatformTest::SetClock(100000);
    gameApp.style = WS_OVERLAPPEDWINDOW;
    if (!gameApp.CreateMainWindow(&gameApp.window, nullptr, 320, 240, true, true) ||
        !gameApp.InitDisplay(gameApp.window, 320, 240, 32, true, nullptr))
        abort();
    static_cast<DisplayBlock&>(graphics) = gameApp;
    CheckInterval(0, -1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (SetUpOnce(), true);
    (void)ready;
    char home[4096]; // libFuzzer reads its corpus by relative names: come back here at the end
    if (getcwd(home, sizeof home) == nullptr || chdir(ScratchFolder("ending").c_str()) != 0)
        abort();
    WriteInput("Ending.dat", data, size);
    gameState.sceneStart = 1;
    EndingScene();
    // A line every turn: the mosaic is run down and the line timer is due.
    for (int turn = 0; turn < 64 && gameState.endingFile != nullptr && !feof(gameState.endingFile);
         ++turn) {
        gameState.endingMosaic = 0;
        PlatformTest::AdvanceClock(5000);
        EndingScene();
    }
    inputState.leftButton = 1; // the click that leaves the scene closes and releases everything
    EndingScene();
    if (gameState.endingFile != nullptr || gameState.endingSurface != nullptr || chdir(home) != 0)
        abort();
    return 0;
}
