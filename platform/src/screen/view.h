// Where a window's client-area picture lands in the window shown on the real screen (the view),
// and how points of the view map back to client coordinates.
#pragma once

#include <cstdint>

namespace Layer {

struct ViewRect {
    int x, y, width, height; // the picture's place in the view; black bars around it
};

// The picture of a client area placed in a view: the largest size of the client's shape that
// fits, centred; an exact integer multiple of the client size when that is at most snapPixels
// smaller than the fitted size, so that every client pixel becomes the same number of pixels.
constexpr int snapPixels = 8;
ViewRect FitView(int clientWidth, int clientHeight, int viewWidth, int viewHeight);

// The client pixel shown at a view pixel; false on the black bars.
bool ViewToClient(const ViewRect& place, int clientWidth, int clientHeight, int viewX, int viewY,
                  int* clientX, int* clientY);

// The largest whole scale at which a client area with its frame fits the usable screen; at least 1.
int StartScale(int clientWidth, int clientHeight, int frameWidth, int frameHeight, int usableWidth,
               int usableHeight);

// The black bars around a picture placed in a view: up to four rectangles (above, below, left,
// right of the picture's place cut to the view); their count.
int BarsAround(const ViewRect& place, int viewWidth, int viewHeight, ViewRect bars[4]);

// One nearest-neighbour copy of a source picture into a view: view pixel x of the picture takes
// source column (x - place.x) * sourceWidth / place.width, rounded down (rows alike), so a whole
// scale repeats every source pixel exactly; everything outside the picture becomes black.
void ScalePicture(const uint32_t* source, int sourceWidth, int sourceHeight, int sourcePitch,
                  uint32_t* view, int viewWidth, int viewHeight, int viewPitch,
                  const ViewRect& place);

} // namespace Layer
