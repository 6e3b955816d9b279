// DisplayBlock: the display fields that head GameApp and make up the drawing object.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

struct DisplayBlock {
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* primarySurface = nullptr;
    IDirectDrawSurface* backSurface = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    int32_t windowed = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    int32_t menuHeight = 0;

    // Records the window frame metrics; every other field stays zero until the display exists.
    void RecordFrameMetrics();
};
