// Where fonts come from: the file (and face in it) that draws a family. One finder is built in:
// fontconfig on the desktop (fontconfig.cpp).
#pragma once

#include <string>

namespace Layer {

// The font file and face index that draw a family named in UTF-8 (Windows' Japanese faces
// included); false when there is none.
bool FindFontFile(const std::string& family, std::string* file, int* index);

} // namespace Layer
