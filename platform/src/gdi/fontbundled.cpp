// The browser's font finder: the IPA fonts the page carries (cut to the characters the game
// draws) in its file system's /fonts, with Windows' Japanese faces mapped onto them.
#include <string>

#include "gdi/fontfinder.h"

bool Layer::FindFontFile(const std::string& family, std::string* file, int* index) {
    struct Face {
        const char* windowsName;
        const char* ipaName;
        const char* file;
    };
    static const Face faces[] = {
        {"ＭＳ Ｐゴシック", "IPAPGothic", "/fonts/ipagp.ttf"},
        {"ＭＳ ゴシック", "IPAGothic", "/fonts/ipag.ttf"},
        {"ＭＳ Ｐ明朝", "IPAPMincho", "/fonts/ipamp.ttf"},
        {"ＭＳ 明朝", "IPAMincho", "/fonts/ipam.ttf"},
    };
    *file = faces[0].file; // any other family: the proportional gothic, as fontconfig falls back
    for (const Face& face : faces)
        if (family == face.windowsName || family == face.ipaName)
            *file = face.file;
    *index = 0;
    return true;
}
