// The program's icon: drawn at any size; a Windows .ico file (32 x 32 in 16 colours first, then
// 16, 48 and 256 pixels in full colour), and PNG files with transparency for the desktop's theme.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

struct IconImage {
    int size;
    std::vector<Rgb> pixels; // row by row
    std::vector<bool> opaque;
};
IconImage MakeIconImage(int size);

bool WriteIcon(const std::string& path);
bool WritePngIcon(const std::string& path, int size);
