// A Graphics object on a windowless DirectDraw with the display's 320 x 240 clipper, and one
// clipped 320 x 240 black surface to draw on; what the drawing tests of graphics/ share.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "ddsupport.h"
#include "graphics/graphics.h"

class GraphicsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dd.Ready());
        graphics->directDraw = dd.directDraw;
        graphics->clipper = dd.NewClipper(RECT{0, 0, 320, 240});
        ASSERT_TRUE(graphics->CreateOffscreenSurface(surface, 320, 240)); // with the clipper
    }
    void TearDown() override {
        if (surface != nullptr)
            surface->Release();
    }
    uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) const {
        return pixels[static_cast<size_t>(y) * 320 + x];
    }
    DirectDrawFixture dd;
    std::unique_ptr<Graphics> graphics = std::make_unique<Graphics>();
    IDirectDrawSurface* surface = nullptr;
};
