// What GDI offers windowing: the text of the layer's own windows (message boxes).
#pragma once

#include <cstdint>
#include <string>

namespace Layer {

// The desktop's Japanese interface face (IPA P Gothic, found through fontconfig) at a 16-pixel
// line: a line's width in pixels (-1 when the face cannot be found), and a line drawn in ink onto
// XRGB pixels (width x height, row after row) with its top-left at (x, y).
int InterfaceTextWidth(const std::string& utf8);
int InterfaceLineHeight();
void DrawInterfaceText(uint32_t* pixels, int width, int height, int x, int y,
                       const std::string& utf8, uint32_t ink);

} // namespace Layer
