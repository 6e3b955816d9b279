// A shown 650 x 510 framed test window and a Graphics object to initialise a display on it:
// what the display tests of graphics/ and the screen tests of the layer share.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "graphics/graphics.h"
#include "platformtest.h"
#include "support/tempfolder.h"
#include "support/testwindow.h"

class DisplayFixture : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        folder.Enter();
        window =
            MakeTestWindow("DisplayFixture", WS_OVERLAPPEDWINDOW | WS_POPUP, 100, 50, 650, 510);
        ShowWindow(window, SW_SHOW);
        display = std::make_unique<Graphics>();
    }
    void TearDown() override {
        if (display->directDraw != nullptr)
            display->directDraw->Release();
        PlatformTest::Reset();
    }
    bool AllNull() const {
        return display->directDraw == nullptr && display->primarySurface == nullptr &&
               display->backSurface == nullptr && display->clipper == nullptr;
    }
    TempFolder folder;
    HWND window = nullptr;
    std::unique_ptr<Graphics> display;
};
