// Text drawn with a Windows font through a surface's device context.
#include "graphics.h"

namespace {

struct FontChoice {
    const char* faceName;
    int32_t weight;
};

// The faces and weights that the scenes choose by number; other numbers give the last entry.
constexpr FontChoice fontChoices[] = {
    {"ＭＳ Ｐゴシック", 700}, {"ＭＳ Ｐ明朝", 400}, {"ＭＳ Ｐ明朝", 700}, {"ＭＳ ゴシック", 400},
    {"ＭＳ ゴシック", 700},   {"ＭＳ 明朝", 400},   {"ＭＳ 明朝", 700},   {"ＭＳ Ｐゴシック", 400},
};

} // namespace

bool Graphics::DrawTextEx(IDirectDrawSurface* surface, TextStyle style) {
    if (surface == nullptr || style.text == nullptr)
        return false;
    HFONT font = CreateFontA(style.height, 0, 0, style.orientation, style.weight,
                             static_cast<DWORD>(style.italic), static_cast<DWORD>(style.underline),
                             0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, style.faceName);
    if (font == nullptr)
        return false;
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc))) {
        DeleteObject(font);
        return false;
    }
    SelectObject(dc, font);
    if (style.transparent != 0) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, style.backColor);
    }
    SetTextColor(dc, style.color);
    TextOutA(dc, style.x, style.y, style.text, lstrlenA(style.text));
    surface->ReleaseDC(dc);
    DeleteObject(font);
    return true;
}

bool Graphics::DrawText(IDirectDrawSurface* surface, const char* text, int32_t x, int32_t y,
                        int32_t height, COLORREF color, int32_t fontStyle) {
    const FontChoice& choice =
        (fontStyle >= 0 && fontStyle < 7) ? fontChoices[fontStyle] : fontChoices[7];
    TextStyle style{text, color, 1, 0, x, y, height, 0, choice.weight, 0, 0, choice.faceName};
    return DrawTextEx(surface, style);
}
