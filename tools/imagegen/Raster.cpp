#include "tools/imagegen/Raster.h"

#include <algorithm>
#include <cmath>

namespace Orvex::Tools::ImageGen {

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (std::min(a, 255u) << 24) | (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(b, 255u);
}

uint32_t shade(uint32_t colour, double factor) {
    auto channel = [&](int shift) {
        const double value = double((colour >> shift) & 0xFF) * factor;
        return uint32_t(std::clamp(value, 0.0, 255.0) + 0.5) << shift;
    };
    return (colour & 0xFF000000u) | channel(16) | channel(8) | channel(0);
}

uint32_t mix(uint32_t from, uint32_t to, double t) {
    t = std::clamp(t, 0.0, 1.0);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double a = double((from >> shift) & 0xFF), b = double((to >> shift) & 0xFF);
        out |= uint32_t(a + (b - a) * t + 0.5) << shift;
    }
    return out;
}

uint32_t fade(uint32_t colour, double alpha) {
    const double a = double(colour >> 24) * std::clamp(alpha, 0.0, 1.0);
    return (uint32_t(a + 0.5) << 24) | (colour & 0xFFFFFFu);
}

uint32_t over(uint32_t dst, uint32_t src) {
    const double sa = double(src >> 24) / 255.0, da = double(dst >> 24) / 255.0;
    const double oa = sa + da * (1.0 - sa);
    if (oa <= 0.0) return 0;
    uint32_t out = uint32_t(oa * 255.0 + 0.5) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const double s = double((src >> shift) & 0xFF), d = double((dst >> shift) & 0xFF);
        out |= uint32_t((s * sa + d * da * (1.0 - sa)) / oa + 0.5) << shift;
    }
    return out;
}

double hashNoise(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFFFFu) / double(0xFFFFFF);
}

double smoothNoise(double x, double y, double size, uint32_t seed) {
    const double fx = x / size, fy = y / size;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const double tx = fx - ix, ty = fy - iy;
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const double top = hashNoise(ix, iy, seed) * (1 - sx) + hashNoise(ix + 1, iy, seed) * sx;
    const double bottom = hashNoise(ix, iy + 1, seed) * (1 - sx) + hashNoise(ix + 1, iy + 1, seed) * sx;
    return top * (1 - sy) + bottom * sy;
}

uint32_t Raster::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= int(canvas_.width) || y >= int(canvas_.height)) return 0;
    return canvas_.pixels[size_t(y) * canvas_.width + size_t(x)];
}

void Raster::put(int x, int y, uint32_t colour) {
    if (x < std::max(0, clipLeft_) || y < std::max(0, clipTop_)) return;
    if (x >= std::min(int(canvas_.width), clipRight_) || y >= std::min(int(canvas_.height), clipBottom_)) return;
    canvas_.pixels[size_t(y) * canvas_.width + size_t(x)] = colour;
}

void Raster::blend(int x, int y, uint32_t colour, double cover) {
    if (cover <= 0.0) return;
    if (erasing_) {
        put(x, y, fade(at(x, y), 1.0 - std::min(cover, 1.0)));
        return;
    }
    put(x, y, over(at(x, y), cover >= 1.0 ? colour : fade(colour, cover)));
}

void Raster::clip(int left, int top, int right, int bottom) {
    clipLeft_ = left;
    clipTop_ = top;
    clipRight_ = right;
    clipBottom_ = bottom;
}

void Raster::unclip() { clip(0, 0, 1 << 30, 1 << 30); }

void Raster::fillShape(double left, double top, double right, double bottom, const Distance& distance,
                       const ColourAt& colourAt) {
    const int x0 = std::max({int(std::floor(left)) - 1, 0, clipLeft_});
    const int y0 = std::max({int(std::floor(top)) - 1, 0, clipTop_});
    const int x1 = std::min({int(std::ceil(right)) + 1, int(canvas_.width), clipRight_});
    const int y1 = std::min({int(std::ceil(bottom)) + 1, int(canvas_.height), clipBottom_});
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double d = distance(px, py);
            const double cover = std::clamp(0.5 - d, 0.0, 1.0);
            if (cover > 0.0) blend(x, y, colourAt(px, py, d), cover);
        }
    }
}

void Raster::fillShape(double left, double top, double right, double bottom, const Distance& distance, uint32_t colour,
                       uint32_t outline, double outlineWidth) {
    if (outlineWidth > 0.0) {
        const double w = outlineWidth;
        fillShape(
            left - w, top - w, right + w, bottom + w, [&](double x, double y) { return distance(x, y) - w; },
            [&](double, double, double) { return outline; });
    }
    fillShape(left, top, right, bottom, distance, [&](double, double, double) { return colour; });
}

double ellipseDistance(double x, double y, double cx, double cy, double rx, double ry) {
    const double u = (x - cx) / rx, v = (y - cy) / ry;
    const double k = std::hypot(u, v);
    const double gradient = std::hypot(u / rx, v / ry);
    if (gradient < 1e-9) return -std::min(rx, ry);
    return k * (k - 1.0) / gradient;
}

double segmentDistance(double x, double y, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

double polygonDistance(double x, double y, const std::vector<Point>& points) {
    double best = 1e30;
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const Point& a = points[i];
        const Point& b = points[j];
        best = std::min(best, segmentDistance(x, y, a, b));
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside ? -best : best;
}

double roundedRectDistance(double x, double y, double left, double top, double right, double bottom, double radius) {
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

void Raster::ellipse(double cx, double cy, double rx, double ry, uint32_t colour, uint32_t outline,
                     double outlineWidth) {
    fillShape(
        cx - rx, cy - ry, cx + rx, cy + ry, [&](double x, double y) { return ellipseDistance(x, y, cx, cy, rx, ry); },
        colour, outline, outlineWidth);
}

void Raster::capsule(Point a, Point b, double radius, uint32_t colour, uint32_t outline, double outlineWidth) {
    fillShape(
        std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius, std::max(a.x, b.x) + radius,
        std::max(a.y, b.y) + radius, [&](double x, double y) { return segmentDistance(x, y, a, b) - radius; }, colour,
        outline, outlineWidth);
}

void Raster::roundedRect(double left, double top, double right, double bottom, double radius, uint32_t colour,
                         uint32_t outline, double outlineWidth) {
    fillShape(
        left, top, right, bottom,
        [&](double x, double y) { return roundedRectDistance(x, y, left, top, right, bottom, radius); }, colour,
        outline, outlineWidth);
}

void Raster::polygon(const std::vector<Point>& points, uint32_t colour, uint32_t outline, double outlineWidth) {
    if (points.size() < 3) return;
    double left = points[0].x, right = left, top = points[0].y, bottom = top;
    for (const Point& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    fillShape(
        left, top, right, bottom, [&](double x, double y) { return polygonDistance(x, y, points); }, colour, outline,
        outlineWidth);
}

void Raster::verticalGradient(int left, int top, int right, int bottom, uint32_t topColour, uint32_t bottomColour) {
    for (int y = top; y < bottom; ++y) {
        const uint32_t colour =
            mix(topColour, bottomColour, bottom - top > 1 ? double(y - top) / (bottom - top - 1) : 0);
        for (int x = left; x < right; ++x) blend(x, y, colour, 1.0);
    }
}

}  // namespace Orvex::Tools::ImageGen
