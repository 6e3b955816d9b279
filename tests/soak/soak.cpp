// Soak run: the real game from its archive, headless on the virtual clock, played with seeded
// random input (clicks, drags, right clicks, F1, F2, F3, long idle stretches) through every scene
// until the wall-clock budget is spent, then Esc. Prints resident memory every simulated minute;
// fails when a scene was never reached or memory kept growing. Meant for the sanitizer build.
// Usage: soak SECONDS [SEED]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>

#include <windows.h>
#include <mmsystem.h>

#include "app/gameapp.h"
#include "app/startup.h"
#include "core/inputstate.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "platformtest.h"

namespace {

long ResidentKiB() {
    long pages = 0, resident = 0;
    FILE* statm = fopen("/proc/self/statm", "r");
    if (statm != nullptr) {
        if (fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// One main-loop turn: at most one message, then the current scene; the clock moves on.
bool Turn(DWORD milliseconds) {
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            return false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    gameApp.scenes[gameApp.currentScene]();
    PlatformTest::AdvanceClock(milliseconds);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    double budget = argc > 1 ? atof(argv[1]) : 120;
    std::mt19937 random(argc > 2 ? static_cast<unsigned>(atoi(argv[2])) : 1u);
    auto pick = [&](int range) {
        return static_cast<int>(random() % static_cast<unsigned>(range));
    };
    PlatformTest::Reset();
    PlatformTest::SetClock(1000);
    gameApp.title = "Quellmark soak";
    gameApp.RegisterScene(Scene::startup, StartupScene);
    gameApp.style = WS_OVERLAPPEDWINDOW;
    if (!gameApp.CreateMainWindow(&gameApp.window, nullptr, 320, 240, true, false) ||
        !gameApp.InitDisplay(gameApp.window, 320, 240, 32, true, nullptr))
        return 1;
    HWND window = gameApp.window;
    int visits[Scene::gameOver + 1] = {};
    int lastScene = -1;
    long firstMinuteKiB = 0, lastKiB = 0;
    DWORD start = timeGetTime();
    auto wallStart = std::chrono::steady_clock::now();
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count() <
           budget) {
        int x = pick(640), y = pick(480);
        switch (pick(10)) {
        case 0: // a drag from one cell to another
            PlatformTest::InjectMouseButton(window, 0, true, x, y);
            PlatformTest::InjectMouseMove(window, pick(640), pick(480));
            PlatformTest::InjectMouseButton(window, 0, false, pick(640), pick(480));
            break;
        case 1:
            PlatformTest::InjectMouseButton(window, 1, true, x, y);
            PlatformTest::InjectMouseButton(window, 1, false, x, y);
            break;
        case 2: { // one of the game's keys, held for a turn or a few
            const int keys[] = {VK_F1, VK_F2, VK_F2, VK_F2, VK_F2, VK_F3}; // clears lead on
            int key = keys[pick(6)];
            PlatformTest::InjectKey(window, key, true);
            for (int held = pick(4); held >= 0; --held)
                Turn(20);
            PlatformTest::InjectKey(window, key, false);
            break;
        }
        case 3: // an idle stretch: up to half a minute, or now and then two minutes
            for (int turn = pick(pick(8) == 0 ? 6000 : 1500); turn > 0; --turn)
                Turn(20);
            break;
        default:
            PlatformTest::InjectMouseMove(window, x, y);
            PlatformTest::InjectMouseButton(window, 0, true, x, y);
            PlatformTest::InjectMouseButton(window, 0, false, x, y);
            break;
        }
        for (int turn = 1 + pick(30); turn > 0; --turn) {
            Turn(1 + pick(40));
            if (gameApp.currentScene != lastScene && gameApp.currentScene <= Scene::gameOver)
                ++visits[lastScene = gameApp.currentScene];
        }
        DWORD minutes = (timeGetTime() - start) / 60000;
        static DWORD printed = 0;
        if (minutes > printed) {
            printed = minutes;
            lastKiB = ResidentKiB();
            if (firstMinuteKiB == 0)
                firstMinuteKiB = lastKiB;
            printf("simulated minute %lu: %ld KiB resident\n", static_cast<unsigned long>(minutes),
                   lastKiB);
        }
    }
    PlatformTest::InjectKey(window, VK_ESCAPE, true);
    for (int turn = 0; turn < 10 && Turn(20); ++turn) {
    }
    CloseEndingText();
    printf("scene entries: title %d, stage %d, clear %d, ending %d, game over %d\n",
           visits[Scene::title], visits[Scene::stage], visits[Scene::clear], visits[Scene::ending],
           visits[Scene::gameOver]);
    bool everyScene = visits[Scene::title] && visits[Scene::stage] && visits[Scene::clear] &&
                      visits[Scene::ending] && visits[Scene::gameOver];
    bool flat = lastKiB <= firstMinuteKiB + 64 * 1024;
    if (!everyScene || !flat) {
        printf("soak failed: %s\n",
               everyScene ? "memory kept growing" : "a scene was never reached");
        return 1;
    }
    printf("soak passed\n");
    return 0;
}
