#pragma once
// Drawing primitives on a canvas: shapes with soft (anti-aliased) edges blended over what is
// already there, outlines, gradients and shading helpers. Coordinates are in pixels with
// (0, 0) the top-left corner of the top-left pixel; a pixel's centre is at (x + 0.5, y + 0.5).
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/imagegen/ImagePainter.h"

namespace Orvex::Tools::ImageGen {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

// Colour arithmetic on 0xAARRGGBB values.
uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b);
uint32_t shade(uint32_t colour, double factor);      // RGB scaled, alpha kept
uint32_t mix(uint32_t from, uint32_t to, double t);  // every channel, t 0..1
uint32_t fade(uint32_t colour, double alpha);        // alpha scaled
// Straight "over" compositing of src onto dst.
uint32_t over(uint32_t dst, uint32_t src);

// A repeatable value noise in 0..1 from integer lattice coordinates and a seed.
double hashNoise(int x, int y, uint32_t seed);
// Smooth value noise at (x, y) with the given feature size, 0..1.
double smoothNoise(double x, double y, double size, uint32_t seed);

class Raster {
public:
    explicit Raster(Canvas& canvas) : canvas_(canvas) {}

    uint32_t width() const { return canvas_.width; }
    uint32_t height() const { return canvas_.height; }
    uint32_t at(int x, int y) const;
    void put(int x, int y, uint32_t colour);                  // replaces
    void blend(int x, int y, uint32_t colour, double cover);  // over, scaled by coverage 0..1
    // While set, shapes clear what they cover (by their coverage) instead of painting.
    void setErasing(bool erasing) { erasing_ = erasing; }

    // Clips every later drawing to a rectangle (inclusive left/top, exclusive right/bottom).
    void clip(int left, int top, int right, int bottom);
    void unclip();

    // Fills every pixel whose centre's signed distance (negative inside) from the shape is
    // below zero, with a one-pixel soft edge. `colourAt` picks the colour per pixel from the
    // pixel centre and the distance; the shape's bounds limit the work.
    using Distance = std::function<double(double x, double y)>;
    using ColourAt = std::function<uint32_t(double x, double y, double distance)>;
    void fillShape(double left, double top, double right, double bottom, const Distance& distance,
                   const ColourAt& colourAt);
    // The same shape with a solid colour and, when outlineWidth > 0, a ring of that width
    // outside it in the outline colour.
    void fillShape(double left, double top, double right, double bottom, const Distance& distance, uint32_t colour,
                   uint32_t outline = 0, double outlineWidth = 0.0);

    void ellipse(double cx, double cy, double rx, double ry, uint32_t colour, uint32_t outline = 0,
                 double outlineWidth = 0.0);
    void capsule(Point a, Point b, double radius, uint32_t colour, uint32_t outline = 0, double outlineWidth = 0.0);
    void line(Point a, Point b, double width, uint32_t colour) { capsule(a, b, width / 2.0, colour); }
    void roundedRect(double left, double top, double right, double bottom, double radius, uint32_t colour,
                     uint32_t outline = 0, double outlineWidth = 0.0);
    // Any simple polygon (even-odd rule), soft-edged.
    void polygon(const std::vector<Point>& points, uint32_t colour, uint32_t outline = 0, double outlineWidth = 0.0);
    // A rectangle filled with a vertical gradient from top to bottom colour.
    void verticalGradient(int left, int top, int right, int bottom, uint32_t topColour, uint32_t bottomColour);

private:
    Canvas& canvas_;
    bool erasing_ = false;
    int clipLeft_ = 0, clipTop_ = 0, clipRight_ = 1 << 30, clipBottom_ = 1 << 30;
};

// Signed distances (negative inside) of the basic shapes, for custom fills.
double ellipseDistance(double x, double y, double cx, double cy, double rx, double ry);
double segmentDistance(double x, double y, Point a, Point b);  // distance to the segment itself
double polygonDistance(double x, double y, const std::vector<Point>& points);
double roundedRectDistance(double x, double y, double left, double top, double right, double bottom, double radius);

}  // namespace Orvex::Tools::ImageGen
