// Benchmark: start-up time to the first title frame, CPU per main-loop turn in every scene and
// per drawn stage frame, and peak memory, playing the real game from its archive.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/gameapp.h"
#include "core/inputstate.h"
#include "app/startup.h"
#include "game/gamestate.h"
#include "game/scenes.h"
#include "platformtest.h"

namespace {

double CpuMicrosecondsPerTurn(int turns, DWORD clockStep) {
    std::clock_t start = std::clock();
    for (int i = 0; i < turns; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        gameApp.scenes[gameApp.currentScene]();
        if (clockStep > 0)
            PlatformTest::AdvanceClock(clockStep);
    }
    return 1e6 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / turns;
}

void Enter(int scene) {
    StartScene(scene);
    gameApp.scenes[gameApp.currentScene]();
}

} // namespace

int main() {
    auto launch = std::chrono::steady_clock::now();
    PlatformTest::SetHeadless(false); // a real SDL window, shown as the program's is
    gameApp.title = "Quellmark benchmark";
    gameApp.style = WS_OVERLAPPEDWINDOW;
    if (!gameApp.CreateMainWindow(&gameApp.window, nullptr, 320, 240, true, false) ||
        !gameApp.InitDisplay(gameApp.window, 320, 240, 32, true, nullptr)) {
        fprintf(stderr, "no window or display\n");
        return 1;
    }
    gameApp.RegisterScene(0, StartupScene);
    StartupScene();
    TitleScene(); // the first title frame
    double startupMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - launch)
            .count();

    printf("start-up to the first title frame: %.1f ms\n", startupMs);
    // On the virtual clock from here: the title a refresh (17 ms) a turn, the stages 20 ms a turn
    // so that every turn draws a frame; no frame then waits for the display.
    PlatformTest::SetClock(1000000);
    printf("title:     %7.1f us CPU a turn\n", CpuMicrosecondsPerTurn(1000, 17));
    Enter(Scene::stage);
    printf("stage 1:   %7.1f us CPU a drawn frame\n", CpuMicrosecondsPerTurn(1000, 20));
    gameState.stage = 3;
    Enter(Scene::stage); // stage 4: mosaic and waves
    printf("stage 4:   %7.1f us CPU a drawn frame\n", CpuMicrosecondsPerTurn(1000, 20));
    printf("stage, no frame due: %5.1f us CPU a turn\n", CpuMicrosecondsPerTurn(1000, 0));
    PlatformTest::ResizeView(gameApp.window, 1920, 1080); // full screen on a 1920 x 1080 display
    printf("stage 4, 1920 x 1080 view: %5.1f us CPU a drawn frame\n",
           CpuMicrosecondsPerTurn(1000, 20));
    PlatformTest::ResizeView(gameApp.window, 0, 0);
    Enter(Scene::clear);
    printf("clear:     %7.1f us CPU a turn\n", CpuMicrosecondsPerTurn(1000, 20));
    Enter(Scene::ending);
    printf("ending:    %7.1f us CPU a turn\n", CpuMicrosecondsPerTurn(1000, 20));
    Enter(Scene::gameOver);
    printf("game over: %7.1f us CPU a turn\n", CpuMicrosecondsPerTurn(1000, 20));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    printf("peak memory: %.1f MiB resident\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
