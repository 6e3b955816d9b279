// Benchmark: CPU time of the heaviest stage frame and of a game-over frame, drawn through
// Graphics and presented into a real window. Prints microseconds per frame.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "graphics/graphics.h"

namespace {

LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Pictures {
    IDirectDrawSurface* background = nullptr;
    IDirectDrawSurface* tiles = nullptr;
    IDirectDrawSurface* glyphs = nullptr;
    IDirectDrawSurface* explosions = nullptr;
    IDirectDrawSurface* saved = nullptr;
};

// Stand-ins for the game's pictures, with the same sizes and colour keys.
void MakePictures(Graphics& g, Pictures& p) {
    g.CreateOffscreenSurface(p.background, 320, 240);
    for (int i = 0; i < 24; ++i)
        g.FillRect(p.background, 0, i * 10, 320, i * 10 + 10, 0x101828u + 0x030303u * i);
    g.CreateOffscreenSurface(p.tiles, 288, 32);
    for (int i = 0; i < 9; ++i)
        g.FillRect(p.tiles, i * 32 + 3, 3, i * 32 + 29, 29, 0x204080u * (i + 1));
    g.CreateOffscreenSurface(p.glyphs, 312, 72);
    for (int i = 0; i < 36; ++i)
        g.FillRect(p.glyphs, (i % 13) * 24 + 4, (i / 13) * 24 + 4, (i % 13) * 24 + 20,
                   (i / 13) * 24 + 20, 0xE0E0E0);
    g.CreateOffscreenSurface(p.explosions, 512, 48);
    for (int i = 0; i < 14; ++i)
        g.FillRect(p.explosions, i * 32 + 14 - i, 24 - i, i * 32 + 18 + i, 24 + i, 0xFFA020);
    g.SetColorKey(p.tiles, 0, 0);
    g.SetColorKey(p.glyphs, 0, 0);
    g.SetColorKey(p.explosions, 0, 0);
    g.CreateOffscreenSurface(p.saved, 320, 240);
}

void DrawGlyphs(Graphics& g, int count, int x, int y, int size, const Pictures& p) {
    for (int i = 0; i < count; ++i)
        g.BltRect(g.backSurface, x + i * size, y, x + (i + 1) * size, y + size, p.glyphs,
                  (i % 13) * 24, 48, (i % 13) * 24 + 24, 72, DDBLT_WAIT | DDBLT_KEYSRC);
}

void StageFrame(Graphics& g, HWND window, const Pictures& p, int frame) {
    g.BltRect(g.backSurface, 0, 0, 320, 240, p.background, 0, 0, 320, 240, DDBLT_WAIT);
    for (int cell = 0; cell < 25; ++cell) {
        int x = 19 + (cell % 5) * 32, y = 40 + (cell / 5) * 32, kind = (cell + frame) % 7;
        g.BltRect(g.backSurface, x, y, x + 32, y + 32, p.tiles, kind * 32, 0, kind * 32 + 32, 32,
                  DDBLT_WAIT | DDBLT_KEYSRC);
    }
    g.BltRect(g.backSurface, 51, 72, 83, 104, p.tiles, 224, 0, 256, 32, DDBLT_WAIT | DDBLT_KEYSRC);
    for (int i = 0; i < 5; ++i) {
        int x = 19 + i * 32, y = 40 + i * 32, step = (frame + i) % 14;
        g.BltRect(g.backSurface, x, y - 7, x + 32, y + 39, p.explosions, step * 32, 1,
                  step * 32 + 32, 47, DDBLT_WAIT | DDBLT_KEYSRC);
        DrawGlyphs(g, 3, x, y + 8, 10, p);
    }
    g.Mosaic(g.backSurface, 19, 40, 179, 200, 10);
    DrawGlyphs(g, 8, 100, 208, 20, p);
    DrawGlyphs(g, 2, 275, 58, 15, p);
    DrawGlyphs(g, 2, 260, 112, 15, p);
    DrawGlyphs(g, 3, 270, 166, 15, p);
    g.WaveColumnsSurface(g.backSurface, frame, 2, false, 0);
    g.WaveRowsSurface(g.backSurface, frame, 2, false, 0);
    char digit[2] = {static_cast<char>('0' + frame % 10), 0};
    g.DrawText(g.backSurface, digit, 130, 60, 120, 0x000000FF, 0);
    g.Present(window);
}

void GameOverFrame(Graphics& g, HWND window, const Pictures& p, int frame) {
    g.BltStretch(g.backSurface, p.saved, DDBLT_WAIT);
    g.WaveRowsSurface(g.backSurface, frame * 3, 40, true, 0);
    g.WaveColumnsSurface(g.backSurface, frame * 5, 30, true, 0);
    g.DrawText(g.backSurface, "GAME OVER", 70, 100, 40, 0x000000FF, 0);
    g.Present(window);
}

struct Figures {
    double median, best; // microseconds per frame
};

// The median of nine rounds of a frame count each, and the best round: a shared machine's slow
// moments move the median less than a mean, and the best round not at all.
template <typename Draw> Figures MicrosecondsPerFrame(int frames, Draw draw) {
    std::vector<double> rounds;
    for (int round = 0, frame = 0; round < 9; ++round) {
        std::clock_t start = std::clock();
        for (int i = 0; i < frames; ++i)
            draw(frame++);
        rounds.push_back(1e6 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / frames);
    }
    std::sort(rounds.begin(), rounds.end());
    return Figures{rounds[rounds.size() / 2], rounds.front()};
}

} // namespace

int main() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BenchProc;
    windowClass.lpszClassName = "QuellmarkBench";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "QuellmarkBench", "bench", WS_OVERLAPPEDWINDOW | WS_POPUP, 0,
                                  0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        fprintf(stderr, "no window\n");
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    Graphics g;
    if (!g.InitDisplay(window, 320, 240, 32, true, nullptr)) {
        fprintf(stderr, "no display\n");
        return 1;
    }
    Pictures pictures;
    MakePictures(g, pictures);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    const int frames = 60;              // a round; nine of them
    StageFrame(g, window, pictures, 0); // warm-up: fonts opened, caches filled
    Figures stage =
        MicrosecondsPerFrame(frames, [&](int f) { StageFrame(g, window, pictures, f); });
    g.BltRect(pictures.saved, 0, 0, 320, 240, g.backSurface, 0, 0, 320, 240, DDBLT_WAIT);
    Figures gameOver =
        MicrosecondsPerFrame(frames, [&](int f) { GameOverFrame(g, window, pictures, f); });
    printf("stage frame:     %8.1f us CPU per frame (median; best round %.1f)\n", stage.median,
           stage.best);
    printf("game-over frame: %8.1f us CPU per frame (median; best round %.1f)\n", gameOver.median,
           gameOver.best);
    g.directDraw->Release();
    DestroyWindow(window);
    return 0;
}
