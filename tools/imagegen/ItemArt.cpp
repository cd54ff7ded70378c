#include "tools/imagegen/ItemArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Orvex::Tools::ImageGen {

namespace {

constexpr uint32_t kInk = 0xFF1C1620;

// Maps the unit square of a drawing onto its box.
struct Box {
    double left, top, size;
    Point p(double u, double v) const { return {left + u * size, top + v * size}; }
    double s(double u) const { return u * size; }
    double outline() const { return std::max(1.0, size / 40.0); }
};

std::vector<Point> points(const Box& b, std::initializer_list<std::pair<double, double>> uv) {
    std::vector<Point> out;
    for (const auto& [u, v] : uv) out.push_back(b.p(u, v));
    return out;
}

void disc(Raster& r, const Box& b, double u, double v, double ru, double rv, uint32_t c, bool ink = true) {
    const Point p = b.p(u, v);
    r.ellipse(p.x, p.y, b.s(ru), b.s(rv), c, kInk, ink ? b.outline() : 0.0);
}

void bar(Raster& r, const Box& b, double u0, double v0, double u1, double v1, double w, uint32_t c, bool ink = true) {
    if (ink) r.line(b.p(u0, v0), b.p(u1, v1), b.s(w) + 2 * b.outline(), kInk);
    r.line(b.p(u0, v0), b.p(u1, v1), b.s(w), c);
}

void sword(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.78, 0.12}, {0.86, 0.14}, {0.88, 0.22}, {0.42, 0.66}, {0.34, 0.58}}), 0xFFDCE4F0, kInk,
              b.outline());
    r.polygon(points(b, {{0.8, 0.16}, {0.84, 0.18}, {0.41, 0.61}, {0.39, 0.59}}), 0xFFFFFFFF);
    bar(r, b, 0.26, 0.52, 0.48, 0.74, 0.07, 0xFFE0B040);
    bar(r, b, 0.36, 0.64, 0.2, 0.8, 0.07, 0xFF6A4424);
    disc(r, b, 0.17, 0.83, 0.06, 0.06, 0xFFE0B040);
}

void shield(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.2, 0.18}, {0.5, 0.1}, {0.8, 0.18}, {0.76, 0.58}, {0.5, 0.9}, {0.24, 0.58}}), 0xFF3C64B4,
              kInk, b.outline());
    r.polygon(points(b, {{0.3, 0.25}, {0.5, 0.19}, {0.7, 0.25}, {0.67, 0.55}, {0.5, 0.78}, {0.33, 0.55}}), 0xFF5A88D8);
    bar(r, b, 0.5, 0.22, 0.5, 0.76, 0.07, 0xFFE0C050, false);
    bar(r, b, 0.32, 0.4, 0.68, 0.4, 0.07, 0xFFE0C050, false);
}

void amulet(Raster& r, const Box& b, bool worn) {
    const uint32_t chain = worn ? 0xFF8C8478 : 0xFFE0C050;
    for (int i = 0; i < 9; ++i) {
        const double a = std::numbers::pi * (0.1 + 0.8 * i / 8.0);
        disc(r, b, 0.5 + 0.3 * std::cos(a), 0.48 - 0.3 * std::sin(a), 0.035, 0.035, chain, false);
    }
    disc(r, b, 0.5, 0.64, 0.19, 0.19, chain);
    disc(r, b, 0.5, 0.64, 0.12, 0.12, worn ? 0xFF6A7078 : 0xFF40D0B0);
    disc(r, b, 0.46, 0.6, 0.04, 0.04, 0xC0FFFFFF, false);
    if (worn) {
        bar(r, b, 0.42, 0.54, 0.52, 0.66, 0.025, kInk, false);
        bar(r, b, 0.52, 0.66, 0.58, 0.74, 0.025, kInk, false);
    }
}

void tag(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.32, 0.12}, {0.68, 0.12}, {0.68, 0.88}, {0.32, 0.88}}), 0xFFF4ECD0, kInk, b.outline());
    r.polygon(points(b, {{0.32, 0.12}, {0.68, 0.12}, {0.68, 0.22}, {0.32, 0.22}}), 0xFFC83030);
    // Brush strokes (a charm, not letters).
    bar(r, b, 0.5, 0.3, 0.5, 0.78, 0.045, 0xFFB02828, false);
    bar(r, b, 0.4, 0.42, 0.6, 0.38, 0.04, 0xFFB02828, false);
    bar(r, b, 0.42, 0.6, 0.58, 0.56, 0.04, 0xFFB02828, false);
    disc(r, b, 0.5, 0.7, 0.06, 0.06, 0xFFB02828, false);
}

void card(Raster& r, const Box& b) {
    r.roundedRect(b.p(0.26, 0.14).x, b.p(0, 0.14).y, b.p(0.74, 0).x, b.p(0, 0.86).y, b.s(0.06), 0xFFF0F0F8, kInk,
                  b.outline());
    r.roundedRect(b.p(0.32, 0.2).x, b.p(0, 0.2).y, b.p(0.68, 0).x, b.p(0, 0.8).y, b.s(0.04), 0xFF7048B0);
    r.polygon(points(b, {{0.5, 0.3}, {0.6, 0.5}, {0.5, 0.7}, {0.4, 0.5}}), 0xFFF0D060);
}

void pot(Raster& r, const Box& b) {
    disc(r, b, 0.5, 0.62, 0.3, 0.26, 0xFFB86A3A);
    r.roundedRect(b.p(0.36, 0.2).x, b.p(0, 0.2).y, b.p(0.64, 0).x, b.p(0, 0.4).y, b.s(0.04), 0xFFB86A3A, kInk,
                  b.outline());
    disc(r, b, 0.5, 0.21, 0.17, 0.06, 0xFF5A2C18);
    bar(r, b, 0.26, 0.6, 0.74, 0.6, 0.05, 0xFF8A4A28, false);
    disc(r, b, 0.38, 0.52, 0.06, 0.08, 0x70FFFFFF, false);
}

void coins(Raster& r, const Box& b) {
    for (const auto& [u, v] : {std::pair{0.36, 0.66}, {0.64, 0.68}, {0.5, 0.46}}) {
        disc(r, b, u, v + 0.04, 0.2, 0.12, 0xFFB08020);
        disc(r, b, u, v, 0.2, 0.12, 0xFFF0C840);
        disc(r, b, u, v, 0.12, 0.07, 0xFFFFE080, false);
    }
}

void cake(Raster& r, const Box& b) {
    // A round rice cake wrapped in a green leaf band.
    r.polygon(points(b, {{0.5, 0.18}, {0.84, 0.76}, {0.16, 0.76}}), 0xFFF8F8F0, kInk, b.outline());
    disc(r, b, 0.5, 0.62, 0.34, 0.18, 0xFFF8F8F0);
    r.polygon(points(b, {{0.34, 0.6}, {0.66, 0.6}, {0.7, 0.8}, {0.3, 0.8}}), 0xFF305838, kInk, b.outline());
    disc(r, b, 0.42, 0.36, 0.05, 0.07, 0xB0FFFFFF, false);
}

void seed(Raster& r, const Box& b) {
    disc(r, b, 0.5, 0.58, 0.26, 0.28, 0xFFE04830);
    disc(r, b, 0.42, 0.5, 0.07, 0.09, 0x90FFFFFF, false);
    r.polygon(points(b, {{0.5, 0.3}, {0.66, 0.14}, {0.72, 0.2}, {0.54, 0.34}}), 0xFF48A040, kInk, b.outline());
    bar(r, b, 0.5, 0.32, 0.48, 0.2, 0.04, 0xFF6A4424, false);
}

void potion(Raster& r, const Box& b, uint32_t liquid) {
    disc(r, b, 0.5, 0.64, 0.26, 0.24, 0xC0D8F0F8);
    r.roundedRect(b.p(0.42, 0.2).x, b.p(0, 0.2).y, b.p(0.58, 0).x, b.p(0, 0.46).y, b.s(0.03), 0xC0D8F0F8, kInk,
                  b.outline());
    disc(r, b, 0.5, 0.68, 0.22, 0.17, liquid, false);
    r.roundedRect(b.p(0.4, 0.12).x, b.p(0, 0.12).y, b.p(0.6, 0).x, b.p(0, 0.22).y, b.s(0.02), 0xFF9A6A3A, kInk,
                  b.outline());
    disc(r, b, 0.4, 0.58, 0.05, 0.08, 0xB0FFFFFF, false);
}

void stairs(Raster& r, const Box& b, bool down) {
    r.roundedRect(b.p(0.1, 0.14).x, b.p(0, 0.14).y, b.p(0.9, 0).x, b.p(0, 0.86).y, b.s(0.04), 0xFF3A3440, kInk,
                  b.outline());
    for (int i = 0; i < 4; ++i) {
        const double v = down ? 0.2 + i * 0.15 : 0.65 - i * 0.15;
        const uint32_t c = shade(0xFFB0A890, down ? 1.0 - i * 0.18 : 0.6 + i * 0.15);
        r.polygon(
            points(
                b,
                {{0.16 + i * 0.04, v}, {0.84 - i * 0.04, v}, {0.84 - i * 0.04, v + 0.13}, {0.16 + i * 0.04, v + 0.13}}),
            c);
    }
    const double tip = down ? 0.84 : 0.2, tail = down ? 0.56 : 0.48;
    r.polygon(points(b, {{0.5, tip}, {0.62, tail}, {0.38, tail}}), down ? 0xFFFFD040 : 0xFF60E0FF, kInk, b.outline());
}

void trap(Raster& r, const Box& b) {
    r.roundedRect(b.p(0.14, 0.5).x, b.p(0, 0.5).y, b.p(0.86, 0).x, b.p(0, 0.84).y, b.s(0.05), 0xFF6A6470, kInk,
                  b.outline());
    for (int i = 0; i < 4; ++i) {
        const double u = 0.24 + i * 0.17;
        r.polygon(points(b, {{u - 0.06, 0.62}, {u, 0.3}, {u + 0.06, 0.62}}), 0xFFD8DCE4, kInk, b.outline());
    }
}

void newspaper(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.18, 0.2}, {0.78, 0.16}, {0.82, 0.8}, {0.22, 0.84}}), 0xFFE8E4D8, kInk, b.outline());
    r.polygon(points(b, {{0.26, 0.26}, {0.72, 0.23}, {0.73, 0.38}, {0.27, 0.41}}), 0xFF48444C);
    for (int i = 0; i < 4; ++i) {
        const double v = 0.5 + i * 0.08;
        bar(r, b, 0.28, v + 0.01, 0.48, v, 0.03, 0xFF8A8690, false);
        bar(r, b, 0.54, v - 0.005, 0.74, v - 0.015, 0.03, 0xFF8A8690, false);
    }
}

void chest(Raster& r, const Box& b) {
    r.roundedRect(b.p(0.16, 0.4).x, b.p(0, 0.4).y, b.p(0.84, 0).x, b.p(0, 0.82).y, b.s(0.04), 0xFFA0642C, kInk,
                  b.outline());
    r.roundedRect(b.p(0.16, 0.2).x, b.p(0, 0.2).y, b.p(0.84, 0).x, b.p(0, 0.44).y, b.s(0.12), 0xFFB8783A, kInk,
                  b.outline());
    r.roundedRect(b.p(0.44, 0.38).x, b.p(0, 0.38).y, b.p(0.56, 0).x, b.p(0, 0.56).y, b.s(0.02), 0xFFF0C840, kInk,
                  b.outline());
}

void cross(Raster& r, const Box& b) {
    bar(r, b, 0.25, 0.25, 0.75, 0.75, 0.14, 0xFFE84040);
    bar(r, b, 0.75, 0.25, 0.25, 0.75, 0.14, 0xFFE84040);
}

void check(Raster& r, const Box& b) {
    disc(r, b, 0.5, 0.5, 0.4, 0.4, 0xFF3C9CE0);
    r.line(b.p(0.3, 0.5), b.p(0.45, 0.66), b.s(0.12), 0xFFFFFFFF);
    r.line(b.p(0.45, 0.66), b.p(0.72, 0.32), b.s(0.12), 0xFFFFFFFF);
}

void sparkle(Raster& r, const Box& b) {
    r.polygon(
        points(b, {{0.5, 0.08}, {0.6, 0.4}, {0.92, 0.5}, {0.6, 0.6}, {0.5, 0.92}, {0.4, 0.6}, {0.08, 0.5}, {0.4, 0.4}}),
        0xFFFFF080, kInk, b.outline());
    disc(r, b, 0.5, 0.5, 0.1, 0.1, 0xFFFFFFFF, false);
}

void curse(Raster& r, const Box& b) {
    // A purple will-o'-the-wisp: a flame with a hollow eye.
    r.polygon(points(b, {{0.5, 0.08},
                         {0.62, 0.3},
                         {0.76, 0.22},
                         {0.78, 0.5},
                         {0.72, 0.78},
                         {0.5, 0.9},
                         {0.28, 0.78},
                         {0.22, 0.5},
                         {0.3, 0.32},
                         {0.4, 0.42}}),
              0xFF8040C0, kInk, b.outline());
    disc(r, b, 0.5, 0.64, 0.16, 0.18, 0xFFC090F0, false);
    disc(r, b, 0.44, 0.62, 0.04, 0.05, kInk, false);
    disc(r, b, 0.56, 0.62, 0.04, 0.05, kInk, false);
}

// Condition marks: small symbols, one per condition kind.
void starShape(Raster& r, const Box& b, double u, double v, double radius, uint32_t colour) {
    std::vector<Point> star;
    for (int k = 0; k < 10; ++k) {
        const double t = -std::numbers::pi / 2 + k * std::numbers::pi / 5, rad = k % 2 == 0 ? radius : radius * 0.45;
        star.push_back(b.p(u + std::cos(t) * rad, v + std::sin(t) * rad));
    }
    r.polygon(star, colour, kInk, b.outline());
}

void swirl(Raster& r, const Box& b) {
    Point last = b.p(0.5, 0.5);
    for (int i = 1; i <= 40; ++i) {
        const double t = i * 0.42, rad = 0.012 * i;
        const Point next = b.p(0.5 + std::cos(t) * rad, 0.5 + std::sin(t) * rad);
        r.line(last, next, b.s(0.1), 0xFFFFE040);
        last = next;
    }
}

void bubbles(Raster& r, const Box& b) {
    disc(r, b, 0.35, 0.65, 0.17, 0.17, 0xFFFF90B0);
    disc(r, b, 0.64, 0.45, 0.13, 0.13, 0xFFFFB0C8);
    disc(r, b, 0.42, 0.24, 0.09, 0.09, 0xFFFFD0E0);
}

void chevrons(Raster& r, const Box& b) {
    for (double u : {0.2, 0.5}) {
        r.polygon(points(b, {{u, 0.2}, {u + 0.16, 0.2}, {u + 0.36, 0.5}, {u + 0.16, 0.8}, {u, 0.8}, {u + 0.2, 0.5}}),
                  0xFF50E0FF, kInk, b.outline());
    }
}

void hourglass(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.25, 0.15}, {0.75, 0.15}, {0.52, 0.5}, {0.75, 0.85}, {0.25, 0.85}, {0.48, 0.5}}), 0xFFD8E8F0,
              kInk, b.outline());
    r.polygon(points(b, {{0.34, 0.78}, {0.66, 0.78}, {0.5, 0.6}}), 0xFFE0B050);
    bar(r, b, 0.2, 0.14, 0.8, 0.14, 0.08, 0xFF8A5A30);
    bar(r, b, 0.2, 0.86, 0.8, 0.86, 0.08, 0xFF8A5A30);
}

void blindEye(Raster& r, const Box& b) {
    disc(r, b, 0.5, 0.5, 0.38, 0.22, 0xFFFFFFFF);
    disc(r, b, 0.5, 0.5, 0.13, 0.13, kInk, false);
    bar(r, b, 0.18, 0.82, 0.82, 0.18, 0.09, 0xFFE04040);
}

void rainbow(Raster& r, const Box& b) {
    static const uint32_t kColours[] = {0xFFFF6060, 0xFFFFE060, 0xFF60FF90, 0xFF60C0FF, 0xFFD070FF};
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * std::numbers::pi / 5, u = 0.5 + 0.28 * std::cos(a), v = 0.5 + 0.28 * std::sin(a);
        bar(r, b, u - 0.12, v, u + 0.12, v, 0.08, kColours[i], false);
        bar(r, b, u, v - 0.12, u, v + 0.12, 0.08, kColours[i], false);
    }
}

void moon(Raster& r, const Box& b, uint32_t colour) {
    disc(r, b, 0.48, 0.5, 0.34, 0.34, colour);
    r.setErasing(true);
    disc(r, b, 0.64, 0.38, 0.3, 0.3, 0xFFFFFFFF, false);
    r.setErasing(false);
}

void crescent(Raster& r, const Box& b) { moon(r, b, 0xFFFFE070); }

void kotatsu(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.1, 0.5}, {0.5, 0.3}, {0.9, 0.5}, {0.9, 0.7}, {0.5, 0.9}, {0.1, 0.7}}), 0xFFD04040, kInk,
              b.outline());
    r.polygon(points(b, {{0.2, 0.45}, {0.5, 0.3}, {0.8, 0.45}, {0.5, 0.6}}), 0xFFB07838, kInk, b.outline());
    disc(r, b, 0.5, 0.44, 0.08, 0.05, 0xFFF08020, false);
}

void bowl(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.12, 0.45}, {0.88, 0.45}, {0.7, 0.8}, {0.3, 0.8}}), 0xFFE8E0D0, kInk, b.outline());
    disc(r, b, 0.5, 0.45, 0.38, 0.08, 0xFF5A4A40);
    bar(r, b, 0.6, 0.12, 0.4, 0.38, 0.05, 0xFFB08858);
    bar(r, b, 0.7, 0.12, 0.5, 0.38, 0.05, 0xFFB08858);
}

void snowflake(Raster& r, const Box& b) {
    for (int i = 0; i < 3; ++i) {
        const double a = i * std::numbers::pi / 3, c = std::cos(a) * 0.38, s = std::sin(a) * 0.38;
        bar(r, b, 0.5 - c, 0.5 - s, 0.5 + c, 0.5 + s, 0.08, 0xFFA0E8FF);
    }
    disc(r, b, 0.5, 0.5, 0.1, 0.1, 0xFFFFFFFF);
}

void drowsyEye(Raster& r, const Box& b) {
    disc(r, b, 0.5, 0.55, 0.38, 0.2, 0xFFFFFFFF);
    disc(r, b, 0.5, 0.6, 0.12, 0.12, kInk, false);
    r.polygon(points(b, {{0.1, 0.56}, {0.2, 0.36}, {0.5, 0.3}, {0.8, 0.36}, {0.9, 0.56}}), 0xFFF2C8A0, kInk,
              b.outline());
}

void ghost(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.22, 0.85},
                         {0.22, 0.4},
                         {0.32, 0.18},
                         {0.5, 0.12},
                         {0.68, 0.18},
                         {0.78, 0.4},
                         {0.78, 0.85},
                         {0.66, 0.75},
                         {0.56, 0.85},
                         {0.44, 0.75},
                         {0.34, 0.85}}),
              0xA0E8F0FF, fade(kInk, 0.6), b.outline());
    disc(r, b, 0.42, 0.4, 0.05, 0.07, kInk, false);
    disc(r, b, 0.58, 0.4, 0.05, 0.07, kInk, false);
}

void upArrows(Raster& r, const Box& b, uint32_t colour, bool down) {
    for (double v : {0.14, 0.46}) {
        const double tip = down ? 0.86 - v + 0.14 : v, base = down ? tip - 0.3 : tip + 0.3;
        r.polygon(points(b, {{0.5, tip}, {0.84, base}, {0.16, base}}), colour, kInk, b.outline());
    }
}

void strong(Raster& r, const Box& b) { upArrows(r, b, 0xFFFF5030, false); }
void weak(Raster& r, const Box& b) { upArrows(r, b, 0xFF9060D0, true); }
void goldStar(Raster& r, const Box& b) { starShape(r, b, 0.5, 0.52, 0.42, 0xFFFFD040); }

void anger(Raster& r, const Box& b) {
    for (int k = 0; k < 4; ++k) {
        const double sx = k % 2 ? 1.0 : -1.0, sy = k < 2 ? 1.0 : -1.0;
        bar(r, b, 0.5 + sx * 0.08, 0.5 + sy * 0.36, 0.5 + sx * 0.1, 0.5 + sy * 0.1, 0.11, 0xFFFF3030);
        bar(r, b, 0.5 + sx * 0.1, 0.5 + sy * 0.1, 0.5 + sx * 0.36, 0.5 + sy * 0.08, 0.11, 0xFFFF3030);
    }
}

void target(Raster& r, const Box& b) {
    disc(r, b, 0.5, 0.5, 0.4, 0.4, 0xFFE04040);
    disc(r, b, 0.5, 0.5, 0.27, 0.27, 0xFFFFFFFF, false);
    disc(r, b, 0.5, 0.5, 0.14, 0.14, 0xFFE04040, false);
}

void hibernate(Raster& r, const Box& b) {
    moon(r, b, 0xFF90B8FF);
    disc(r, b, 0.78, 0.7, 0.06, 0.06, 0xFFFFFFFF);
    disc(r, b, 0.66, 0.86, 0.05, 0.05, 0xFFFFFFFF);
}

void limp(Raster& r, const Box& b) {
    for (double v : {0.35, 0.65}) {
        Point last = b.p(0.1, v);
        for (int i = 1; i <= 16; ++i) {
            const double u = 0.1 + 0.8 * i / 16.0;
            const Point next = b.p(u, v + 0.1 * std::sin(i * std::numbers::pi / 4));
            r.line(last, next, b.s(0.09), 0xFF60C060);
            last = next;
        }
    }
}

void mobbFace(Raster& r, const Box& b) {
    bar(r, b, 0.3, 0.3, 0.2, 0.1, 0.07, 0xFFF0D060);
    bar(r, b, 0.7, 0.3, 0.8, 0.1, 0.07, 0xFFF0D060);
    disc(r, b, 0.5, 0.55, 0.36, 0.34, 0xFF9050C0);
    for (double u : {0.38, 0.62}) {
        disc(r, b, u, 0.5, 0.1, 0.1, 0xFFFFFFFF);
        disc(r, b, u, 0.52, 0.05, 0.05, kInk, false);
    }
}

void bolt(Raster& r, const Box& b) {
    r.polygon(points(b, {{0.56, 0.08}, {0.26, 0.56}, {0.48, 0.56}, {0.4, 0.92}, {0.76, 0.4}, {0.54, 0.4}}), 0xFFFFD030,
              kInk, b.outline());
}

using Drawing = void (*)(Raster&, const Box&);

struct NamedDrawing {
    const char* name;
    Drawing draw;
};

constexpr NamedDrawing kDrawings[] = {
    {"sword", sword},
    {"shield", shield},
    {"amulet", [](Raster& r, const Box& b) { amulet(r, b, false); }},
    {"worn-amulet", [](Raster& r, const Box& b) { amulet(r, b, true); }},
    {"tag", tag},
    {"card", card},
    {"pot", pot},
    {"coins", coins},
    {"cake", cake},
    {"seed", seed},
    {"potion", [](Raster& r, const Box& b) { potion(r, b, 0xFF40C060); }},
    {"elixir", [](Raster& r, const Box& b) { potion(r, b, 0xFFB048D0); }},
    {"stairs-down", [](Raster& r, const Box& b) { stairs(r, b, true); }},
    {"stairs-up", [](Raster& r, const Box& b) { stairs(r, b, false); }},
    {"trap", trap},
    {"newspaper", newspaper},
    {"chest", chest},
    {"cross", cross},
    {"check", check},
    {"sparkle", sparkle},
    {"curse", curse},
    {"swirl", swirl},
    {"bubbles", bubbles},
    {"chevrons", chevrons},
    {"hourglass", hourglass},
    {"blind-eye", blindEye},
    {"rainbow", rainbow},
    {"crescent", crescent},
    {"kotatsu", kotatsu},
    {"bowl", bowl},
    {"snowflake", snowflake},
    {"drowsy-eye", drowsyEye},
    {"ghost", ghost},
    {"strong", strong},
    {"star", goldStar},
    {"anger", anger},
    {"target", target},
    {"hibernate", hibernate},
    {"weak", weak},
    {"limp", limp},
    {"mobb", mobbFace},
    {"bolt", bolt},
};

const NamedDrawing* findDrawing(const std::string& name) {
    for (const NamedDrawing& drawing : kDrawings) {
        if (name == drawing.name) return &drawing;
    }
    return nullptr;
}

}  // namespace

const std::vector<std::string>& itemSheetOrder() {
    static const std::vector<std::string> kOrder = {
        "sword", "shield", "amulet", "worn-amulet", "tag",         "card",      "pot",  "coins",
        "cake",  "seed",   "potion", "elixir",      "stairs-down", "stairs-up", "trap", "newspaper",
    };
    return kOrder;
}

bool isItemDrawing(const std::string& name) { return findDrawing(name) != nullptr; }

bool drawItem(Raster& raster, const std::string& name, double left, double top, double size) {
    const NamedDrawing* drawing = findDrawing(name);
    if (drawing == nullptr) return false;
    drawing->draw(raster, Box{left, top, size});
    return true;
}

}  // namespace Orvex::Tools::ImageGen
