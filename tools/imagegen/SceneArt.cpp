#include "tools/imagegen/SceneArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/imagegen/Figure.h"
#include "tools/imagegen/ItemArt.h"
#include "tools/imagegen/Raster.h"

namespace Orvex::Tools::ImageGen {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr uint32_t kInk = 0xFF1C1620;

// Value noise that repeats every `period` pixels both ways (period a multiple of size).
double tiledNoise(double x, double y, double size, int period, uint32_t seed) {
    const int cells = std::max(1, int(period / size));
    const double fx = x / size, fy = y / size;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const double tx = fx - ix, ty = fy - iy;
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto h = [&](int a, int b) {
        return hashNoise(((a % cells) + cells) % cells, ((b % cells) + cells) % cells, seed);
    };
    const double top = h(ix, iy) * (1 - sx) + h(ix + 1, iy) * sx;
    const double bottom = h(ix, iy + 1) * (1 - sx) + h(ix + 1, iy + 1) * sx;
    return top * (1 - sy) + bottom * sy;
}

// Two octaves of value noise, 0..1.
double fractal(double x, double y, double size, uint32_t seed) {
    return 0.65 * smoothNoise(x, y, size, seed) + 0.35 * smoothNoise(x, y, size / 2.7, seed + 17);
}

void paintStone(Raster& r, int left, int top, int s, uint32_t base, uint32_t seed) {
    const int half = s / 2;
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            const double n = tiledNoise(x, y, 10, s, seed) * 0.6 + tiledNoise(x, y, 4, s, seed + 5) * 0.4;
            // Four slabs per cell; the joints lie on the cell border too, so cells tile.
            const int jx = std::min(x % half, half - 1 - x % half), jy = std::min(y % half, half - 1 - y % half);
            const int joint = std::min(jx, jy);
            double k = 0.86 + 0.22 * n;
            if (joint == 0)
                k = 0.55;
            else if (joint == 1)
                k *= (x % half == 1 || y % half == 1) ? 1.12 : 0.85;
            r.put(left + x, top + y, shade(base, k));
        }
    }
}

void paintWater(Raster& r, int left, int top, int s, int phase) {
    const double t = phase * kPi / 2.0;
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            const double u = 2 * kPi * x / s, v = 2 * kPi * y / s;
            const double wave =
                std::sin(u * 2 + v + t) * 0.5 + std::sin(u - v * 2 + t) * 0.35 + std::sin(u * 3 + v * 3 - t) * 0.25;
            uint32_t c = mix(0xFF1A4C8C, 0xFF2C78C0, 0.5 + wave * 0.4);
            if (wave > 0.82) c = mix(c, 0xFFD8F0FF, (wave - 0.82) * 3.0);
            r.put(left + x, top + y, c);
        }
    }
}

void paintPlain(Raster& r, int left, int top, int s, uint32_t base, double grain, uint32_t seed) {
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            const double n = tiledNoise(x, y, 8, s, seed) * 0.5 + tiledNoise(x, y, 2, s, seed + 3) * 0.5;
            r.put(left + x, top + y, shade(base, 1.0 - grain / 2 + grain * n));
        }
    }
}

void paintPlanks(Raster& r, int left, int top, int s) {
    const int plank = s / 4;
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            const int row = y / plank;
            const double grain = tiledNoise(x, y * 6.0, 16, s, 40 + row) * 0.5 + 0.5;
            double k = 0.8 + 0.25 * grain;
            if (y % plank == 0) k = 0.5;
            if ((x + row * (s / 2)) % s == 0) k = 0.55;
            r.put(left + x, top + y, shade(0xFF9A6A3C, k));
        }
    }
}

// One wall cell of size s seen from above, given which of its eight neighbours (0 north,
// clockwise) are not floor. The wall top is framed by a bevel where floor is next to it,
// and shows its brick face to the south when the cell below is floor.
uint32_t wallPixel(double x, double y, double s, const bool open[8], uint32_t top, uint32_t face) {
    const double m = s * 0.075, faceHeight = s * 0.4;
    const double left = open[6] ? -1e9 : m, right = open[2] ? 1e9 : s - m;
    const double upper = open[0] ? -1e9 : m, lower = open[4] ? 1e9 : s - faceHeight;
    // Outer corners are rounded off where both sides are floor.
    auto outer = [&](bool a, bool b, double cx, double cy) {
        return !a && !b && std::hypot(x - cx, y - cy) > m * 1.6 && std::abs(x - cx) < m * 1.6 &&
               std::abs(y - cy) < m * 1.6;
    };
    if (outer(open[0], open[6], m * 1.6, m * 1.6) && x < m * 1.6 && y < m * 1.6) return 0;
    if (outer(open[0], open[2], s - m * 1.6, m * 1.6) && x > s - m * 1.6 && y < m * 1.6) return 0;
    const double period = s / 2;  // every texture repeats each half cell: pieces are shared
    if (y >= lower) {
        // The brick face.
        const double fy = y - lower;
        const int course = int(fy / (faceHeight / 3));
        const double bx = std::fmod(x + (course % 2) * period / 4, period / 2);
        const double by = std::fmod(fy, faceHeight / 3);
        double k = 0.85 + 0.2 * tiledNoise(x, y, 5, int(period), 9);
        if (bx < 1.5 || by < 1.5) k = 0.55;
        if (fy < 2.5) k = 0.45;                 // the lip of the wall top
        if (fy > faceHeight - 3) k *= 0.7;      // a shadow at its foot
        if (x < left || x >= right) k *= 0.75;  // the face seen at a corner
        return shade(face, k);
    }
    // Inner corners: floor diagonal with walls on both sides.
    auto inner = [&](bool a, bool diagonal, bool b, double cx, double cy) {
        return a && !diagonal && b && std::hypot(x - cx, y - cy) < m;
    };
    const bool notch = inner(open[6], open[7], open[0], 0, 0) || inner(open[0], open[1], open[2], s, 0);
    const double n = tiledNoise(x, y, 6, int(period), 3) * 0.6 + tiledNoise(x, y, 2, int(period), 4) * 0.4;
    if (x < left || y < upper || notch) return shade(top, 1.35);  // light bevel, top and left
    if (x >= right) return shade(top, 0.72);                      // shaded bevel, right
    double k = 0.85 + 0.25 * n;
    if (x < left + 1.2 || y < upper + 1.2 || x >= right - 1.2) k = 0.6;
    return shade(top, k);
}

struct PieceSource {
    int quarter;
    bool a, b, c;  // the quarter's three neighbours, open or not
};

// One neighbour configuration per piece, read off the piece rule.
constexpr PieceSource kPieceSources[16] = {
    {0, false, false, false}, {0, true, false, false},  {0, false, true, true},  {0, true, true, true},
    {0, true, false, true},   {1, false, false, false}, {1, true, false, false}, {1, true, false, true},
    {2, false, false, false}, {2, false, true, true},   {2, true, false, false}, {2, true, true, true},
    {2, true, false, true},   {3, false, false, false}, {3, false, true, true},  {3, true, false, true},
};
constexpr int kQuarterNeighbours[4][3] = {{6, 7, 0}, {0, 1, 2}, {4, 5, 6}, {2, 3, 4}};

void arrow(Raster& r, Point tip, double angle, double size, uint32_t colour) {
    const double ux = std::cos(angle), uy = std::sin(angle), px = -uy, py = ux;
    const Point back{tip.x - ux * size, tip.y - uy * size};
    r.polygon({tip,
               {back.x + px * size * 0.6, back.y + py * size * 0.6},
               {back.x - px * size * 0.6, back.y - py * size * 0.6}},
              colour, kInk, 1.5);
}

void mountains(Raster& r, double baseY, double height, uint32_t colour, uint32_t seed) {
    std::vector<Point> ridge{{0, double(r.height())}};
    for (int x = 0; x <= int(r.width()); x += 8) {
        ridge.push_back({double(x), baseY - height * fractal(x, 0, 90, seed)});
    }
    ridge.push_back({double(r.width()), double(r.height())});
    r.polygon(ridge, colour);
}

void paintTitle(Raster& r) {
    const int w = int(r.width()), h = int(r.height());
    r.verticalGradient(0, 0, w, h, 0xFF0C1030, 0xFF5A3A6C);
    for (int i = 0; i < 90; ++i) {
        const double x = hashNoise(i, 1, 7) * w, y = hashNoise(i, 2, 7) * h * 0.6;
        r.ellipse(x, y, 1.2, 1.2, fade(0xFFFFFFFF, 0.4 + 0.6 * hashNoise(i, 3, 7)));
    }
    r.ellipse(w * 0.78, h * 0.18, 44, 44, 0xFFF8F0D0);
    r.ellipse(w * 0.78 + 14, h * 0.18 - 8, 38, 38, 0xFF1A1A40);
    mountains(r, h * 0.62, h * 0.25, 0xFF2A2040, 11);
    // The dungeon: a dark gate cut into a rock face.
    r.polygon(
        {{w * 0.3, h * 0.72}, {w * 0.38, h * 0.38}, {w * 0.5, h * 0.3}, {w * 0.62, h * 0.38}, {w * 0.7, h * 0.72}},
        0xFF3A3050, kInk, 2);
    r.roundedRect(w * 0.44, h * 0.56, w * 0.56, h * 0.74, 2, 0xFF08060C, kInk, 2);
    r.ellipse(w * 0.5, h * 0.56, w * 0.06, h * 0.07, 0xFF08060C, kInk, 2);
    r.roundedRect(w * 0.44 + 2, h * 0.56, w * 0.56 - 2, h * 0.6, 0, 0xFF08060C);
    r.ellipse(w * 0.5, h * 0.62, 50, 60, 0x30FF8040);
    mountains(r, h * 0.8, h * 0.1, 0xFF1A1428, 5);
    r.verticalGradient(0, int(h * 0.78), w, h, 0xFF201830, 0xFF100C18);
    // The hero stands before it, seen from behind.
    r.ellipse(w * 0.5, h * 0.64, 90, 80, 0x38FFA040);
    renderSolids(r, w * 0.5 - 100, h - 200, characterSolids("hero", 0, 1, false), 40, 100, 190);
}

void paintWorldMap(Raster& r) {
    const int w = int(r.width()), h = int(r.height());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w * 0.5) / (w * 0.42), dy = (y - h * 0.5) / (h * 0.42);
            const double land = 1.0 - std::hypot(dx, dy) + (fractal(x, y, 120, 21) - 0.5) * 0.9;
            uint32_t c;
            if (land < 0.0) {
                c = mix(0xFF2A5C9C, 0xFF3C78B8, fractal(x, y, 40, 3));
                if (land > -0.06) c = mix(c, 0xFFA8D0F0, 0.5);
            } else if (land < 0.05) {
                c = 0xFFE8D8A0;
            } else {
                const double hill = fractal(x, y, 60, 8);
                c = mix(0xFF6CA848, 0xFF3C7838, hill);
                if (land > 0.45) c = mix(c, 0xFF8C8070, (land - 0.45) * 3);
            }
            r.put(x, y, c);
        }
    }
    // Mountains, forests, the road and the two dungeons.
    for (int i = 0; i < 7; ++i) {
        const double x = w * (0.42 + 0.05 * i), y = h * (0.36 + 0.03 * (i % 3));
        r.polygon({{x - 26, y + 20}, {x, y - 26}, {x + 26, y + 20}}, 0xFF8A7A6A, kInk, 1.5);
        r.polygon({{x - 8, y - 12}, {x, y - 26}, {x + 8, y - 12}}, 0xFFF8F8F8);
    }
    for (int i = 0; i < 18; ++i) {
        const double x = w * 0.26 + hashNoise(i, 1, 5) * w * 0.16, y = h * 0.52 + hashNoise(i, 2, 5) * h * 0.2;
        r.ellipse(x, y, 9, 11, 0xFF2C6A30, kInk, 1.2);
    }
    const Point town{w * 0.34, h * 0.72}, cave{w * 0.6, h * 0.62}, tower{w * 0.7, h * 0.3};
    for (double t = 0; t < 1.0; t += 0.04) {
        r.ellipse(town.x + (cave.x - town.x) * t, town.y + (cave.y - town.y) * t + std::sin(t * kPi) * 30, 2.5, 2.5,
                  0xFF6A4A2A);
        r.ellipse(cave.x + (tower.x - cave.x) * t + std::sin(t * kPi) * 30, cave.y + (tower.y - cave.y) * t, 2.5, 2.5,
                  0xFF6A4A2A);
    }
    for (int i = 0; i < 3; ++i) {
        const double x = town.x - 24 + i * 22;
        r.roundedRect(x - 9, town.y - 8, x + 9, town.y + 10, 2, 0xFFE8D8C0, kInk, 1.2);
        r.polygon({{x - 12, town.y - 6}, {x, town.y - 20}, {x + 12, town.y - 6}}, 0xFFC04030, kInk, 1.2);
    }
    r.ellipse(cave.x, cave.y, 30, 22, 0xFF6A5A50, kInk, 2);
    r.roundedRect(cave.x - 12, cave.y - 8, cave.x + 12, cave.y + 20, 11, 0xFF101010);
    r.roundedRect(tower.x - 14, tower.y - 40, tower.x + 14, tower.y + 24, 3, 0xFF908898, kInk, 2);
    r.polygon({{tower.x - 20, tower.y - 40}, {tower.x, tower.y - 70}, {tower.x + 20, tower.y - 40}}, 0xFF7A3040, kInk,
              2);
    r.roundedRect(tower.x - 5, tower.y + 6, tower.x + 5, tower.y + 24, 5, 0xFF101010);
    // A compass rose in the corner.
    const Point c{w * 0.9, h * 0.84};
    r.ellipse(c.x, c.y, 34, 34, 0x60FFFFFF, kInk, 1.5);
    r.polygon({{c.x, c.y - 40}, {c.x + 8, c.y}, {c.x, c.y + 40}, {c.x - 8, c.y}}, 0xFFE8E0C8, kInk, 1.5);
    r.polygon({{c.x, c.y - 40}, {c.x + 8, c.y}, {c.x - 8, c.y}}, 0xFFC03030);
}

void paintRoom(Raster& r) {
    const int w = int(r.width()), h = int(r.height());
    for (int y = 0; y < h * 2 / 3; ++y) {
        for (int x = 0; x < w; ++x) {
            const int board = x / 50;
            const double grain = smoothNoise(x, y * 0.1, 6, 50 + board);
            double k = 0.75 + 0.2 * grain;
            if (x % 50 < 2) k = 0.45;
            r.put(x, y, shade(0xFF9A6A40, k));
        }
    }
    r.verticalGradient(0, h * 2 / 3, w, h, 0xFF6A4A30, 0xFF3A2818);
    r.line({0, h * 2.0 / 3}, {double(w), h * 2.0 / 3}, 6, 0xFF4A3020);
    // A window with the sky and a hill outside.
    r.roundedRect(w * 0.58, h * 0.12, w * 0.86, h * 0.46, 4, 0xFF5A3A20, kInk, 2);
    r.verticalGradient(int(w * 0.6), int(h * 0.15), int(w * 0.84), int(h * 0.43), 0xFF78B8F0, 0xFFD0E8F8);
    r.clip(int(w * 0.6), int(h * 0.15), int(w * 0.84), int(h * 0.43));
    r.ellipse(w * 0.72, h * 0.5, w * 0.16, h * 0.12, 0xFF70A850);
    r.unclip();
    r.line({w * 0.72, h * 0.15}, {w * 0.72, h * 0.43}, 6, 0xFF5A3A20);
    r.line({w * 0.6, h * 0.29}, {w * 0.84, h * 0.29}, 6, 0xFF5A3A20);
    // A shelf with pots, a table with a candle.
    r.roundedRect(w * 0.08, h * 0.3, w * 0.42, h * 0.33, 2, 0xFF5A3A20, kInk, 1.5);
    for (int i = 0; i < 4; ++i) drawItem(r, i % 2 ? "potion" : "pot", w * 0.09 + i * w * 0.08, h * 0.3 - 60, 60);
    r.roundedRect(w * 0.2, h * 0.7, w * 0.8, h * 0.76, 6, 0xFF8A5A30, kInk, 2);
    r.roundedRect(w * 0.25, h * 0.76, w * 0.28, h * 0.95, 2, 0xFF6A4224, kInk, 1.5);
    r.roundedRect(w * 0.72, h * 0.76, w * 0.75, h * 0.95, 2, 0xFF6A4224, kInk, 1.5);
    r.roundedRect(w * 0.48, h * 0.62, w * 0.52, h * 0.7, 2, 0xFFF0E8D0, kInk, 1.5);
    r.ellipse(w * 0.5, h * 0.6, 5, 9, 0xFFFFD040);
    r.ellipse(w * 0.5, h * 0.6, 70, 60, 0x28FFC040);
}

void paintFace(Raster& r) {
    const int w = int(r.width()), h = int(r.height());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double d = std::hypot(x - w / 2.0, y - h / 2.0) / (w * 0.7);
            r.put(x, y, mix(0xFF4A6A9A, 0xFF1A2440, d));
        }
    }
    const double scale = w / 2.4;
    renderSolids(r, 0, 0, characterSolids("hero", 4, 0, false), scale, w / 2.0, h * 0.42 + 2.75 * scale * 0.9);
    const Point corners[] = {{2, 2}, {w - 2.0, 2}, {w - 2.0, h - 2.0}, {2, h - 2.0}};
    for (int i = 0; i < 4; ++i) r.line(corners[i], corners[(i + 1) % 4], 4.0, 0xFFE8D8A0);
}

void paintMeltdown(Raster& r) {
    const int w = int(r.width()), h = int(r.height());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = x - w / 2.0, dy = y - h / 2.0, d = std::hypot(dx, dy) / (w * 0.5);
            const double a = std::atan2(dy, dx);
            const double ray = std::pow(std::abs(std::sin(a * 8.0)), 6.0) * std::max(0.0, 1.0 - d);
            uint32_t c = mix(0xFFFFFFF0, 0xFFFF9020, std::min(1.0, d * 1.2));
            c = mix(c, 0xFF5A1008, std::clamp(d * 1.3 - 0.5, 0.0, 1.0));
            c = mix(c, 0xFFFFF8D0, ray * 0.8);
            r.put(x, y, c);
        }
    }
}

// The loading picture of a floor: a corridor leading away, lit by two torches.
void paintCorridor(Raster& r, uint32_t stone, uint32_t light) {
    const int w = int(r.width()), h = int(r.height());
    const double cx = w / 2.0, cy = h * 0.46;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - cx) / (w / 2.0), dy = (y - cy) / (h / 2.0);
            const double edge = std::max(std::abs(dx), std::abs(dy));  // 0 far away, 1 at the frame
            const double depth = 1.0 / std::max(edge, 0.05);
            const bool side = std::abs(dx) > std::abs(dy);
            const double u = side ? dy * depth : dx * depth;
            const double block = std::fmod(std::abs(depth * 1.2), 1.0), course = std::fmod(std::abs(u * 2.0 + 10), 1.0);
            double k = 0.3 + 0.7 * edge;
            if (block < 0.05 || course < 0.06) k *= 0.6;
            k *= 0.85 + 0.3 * fractal(x, y, 12, 2);
            uint32_t c = shade(stone, k);
            if (!side && dy > 0) c = shade(mix(stone, 0xFF403020, 0.5), k);  // the floor
            if (edge < 0.14) c = 0xFF050408;
            r.put(x, y, c);
        }
    }
    for (double side : {-1.0, 1.0}) {
        const double x = cx + side * w * 0.3, y = h * 0.36;
        r.ellipse(x, y, w * 0.16, w * 0.16, fade(light, 0.25));
        r.roundedRect(x - 4, y, x + 4, y + 40, 2, 0xFF5A3A20, kInk, 1.5);
        r.ellipse(x, y - 6, 8, 14, light, fade(kInk, 0.5), 1.0);
        r.ellipse(x, y - 3, 4, 7, 0xFFFFF8D0);
    }
}

}  // namespace

void paintGround(Canvas& canvas) {
    Raster r(canvas);
    const int s = int(canvas.width / 4);
    static const uint32_t kStones[] = {0xFF8A8478, 0xFF7C786C, 0xFF948C7C, 0xFF80807A};
    for (int i = 0; i < 4; ++i) {
        paintStone(r, i * s, 0, s, kStones[i], 100 + i);
        paintWater(r, i * s, s, s, i);
    }
    paintPlain(r, 0, 2 * s, s, 0xFF7A6244, 0.35, 7);
    paintPlain(r, s, 2 * s, s, 0xFF4C8C3C, 0.45, 8);
    paintPlanks(r, 2 * s, 2 * s, s);
    paintPlain(r, 3 * s, 2 * s, s, 0xFF141018, 0.2, 9);
}

void paintWallSheet(Canvas& canvas, uint32_t top, uint32_t face) {
    Raster r(canvas);
    const double s = canvas.width / 4.0, upper = 0.28125 * s;
    for (int piece = 0; piece < 16; ++piece) {
        const PieceSource& source = kPieceSources[piece];
        bool open[8] = {true, true, true, true, true, true, true, true};
        const int* neighbours = kQuarterNeighbours[source.quarter];
        open[neighbours[0]] = source.a;
        open[neighbours[1]] = source.b;
        open[neighbours[2]] = source.c;
        // The quarter's place inside the cell and the piece's place in the sheet.
        const double qx = (source.quarter % 2) * s / 2, qy = source.quarter < 2 ? 0.0 : upper;
        const double height = source.quarter < 2 ? upper : s - upper;
        const double px = (piece % 8) * s / 2, py = piece < 8 ? 0.0 : upper;
        for (int band = 0; band < 4; ++band) {
            const int y0 = int(std::floor(py)), y1 = int(std::ceil(py + height));
            for (int y = y0; y < y1; ++y) {
                for (int x = 0; x < int(s / 2); ++x) {
                    const uint32_t c = wallPixel(qx + x + 0.5, qy + (y - py) + 0.5, s, open, top, face);
                    r.put(int(px) + x, y + band * int(s), c);
                }
            }
        }
    }
}

void paintGlows(Canvas& canvas, const std::vector<uint32_t>& colours) {
    Raster r(canvas);
    const int s = int(canvas.height);
    for (int i = 0; i * s < int(canvas.width); ++i) {
        const uint32_t colour = colours[size_t(i) % colours.size()];
        for (int y = 0; y < s; ++y) {
            for (int x = 0; x < s; ++x) {
                const double d = std::hypot(x + 0.5 - s / 2.0, y + 0.5 - s / 2.0) / (s / 2.0);
                const double k = std::pow(std::max(0.0, 1.0 - d), 2.0);
                // Added to the screen: black adds nothing, so the glow fades in brightness.
                r.put(i * s + x, y, argb(255, 0, 0, 0) | (shade(colour, k) & 0xFFFFFF));
            }
        }
    }
}

void paintDarkPlane(Canvas& canvas, uint32_t cellSize) {
    Raster r(canvas);
    const double s = cellSize;
    // The player's cell: in the middle of the 800-pixel screen's width, its fourth row down.
    const double cx = 400.0, cy = -32.0 + 3 * s + s / 2;
    const double clear = s * 1.1, dark = s * 1.75;  // the cells next to the player stay visible
    for (int y = 0; y < int(canvas.height); ++y) {
        for (int x = 0; x < int(canvas.width); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double t = std::clamp((d - clear) / (dark - clear), 0.0, 1.0);
            r.put(x, y, argb(uint32_t(255 * t * t * (3 - 2 * t) + 0.5), 4, 4, 12));
        }
    }
}

void paintMiniMap(Canvas& canvas, uint32_t mapped) {
    Raster r(canvas);
    r.roundedRect(0.5, 0.5, 9.5, 9.5, 1, mapped);                                    // 0 mapped cell
    r.ellipse(15, 5, 4, 4, 0xFFFFE040, kInk, 1.0);                                   // 1 player
    r.ellipse(25, 5, 3.6, 3.6, 0xFFF04040, kInk, 1.0);                               // 2 enemy
    r.ellipse(35, 5, 3.6, 3.6, 0xFF50E070, kInk, 1.0);                               // 3 other actor
    r.polygon({{45, 1.5}, {48.5, 5}, {45, 8.5}, {41.5, 5}}, 0xFF60D0FF, kInk, 1.0);  // 4 item
    r.line({51.5, 1.5}, {58.5, 8.5}, 2.2, 0xFFD060F0);                               // 5 trap
    r.line({58.5, 1.5}, {51.5, 8.5}, 2.2, 0xFFD060F0);
    r.roundedRect(61, 1, 69, 9, 1, 0xFFF0F0F0, kInk, 1.0);  // 6 item of state 1 or 2
    r.roundedRect(63, 3, 67, 7, 0.5, 0xFF404040);
    r.ellipse(75, 5, 3, 3, 0xFFFFFFFF, kInk, 1.0);  // 7 spare
}

void paintArrows(Canvas& canvas, int directions) {
    Raster r(canvas);
    // The texture is drawn at (270, 180); the player's cell lies at (270, 208) on screen.
    // Only the player's column is free to the left and right; above and below there is room.
    const double cx = 40.0, cy = 28.0 + 40.0;
    for (int d = 0; d < 8; ++d) {
        if (directions == 4 && d % 2 == 0) continue;
        const double angle = -kPi / 2 + d * kPi / 4;
        const double dist = d % 2 ? 55.0 : (d % 4 == 0 ? 62.0 : 38.0);
        const Point tip{cx + std::cos(angle) * dist, cy + std::sin(angle) * dist};
        arrow(r, tip, angle, 15, d % 2 ? 0xF0FFD040 : 0xF060E0FF);
    }
}

void paintGauge(Canvas& canvas) {
    Raster r(canvas);
    const double w = canvas.width;
    r.roundedRect(0.5, 0.5, w - 0.5, 15.5, 4, 0xC0202028, 0xFFE8E0C8, 1.5);
    const uint32_t fills[] = {0xFF50D060, 0xFFE04040, 0xFFF0A030};
    for (int i = 0; i < 3; ++i) {
        const int top = 16 * (i + 1);
        r.verticalGradient(0, top + 3, int(w), top + 13, shade(fills[i], 1.3), shade(fills[i], 0.75));
    }
}

void paintHollow(Canvas& canvas) {
    Raster r(canvas);
    const double s = std::min(canvas.width, canvas.height) * 80.0 / 128.0;  // one cell
    r.ellipse(s * 0.5, s * 0.9, s * 0.36, s * 0.09, 0x50000000);
    r.ellipse(s * 0.5, s * 0.62, s * 0.36, s * 0.3, 0xFFB86A3A, kInk, 1.5);
    r.roundedRect(s * 0.28, s * 0.22, s * 0.72, s * 0.44, 4, 0xFFB86A3A, kInk, 1.5);
    r.ellipse(s * 0.5, s * 0.24, s * 0.24, s * 0.08, 0xFF2A1408, kInk, 1.5);
    r.ellipse(s * 0.42, s * 0.23, 2.5, 3, 0xFFFFFFFF);  // eyes peeking out of the dark mouth
    r.ellipse(s * 0.58, s * 0.23, 2.5, 3, 0xFFFFFFFF);
    r.line({s * 0.16, s * 0.6}, {s * 0.84, s * 0.6}, 3, 0xFF8A4A28);
    r.ellipse(s * 0.34, s * 0.52, s * 0.06, s * 0.1, 0x60FFFFFF);
}

// The game's name in block letters on a banner, twice: the plain card above, the same card with
// a glint across it below, so that the title can let the light pass over its logo.
void paintLogoCard(Raster& r, int top, double glint) {
    static const struct {
        char letter;
        const char* rows[7];
    } kLetters[] = {
        {'F', {"11111", "10000", "10000", "11110", "10000", "10000", "10000"}},
        {'E', {"11111", "10000", "10000", "11110", "10000", "10000", "11111"}},
        {'N', {"10001", "11001", "10101", "10101", "10011", "10001", "10001"}},
        {'W', {"10001", "10001", "10001", "10101", "10101", "11011", "10001"}},
        {'A', {"01110", "10001", "10001", "11111", "10001", "10001", "10001"}},
        {'R', {"11110", "10001", "10001", "11110", "10100", "10010", "10001"}},
        {'O', {"01110", "10001", "10001", "10001", "10001", "10001", "01110"}},
    };
    const std::string name = "FENWARROW";
    const int w = int(r.width());
    const double cell = 8.0, gap = 12.0;
    const double textWidth = name.size() * 5 * cell + (name.size() - 1) * gap;
    const double left = (w - textWidth) / 2.0, textTop = top + 36.0;
    r.roundedRect(left - 40, top + 20, w - left + 40, top + 108, 14, 0xE0281C34, 0xFFD8B060, 3);
    for (int side = 0; side < 2; ++side) {
        const double x = side == 0 ? left - 22 : w - left + 22;
        r.line({x - 12, top + 48.0}, {x + 12, top + 80.0}, 4, 0xFFE8E0D0);
        r.line({x + 12, top + 48.0}, {x - 12, top + 80.0}, 4, 0xFFE8E0D0);
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const double x0 = left + i * (5 * cell + gap);
        for (const auto& glyph : kLetters) {
            if (glyph.letter != name[i]) continue;
            for (int row = 0; row < 7; ++row) {
                for (int column = 0; column < 5; ++column) {
                    if (glyph.rows[row][column] != '1') continue;
                    const double x = x0 + column * cell, y = textTop + row * cell;
                    r.roundedRect(x + 2, y + 2, x + cell + 2, y + cell + 2, 1.5, 0xC0000000);
                    r.roundedRect(x, y, x + cell, y + cell, 1.5, mix(0xFFF0D080, 0xFFB07830, row / 6.0));
                }
            }
        }
    }
    if (glint > 0.0) {
        const double x = left + glint * textWidth;
        r.polygon({{x - 10, top + 22.0}, {x + 14, top + 22.0}, {x - 6, top + 106.0}, {x - 30, top + 106.0}},
                  0x70FFFFFF);
    }
}

void paintLogo(Raster& r) {
    const int half = int(r.height()) / 2;
    paintLogoCard(r, 0, 0.0);
    paintLogoCard(r, half, 0.55);
}

bool isPicture(const std::string& name) {
    return name == "title" || name == "worldmap" || name == "room" || name == "face" || name == "meltdown" ||
           name == "cave" || name == "tower" || name == "logo";
}

void paintPicture(Canvas& canvas, const std::string& name) {
    Raster r(canvas);
    if (name == "title")
        paintTitle(r);
    else if (name == "worldmap")
        paintWorldMap(r);
    else if (name == "room")
        paintRoom(r);
    else if (name == "face")
        paintFace(r);
    else if (name == "meltdown")
        paintMeltdown(r);
    else if (name == "cave")
        paintCorridor(r, 0xFF8A8070, 0xFFFFA040);
    else if (name == "tower")
        paintCorridor(r, 0xFF8A6070, 0xFFFF4040);
    else if (name == "logo")
        paintLogo(r);
}

}  // namespace Orvex::Tools::ImageGen
