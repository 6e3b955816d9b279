// The view's geometry (letterboxing, whole-number scales, mapping back) and its scaling copy.
#include "screen/view.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace Layer {

ViewRect FitView(int clientWidth, int clientHeight, int viewWidth, int viewHeight) {
    if (clientWidth <= 0 || clientHeight <= 0 || viewWidth <= 0 || viewHeight <= 0)
        return ViewRect{0, 0, 0, 0};
    // The wider of the two shapes decides which side fills the view.
    int width = viewWidth, height = viewHeight;
    if (static_cast<int64_t>(viewWidth) * clientHeight >
        static_cast<int64_t>(viewHeight) * clientWidth)
        width = static_cast<int>(static_cast<int64_t>(viewHeight) * clientWidth / clientHeight);
    else
        height = static_cast<int>(static_cast<int64_t>(viewWidth) * clientHeight / clientWidth);
    int whole = std::max(1, width / clientWidth);
    if (whole * clientWidth <= viewWidth && whole * clientHeight <= viewHeight &&
        width - whole * clientWidth <= snapPixels && height - whole * clientHeight <= snapPixels) {
        width = whole * clientWidth;
        height = whole * clientHeight;
    }
    width = std::max(1, width);
    height = std::max(1, height);
    return ViewRect{(viewWidth - width) / 2, (viewHeight - height) / 2, width, height};
}

bool ViewToClient(const ViewRect& place, int clientWidth, int clientHeight, int viewX, int viewY,
                  int* clientX, int* clientY) {
    if (place.width <= 0 || place.height <= 0 || viewX < place.x || viewY < place.y ||
        viewX >= place.x + place.width || viewY >= place.y + place.height)
        return false;
    *clientX = static_cast<int>(static_cast<int64_t>(viewX - place.x) * clientWidth / place.width);
    *clientY =
        static_cast<int>(static_cast<int64_t>(viewY - place.y) * clientHeight / place.height);
    return true;
}

int StartScale(int clientWidth, int clientHeight, int frameWidth, int frameHeight, int usableWidth,
               int usableHeight) {
    if (clientWidth <= 0 || clientHeight <= 0)
        return 1;
    int across = (usableWidth - frameWidth) / clientWidth;
    int down = (usableHeight - frameHeight) / clientHeight;
    return std::max(1, std::min(across, down));
}

int BarsAround(const ViewRect& place, int viewWidth, int viewHeight, ViewRect bars[4]) {
    int left = std::clamp(place.x, 0, viewWidth),
        right = std::clamp(place.x + place.width, 0, viewWidth);
    int top = std::clamp(place.y, 0, viewHeight);
    int bottom = std::clamp(place.y + place.height, 0, viewHeight);
    int count = 0;
    auto add = [&](int x, int y, int width, int height) {
        if (width > 0 && height > 0)
            bars[count++] = ViewRect{x, y, width, height};
    };
    add(0, 0, viewWidth, top);
    add(0, bottom, viewWidth, viewHeight - bottom);
    add(0, top, left, bottom - top);
    add(right, top, viewWidth - right, bottom - top);
    return count;
}

void ScalePicture(const uint32_t* source, int sourceWidth, int sourceHeight, int sourcePitch,
                  uint32_t* view, int viewWidth, int viewHeight, int viewPitch,
                  const ViewRect& place) {
    ViewRect bars[5];
    int count = BarsAround(place, viewWidth, viewHeight, bars);
    int left = std::clamp(place.x, 0, viewWidth),
        right = std::clamp(place.x + place.width, 0, viewWidth);
    int top = std::clamp(place.y, 0, viewHeight);
    int bottom = std::clamp(place.y + place.height, 0, viewHeight);
    if (sourceWidth <= 0 || sourceHeight <= 0) // nothing to show: the picture's place is black too
        bars[count++] = ViewRect{left, top, right - left, bottom - top};
    for (int i = 0; i < count; ++i)
        for (int y = bars[i].y; y < bars[i].y + bars[i].height; ++y)
            std::fill_n(view + static_cast<ptrdiff_t>(y) * viewPitch + bars[i].x, bars[i].width,
                        0u);
    if (sourceWidth <= 0 || sourceHeight <= 0)
        return;
    // A whole scale repeats each source pixel; other scales look up each column's source pixel,
    // in a table kept between frames (the view's size seldom changes).
    int whole = sourceWidth > 0 ? place.width / sourceWidth : 0;
    bool wholeScale = whole > 0 && whole * sourceWidth == place.width && left == place.x &&
                      right == left + place.width;
    static thread_local std::vector<int> columns;
    if (!wholeScale) {
        columns.resize(static_cast<size_t>(std::max(0, right - left)));
        for (int x = left; x < right; ++x)
            columns[x - left] =
                static_cast<int>(static_cast<int64_t>(x - place.x) * sourceWidth / place.width);
    }
    const uint32_t* previousSource = nullptr;
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = view + static_cast<ptrdiff_t>(y) * viewPitch;
        auto sourceY =
            static_cast<int>(static_cast<int64_t>(y - place.y) * sourceHeight / place.height);
        const uint32_t* sourceRow = source + static_cast<ptrdiff_t>(sourceY) * sourcePitch;
        if (sourceRow == previousSource) { // a repeated row: copy the one above
            memcpy(row + left, row - viewPitch + left, static_cast<size_t>(right - left) * 4);
            continue;
        }
        if (wholeScale) {
            uint32_t* out = row + left; // a whole scale: each source pixel written whole times
            if (whole == 1) {
                memcpy(out, sourceRow, static_cast<size_t>(sourceWidth) * 4);
            } else if (whole == 2) { // the common case: one 8-byte store a source pixel
                for (int x = 0; x < sourceWidth; ++x) {
                    uint64_t pair = sourceRow[x] * 0x100000001ull;
                    memcpy(out + 2 * x, &pair, sizeof pair);
                }
            } else {
                for (int x = 0; x < sourceWidth; ++x)
                    out = std::fill_n(out, whole, sourceRow[x]);
            }
        } else {
            for (int x = left; x < right; ++x)
                row[x] = sourceRow[columns[x - left]];
        }
        previousSource = sourceRow;
    }
}

} // namespace Layer
