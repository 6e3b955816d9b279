// The program's icon: drawn at any size; one 32 x 32 image in 16 colours as a Windows .ico file,
// and full-colour PNG files with transparency for the desktop's icon theme.
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
