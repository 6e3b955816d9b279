// Program icons on Linux: LoadIconA's program resources read from their .ico bytes, and the
// pixels an SDL window shows as its icon.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "user/userinternal.h"
#include "platformresources.h"

// Weak: a program without resources (a test, another program on the layer) has no table.
extern "C" const PlatformResource platformResources[] __attribute__((weak));

namespace {

struct IconRecord {
    int id = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> argb; // row by row from the top
};

std::vector<std::unique_ptr<IconRecord>>& Icons() {
    static auto* icons = new std::vector<std::unique_ptr<IconRecord>>;
    return *icons;
}

uint32_t Read(const unsigned char* bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[at + i];
    return value;
}

// The image of an .ico file that LoadIconA takes, the one nearest the system's icon size
// (SM_CXICON, 32 x 32; of equal ones the one with most bits of colour), if it is a bitmap of 1, 4,
// 8, 24 or 32 bits that lies wholly inside the bytes; anything else (a PNG image, a damaged file)
// is refused.
bool DecodeIco(const unsigned char* bytes, size_t size, IconRecord* icon) {
    if (size < 6 || Read(bytes, 0, 2) != 0 || Read(bytes, 2, 2) != 1)
        return false;
    uint32_t count = Read(bytes, 4, 2), best = 0;
    if (count == 0 || 6 + 16 * static_cast<size_t>(count) > size)
        return false;
    auto distance = [bytes](uint32_t i) {
        int w = bytes[6 + 16 * i] == 0 ? 256 : bytes[6 + 16 * i];
        int h = bytes[7 + 16 * i] == 0 ? 256 : bytes[7 + 16 * i];
        return abs(w - 32) + abs(h - 32);
    };
    for (uint32_t i = 1; i < count; ++i)
        if (distance(i) < distance(best) ||
            (distance(i) == distance(best) &&
             Read(bytes, 6 + 16 * i + 6, 2) > Read(bytes, 6 + 16 * best + 6, 2)))
            best = i;
    size_t length = Read(bytes, 6 + 16 * best + 8, 4), at = Read(bytes, 6 + 16 * best + 12, 4);
    if (at > size || length > size - at || length < 40 || Read(bytes, at, 4) < 40)
        return false;
    int width = static_cast<int32_t>(Read(bytes, at + 4, 4));
    int height = static_cast<int32_t>(Read(bytes, at + 8, 4)) / 2; // colours, then the mask
    int bits = static_cast<int>(Read(bytes, at + 14, 2));
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || Read(bytes, at + 16, 4) != 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return false;
    size_t colours =
        bits <= 8 ? (Read(bytes, at + 32, 4) != 0 ? Read(bytes, at + 32, 4) : 1u << bits) : 0;
    size_t palette = at + Read(bytes, at, 4), pixels = palette + 4 * colours;
    size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    size_t maskStride = (static_cast<size_t>(width) + 31) / 32 * 4;
    if (colours > 256 || pixels + (stride + maskStride) * height > at + length)
        return false;
    icon->width = width;
    icon->height = height;
    icon->argb.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = bytes + pixels + stride * (height - 1 - y); // bottom-up
        const unsigned char* mask =
            bytes + pixels + stride * height + maskStride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t colour;
            if (bits <= 8) {
                unsigned index =
                    (row[x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1);
                colour = index < colours ? Read(bytes, palette + 4 * index, 3) : 0;
            } else {
                colour = Read(row, static_cast<size_t>(x) * bits / 8, 3);
            }
            bool masked = (mask[x / 8] >> (7 - x % 8)) & 1;
            uint32_t alpha = bits == 32 ? row[x * 4 + 3] : 255;
            icon->argb[static_cast<size_t>(y) * width + x] = masked ? 0 : alpha << 24 | colour;
        }
    }
    return true;
}

} // namespace

namespace Layer {

HICON LoadProgramIcon(int id) {
    for (const auto& icon : Icons())
        if (icon->id == id)
            return reinterpret_cast<HICON>(icon.get());
    for (const PlatformResource* r = platformResources; r != nullptr && r->type != nullptr; ++r) {
        auto icon = std::make_unique<IconRecord>();
        if (strcmp(r->type, "ICON") != 0 || r->id != id ||
            !DecodeIco(r->bytes, r->size, icon.get()))
            continue;
        icon->id = id;
        Icons().push_back(std::move(icon));
        return reinterpret_cast<HICON>(Icons().back().get());
    }
    return nullptr;
}

bool IconPixels(HICON handle, int* width, int* height, const uint32_t** argb) {
    for (const auto& icon : Icons())
        if (reinterpret_cast<HICON>(icon.get()) == handle) {
            *width = icon->width;
            *height = icon->height;
            *argb = icon->argb.data();
            return true;
        }
    return false; // a system icon, or no icon
}

} // namespace Layer

namespace {
// System icons and cursors are fixed handles that point at these.
int systemIcon;
int systemCursor;
} // namespace

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    if (instance == nullptr && iconName == IDI_APPLICATION)
        return reinterpret_cast<HICON>(&systemIcon);
    HICON icon =
        instance == Layer::ProgramInstance() && IS_INTRESOURCE(iconName)
            ? Layer::LoadProgramIcon(static_cast<int>(reinterpret_cast<uintptr_t>(iconName)))
            : nullptr;
    if (icon == nullptr)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return icon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    if (instance == nullptr && cursorName == IDC_ARROW)
        return reinterpret_cast<HCURSOR>(&systemCursor);
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}
