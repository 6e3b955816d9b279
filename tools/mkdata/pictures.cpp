// The game's pictures: stage background, tiles, sprite font, explosion and title.
#include "pictures.h"

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979;

// A small deterministic generator, so every build makes the same pictures.
struct Random {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double Unit() { return (Next() & 0xFFFF) / 65535.0; }
};

Rgb Hue(double h) {
    double r = std::fabs(h * 6 - 3) - 1, g = 2 - std::fabs(h * 6 - 2), b = 2 - std::fabs(h * 6 - 4);
    auto c = [](double v) { return static_cast<int>(255 * std::fmax(0, std::fmin(1, v))); };
    return Rgb{c(r), c(g), c(b)};
}

// Whether (x, y), relative to the sprite's centre, lies inside tile shape kind.
bool InsideShape(int kind, double x, double y) {
    double r = std::hypot(x, y);
    double angle = std::atan2(y, x);
    switch (kind) {
    case 0: // circle
        return r < 12.5;
    case 1: // triangle, point up
        return y < 11 && y > -12 && std::fabs(x) < (y + 12) * 0.55;
    case 2: // rounded square
        return std::fabs(x) < 11 && std::fabs(y) < 11 &&
               std::hypot(std::fmax(std::fabs(x) - 7, 0), std::fmax(std::fabs(y) - 7, 0)) < 4;
    case 3: // diamond
        return std::fabs(x) + std::fabs(y) < 14;
    case 4: { // five-pointed star
        double wave = std::cos(5 * (angle + pi / 2)) * 0.5 + 0.5;
        return r < 6.5 + 7 * wave;
    }
    case 5: // ring
        return r < 13 && r > 6.5;
    default: { // special: eight-pointed sparkle
        double wave = std::pow(std::fabs(std::cos(4 * angle)), 3);
        return r < 5.5 + 9 * wave;
    }
    }
}

const Rgb tileColors[7] = {{235, 60, 60},  {70, 205, 80},  {70, 120, 240}, {245, 210, 60},
                           {180, 90, 230}, {60, 215, 220}, {255, 255, 255}};

} // namespace

void DrawTileAt(Picture& picture, int left, int top, int size, int kind) {
    // The shapes live on a 32-unit square; each pixel takes the point at its centre.
    double unit = 32.0 / size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double cx = (x + 0.5) * unit - 16, cy = (y + 0.5) * unit - 16;
            if (!InsideShape(kind, cx, cy))
                continue;
            bool edge = false;
            for (int d = 0; d < 4 && !edge; ++d) {
                static const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
                edge = !InsideShape(kind, cx + dx[d] * 1.2, cy + dy[d] * 1.2);
            }
            Rgb base = kind == 6 ? Hue(std::fmod(std::atan2(cy, cx) / (2 * pi) + 1.0, 1.0))
                                 : tileColors[kind];
            double light = 1.15 - 0.45 * ((cy + 15.5) / 31.0);
            double highlight = std::exp(-(std::pow(cx + 5, 2) + std::pow(cy + 6, 2)) / 18.0);
            Rgb color = Mix(Scale(base, light), Rgb{255, 255, 255}, 0.55 * highlight);
            if (kind == 6)
                color = Mix(color, Rgb{255, 255, 255}, 0.35);
            // The edge is a darker shade, never black (black is transparent).
            picture.Set(left + x, top + y, edge ? Scale(base, 0.35) : color);
        }
}

namespace {

void DrawCursorFrame(Picture& sheet) {
    Rgb bright{255, 240, 120};
    for (int i = 0; i < 32; ++i)
        for (int t = 0; t < 3; ++t) {
            bool corner = i < 10 || i > 21;
            if (!corner)
                continue;
            int x0 = 224 + i;
            sheet.Set(x0, t, bright);
            sheet.Set(x0, 31 - t, bright);
            sheet.Set(224 + t, i, bright);
            sheet.Set(224 + 31 - t, i, bright);
        }
}

void DrawSelectionMarker(Picture& sheet) {
    Rgb pink{255, 90, 200};
    Rgb pale{255, 200, 240};
    for (int i = 1; i < 31; ++i) {
        for (int t = 1; t < 3; ++t) {
            Rgb c = t == 1 ? pink : pale;
            sheet.Set(256 + i, t, c);
            sheet.Set(256 + i, 31 - t, c);
            sheet.Set(256 + t, i, c);
            sheet.Set(256 + 31 - t, i, c);
        }
    }
    // Small arrow heads pointing in at the middle of each side.
    for (int k = 0; k < 4; ++k) {
        sheet.Set(256 + 15 - k, 3 + k, pink);
        sheet.Set(256 + 16 + k, 3 + k, pink);
        sheet.Set(256 + 15 - k, 28 - k, pink);
        sheet.Set(256 + 16 + k, 28 - k, pink);
    }
}

void Panel(Picture& screen, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            bool border = x == left || x == right - 1 || y == top || y == bottom - 1;
            bool inner = x == left + 1 || y == top + 1;
            screen.Set(x, y,
                       border  ? Rgb{150, 160, 235}
                       : inner ? Rgb{70, 76, 150}
                               : Rgb{30, 34, 82});
        }
}

// The dark inset behind a number's glyphs.
void Inset(Picture& screen, int left, int top, int right, int bottom) {
    screen.FillRect(left, top, right, bottom, Rgb{8, 8, 22});
    for (int x = left; x < right; ++x)
        screen.Set(x, bottom, Rgb{90, 96, 170});
}

} // namespace

Picture MakeScreenImage() {
    Picture screen(320, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            Rgb c = Mix(Rgb{22, 26, 64}, Rgb{58, 22, 74}, y / 239.0);
            if ((x + y) % 16 < 2)
                c = Scale(c, 1.18); // faint diagonal stripes
            screen.Set(x, y, c);
        }
    DrawLetters(screen, 20, 12, "QUELLMARK", 2, 2, Rgb{255, 240, 180}, Rgb{240, 160, 60},
                Rgb{40, 20, 30});
    // The board well behind the 5 x 5 cells, (19, 40)-(179, 200), with a bevelled rim.
    for (int i = 0; i < 3; ++i) {
        Rgb rim = Mix(Rgb{170, 180, 250}, Rgb{60, 60, 130}, i / 2.0);
        for (int x = 16 + i; x < 183 - i; ++x) {
            screen.Set(x, 37 + i, rim);
            screen.Set(x, 202 - i, Scale(rim, 0.6));
        }
        for (int y = 37 + i; y < 203 - i; ++y) {
            screen.Set(16 + i, y, rim);
            screen.Set(182 - i, y, Scale(rim, 0.6));
        }
    }
    screen.FillRect(19, 40, 180, 200, Rgb{12, 12, 30});
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column)
            screen.FillRect(20 + 32 * column, 41 + 32 * row, 49 + 32 * column, 70 + 32 * row,
                            Rgb{26, 28, 56});
    // Labelled panels where the numbers are drawn.
    Rgb labelTop{220, 230, 255}, labelBottom{150, 170, 240}, labelEdge{20, 20, 50};
    Panel(screen, 192, 50, 316, 80);
    DrawLetters(screen, 198, 58, "STAGE", 2, 2, labelTop, labelBottom, labelEdge);
    Inset(screen, 273, 56, 307, 75);
    Panel(screen, 192, 104, 316, 134);
    DrawLetters(screen, 198, 112, "TIME", 2, 2, labelTop, labelBottom, labelEdge);
    Inset(screen, 258, 110, 292, 129);
    Panel(screen, 192, 158, 318, 188);
    DrawLetters(screen, 198, 166, "LEFT", 2, 2, labelTop, labelBottom, labelEdge);
    Inset(screen, 268, 164, 317, 183);
    Panel(screen, 14, 204, 266, 234);
    DrawLetters(screen, 22, 212, "SCORE", 2, 2, labelTop, labelBottom, labelEdge);
    Inset(screen, 98, 206, 262, 230);
    return screen;
}

Picture MakeMapChip() {
    Picture sheet(288, 32);
    for (int kind = 0; kind <= 6; ++kind)
        DrawTileAt(sheet, 32 * kind, 0, 32, kind);
    DrawCursorFrame(sheet);
    DrawSelectionMarker(sheet);
    return sheet;
}

Picture MakeString() {
    Picture sheet(312, 72);
    const std::string order = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (size_t i = 0; i < order.size(); ++i) {
        int row = static_cast<int>(i) / 13;
        int column = static_cast<int>(i) % 13;
        DrawLetters(sheet, 24 * column + 2, 24 * row + 1, std::string(1, order[i]), 4, 3,
                    Rgb{255, 252, 225}, Rgb{250, 175, 40}, Rgb{60, 36, 20});
    }
    return sheet;
}

Picture MakeExplosion() {
    Picture sheet(512, 48);
    Random random{12345};
    struct Spark {
        double angle, speed;
    };
    std::vector<Spark> sparks;
    for (int i = 0; i < 24; ++i)
        sparks.push_back({random.Unit() * 2 * pi, 0.6 + random.Unit() * 0.9});
    for (int frame = 0; frame < 14; ++frame) {
        double t = frame / 13.0;
        double ring = 2 + 12 * std::sqrt(t);
        double width = 3 + 4 * t;
        for (int y = 1; y < 47; ++y)
            for (int x = 0; x < 32; ++x) {
                double d = std::hypot(x - 15.5, (y - 23.5) * 0.8);
                double heat = std::fmax(0, 1 - std::fabs(d - ring) / width) * (1 - 0.75 * t);
                if (d < ring)
                    heat = std::fmax(heat, (1 - t) * (1 - d / (ring + 1)));
                if (heat < 0.08)
                    continue;
                Rgb c = heat > 0.7 ? Mix(Rgb{255, 200, 80}, Rgb{255, 255, 230}, (heat - 0.7) / 0.3)
                        : heat > 0.35
                            ? Mix(Rgb{230, 80, 20}, Rgb{255, 200, 80}, (heat - 0.35) / 0.35)
                            : Mix(Rgb{90, 30, 30}, Rgb{230, 80, 20}, heat / 0.35);
                sheet.Set(32 * frame + x, y, c);
            }
        for (const Spark& spark : sparks) {
            double reach = spark.speed * (4 + 20 * t);
            int x = static_cast<int>(15.5 + std::cos(spark.angle) * reach);
            int y = static_cast<int>(23.5 + std::sin(spark.angle) * reach * 1.2);
            if (x >= 0 && x < 32 && y >= 1 && y < 47 && t < 0.9)
                sheet.Set(32 * frame + x, y, Mix(Rgb{255, 255, 200}, Rgb{255, 120, 40}, t));
        }
    }
    return sheet;
}

Picture MakeTitle() {
    Picture title(320, 280);
    Random random{777};
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            title.Set(x, y, Mix(Rgb{8, 10, 40}, Rgb{70, 30, 100}, y / 239.0));
    for (int i = 0; i < 90; ++i) {
        int x = static_cast<int>(random.Next() % 320);
        int y = static_cast<int>(random.Next() % 140);
        int bright = 120 + static_cast<int>(random.Next() % 136);
        title.Set(x, y, Rgb{bright, bright, std::min(255, bright + 30)});
    }
    // A row of the game's tiles under the name.
    Picture tiles = MakeMapChip();
    for (int k = 0; k < 7; ++k)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                Rgb c = tiles.Get(32 * k + x, y);
                if (c.r + c.g + c.b > 0)
                    title.Set(48 + 32 * k + x, 104 + y, c);
            }
    int nameWidth = LettersWidth("QUELLMARK", 5);
    DrawLetters(title, (320 - nameWidth) / 2 + 3, 43, "QUELLMARK", 5, 6, Rgb{30, 10, 40},
                Rgb{30, 10, 40}, Rgb{30, 10, 40}); // shadow
    DrawLetters(title, (320 - nameWidth) / 2, 40, "QUELLMARK", 5, 6, Rgb{255, 245, 190},
                Rgb{245, 150, 40}, Rgb{60, 20, 20});
    DrawLetters(title, (320 - LettersWidth("ESC TO QUIT", 1)) / 2, 222, "ESC TO QUIT", 1, 1,
                Rgb{150, 150, 200}, Rgb{150, 150, 200}, Rgb{20, 14, 40});
    // The strip below the picture: the line that waves over the title, on black.
    int stripWidth = LettersWidth("CLICK TO START", 2);
    DrawLetters(title, (180 - stripWidth) / 2, 249, "CLICK TO START", 2, 3, Rgb{255, 255, 255},
                Rgb{120, 220, 255}, Rgb{20, 40, 80});
    return title;
}
