// GDI fonts: CreateFontA finds a face's file through the font finder, TextOutA draws it with
// SDL_ttf.
#include <SDL_ttf.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "gdi/fontfinder.h"
#include "gdi/gdiinternal.h"
#include "gdi/interfacetext.h"
#include "kernel/testhooks.h"

namespace {

// A font file (and face in it) that the finder chose for a family, with the SDL_ttf faces opened
// from it; kept for the life of the process, so that a font's lookups cost no file access.
struct FaceFile {
    std::string file;
    int index = 0;
    std::map<int, TTF_Font*> bySize; // by SDL_ttf (em) size
    std::map<int, TTF_Font*> byCell; // by the cell height asked for
};

} // namespace

struct HFONT__ {
    FaceFile* face = nullptr;
    int cellHeight = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

namespace {

std::vector<std::unique_ptr<HFONT__>>& Fonts() {
    static auto* fonts = new std::vector<std::unique_ptr<HFONT__>>;
    return *fonts;
}

bool IsLiveFont(const HFONT__* font) {
    return font != nullptr &&
           std::any_of(Fonts().begin(), Fonts().end(),
                       [&](const std::unique_ptr<HFONT__>& f) { return f.get() == font; });
}

// The face file for a family named in code page 932, or null. The fonts installed do not change
// while the program runs: each name is matched once.
FaceFile* FindFace(const char* name) {
    static auto* families = new std::map<std::string, FaceFile*, std::less<>>;
    static auto* files = new std::map<std::pair<std::string, int>, FaceFile>;
    if (auto found = families->find(std::string_view(name)); found != families->end())
        return found->second;
    std::string file;
    int index = 0;
    if (!Layer::FindFontFile(Layer::Cp932ToUtf8(name), &file, &index))
        return nullptr;
    FaceFile* found = &(*files)[{file, index}];
    found->file = file;
    found->index = index;
    (*families)[name] = found;
    return found;
}

// The SDL_ttf face that draws a font, opened once per file and size.
TTF_Font* OpenFace(const HFONT__& font) {
    FaceFile& file = *font.face;
    if (auto found = file.byCell.find(font.cellHeight); found != file.byCell.end())
        return found->second;
    if (!TTF_WasInit() && TTF_Init() != 0)
        return nullptr;
    // SDL_ttf sizes are em sizes; find the one whose cell (ascent + descent) is the height asked.
    auto open = [&](int size) -> TTF_Font* {
        auto found = file.bySize.find(size);
        if (found != file.bySize.end())
            return found->second;
        return file.bySize[size] = TTF_OpenFontIndex(file.file.c_str(), size, file.index);
    };
    TTF_Font* face = open(font.cellHeight);
    if (face != nullptr) {
        int probeHeight = std::max(1, TTF_FontHeight(face));
        face =
            open(std::max(1, (font.cellHeight * font.cellHeight + probeHeight / 2) / probeHeight));
    }
    return file.byCell[font.cellHeight] = face;
}

// A line rendered as an 8-bit mask, kept: the game draws the same few lines frame after frame.
// Faces are never closed, so a face's address names it; the cache is emptied when it grows large.
SDL_Surface* RenderLine(TTF_Font* face, int style, const std::string& utf8) {
    using Key = std::tuple<TTF_Font*, int, std::string>;
    static auto* lines = new std::map<Key, SDL_Surface*>;
    Key key{face, style, utf8};
    if (auto found = lines->find(key); found != lines->end())
        return found->second;
    if (lines->size() >= 64) {
        for (auto& line : *lines)
            SDL_FreeSurface(line.second);
        lines->clear();
    }
    TTF_SetFontStyle(face, style);
    SDL_Surface* rendered = TTF_RenderUTF8_Solid(face, utf8.c_str(), SDL_Color{255, 255, 255, 255});
    if (rendered != nullptr)
        (*lines)[key] = rendered;
    return rendered;
}

// Draws a line in ink onto target with its cell's top-left at (x, y); the pixels between the
// glyphs become paper when paper is not null, and stay as they are otherwise.
void DrawGlyphs(const Layer::DrawingPixels& target, int x, int y, const std::string& utf8,
                const HFONT__& font, uint32_t ink, const uint32_t* paper) {
    TTF_Font* face = OpenFace(font);
    if (face == nullptr || utf8.empty())
        return;
    int style = (font.bold ? TTF_STYLE_BOLD : 0) | (font.italic ? TTF_STYLE_ITALIC : 0) |
                (font.underline ? TTF_STYLE_UNDERLINE : 0);
    SDL_Surface* glyphs = RenderLine(face, style, utf8);
    if (glyphs == nullptr)
        return;
    // The face's line may be a pixel taller or shorter than the cell; the cell's top is y.
    int firstRow = std::max(0, -y), endRow = std::min(glyphs->h, target.height - y);
    int firstColumn = std::max(0, -x), endColumn = std::min(glyphs->w, target.width - x);
    for (int row = firstRow; row < endRow; ++row) {
        const auto* source = static_cast<const uint8_t*>(glyphs->pixels) + row * glyphs->pitch;
        uint32_t* line = target.pixels + static_cast<ptrdiff_t>(y + row) * target.pitch + x;
        for (int column = firstColumn; column < endColumn; ++column)
            line[column] = source[column] != 0 ? ink : paper != nullptr ? *paper : line[column];
    }
}

// A DC's default font, also the face of the layer's own windows: the proportional Gothic face at
// a 16-pixel cell. Null when it cannot be found.
const HFONT__* DefaultFont() {
    static HFONT__ font;
    if (font.face == nullptr) {
        font.face = FindFace("IPAPGothic");
        font.cellHeight = 16;
    }
    return font.face != nullptr ? &font : nullptr;
}

} // namespace

namespace Layer {

HGDIOBJ SelectFont(HDC dc, HGDIOBJ object) {
    auto* font = static_cast<HFONT>(object);
    if (!IsLiveFont(font))
        return nullptr;
    HFONT previous = dc->font;
    dc->font = font;
    return previous;
}

BOOL DeleteFont(HGDIOBJ object) {
    auto* font = static_cast<HFONT>(object);
    if (!IsLiveFont(font))
        return FALSE;
    auto& fonts = Fonts();
    fonts.erase(std::remove_if(fonts.begin(), fonts.end(),
                               [&](const std::unique_ptr<HFONT__>& f) { return f.get() == font; }),
                fonts.end());
    return TRUE;
}

} // namespace Layer

HFONT WINAPI CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD underline,
                         DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, LPCSTR faceName) {
    if (Layer::ShouldFail("CreateFontA"))
        return nullptr;
    auto font = std::make_unique<HFONT__>();
    font->face = FindFace(faceName != nullptr ? faceName : "IPAPGothic");
    if (font->face == nullptr)
        return nullptr;
    // 0 asks for a default size; a negative height is a character height (cell less leading),
    // taken here as the cell.
    font->cellHeight = height == 0 ? 16 : std::min(std::abs(height), 1024);
    font->bold = weight >= 600;
    font->italic = italic != 0;
    font->underline = underline != 0;
    Fonts().push_back(std::move(font));
    return Fonts().back().get();
}

namespace {

// The font a DC draws with: its selected font, or its default. Null when not even that can be
// found.
const HFONT__* DcFont(HDC dc) {
    return dc->font != nullptr ? dc->font : DefaultFont();
}

} // namespace

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    if (!Layer::IsLiveDC(dc) || text == nullptr || length < 0)
        return FALSE;
    if (length == 0)
        return TRUE;
    const HFONT__* font = DcFont(dc);
    if (font == nullptr)
        return FALSE;
    Layer::DrawingPixels target;
    if (!Layer::DrawingTarget(dc, &target))
        return TRUE;
    uint32_t paper = Layer::PixelFromColorRef(dc->backgroundColor);
    DrawGlyphs(target, x, y,
               Layer::Cp932ToUtf8(std::string(text, static_cast<size_t>(length)).c_str()), *font,
               Layer::PixelFromColorRef(dc->textColor),
               dc->backgroundMode == OPAQUE ? &paper : nullptr);
    return TRUE;
}

bool Layer::FontFile(HFONT font, std::string* file, bool* bold) {
    if (!IsLiveFont(font))
        return false;
    *file = font->face->file;
    *bold = font->bold;
    return true;
}

int Layer::InterfaceTextWidth(const std::string& utf8) {
    const HFONT__* font = DefaultFont();
    TTF_Font* face = font != nullptr ? OpenFace(*font) : nullptr;
    int width = 0, height = 0;
    if (face == nullptr)
        return -1;
    TTF_SetFontStyle(face, TTF_STYLE_NORMAL);
    return utf8.empty() || TTF_SizeUTF8(face, utf8.c_str(), &width, &height) == 0 ? width : -1;
}

int Layer::InterfaceLineHeight() {
    return 16;
}

void Layer::DrawInterfaceText(uint32_t* pixels, int width, int height, int x, int y,
                              const std::string& utf8, uint32_t ink) {
    if (const HFONT__* font = DefaultFont(); font != nullptr)
        DrawGlyphs(DrawingPixels{pixels, width, height, width}, x, y, utf8, *font, ink, nullptr);
}
