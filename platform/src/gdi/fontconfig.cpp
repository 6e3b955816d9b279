// The desktop's font finder: fontconfig, with Windows' Japanese faces mapped onto the IPA fonts.
#include <fontconfig/fontconfig.h>

#include "gdi/fontfinder.h"

namespace {

// Debian's fontconfig has no aliases for the Japanese Windows faces; these rules add them.
constexpr char aliasRules[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <alias binding="same"><family>ＭＳ Ｐゴシック</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>ＭＳ ゴシック</family><prefer><family>IPAGothic</family></prefer></alias>
  <alias binding="same"><family>ＭＳ Ｐ明朝</family><prefer><family>IPAPMincho</family></prefer></alias>
  <alias binding="same"><family>ＭＳ 明朝</family><prefer><family>IPAMincho</family></prefer></alias>
</fontconfig>
)";

FcConfig* FontConfig() {
    static FcConfig* config = [] {
        FcConfig* loaded = FcInitLoadConfigAndFonts();
        if (loaded != nullptr)
            FcConfigParseAndLoadFromMemory(loaded, reinterpret_cast<const FcChar8*>(aliasRules),
                                           FcTrue);
        return loaded;
    }();
    return config;
}

} // namespace

bool Layer::FindFontFile(const std::string& family, std::string* file, int* index) {
    FcConfig* config = FontConfig();
    if (config == nullptr)
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcChar8* path = nullptr;
    bool found = match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) {
        *file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch)
            *index = 0;
    }
    if (match != nullptr)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return found;
}
