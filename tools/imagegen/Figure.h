#pragma once
// Character sprites built from a few shaded solids (spheres, capsules, flat discs) placed in a
// small 3D model, turned to one of eight facings and projected at a slight top-down angle.
// Sorting the solids by depth is enough for figures this simple; it is what makes the face
// disappear behind the hair when a figure walks away.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/imagegen/Raster.h"

namespace Orvex::Tools::ImageGen {

// Sprite sheet geometry shared by every character: frames of 112 x 120, column d (0..7) holds
// direction d (0 up, then clockwise: 1 up-right, 2 right ... 7 up-left), rows 0..3 its four
// walking frames; column 8 holds the two sleeping frames in rows 0 and 1.
constexpr uint32_t kFrameWidth = 112;
constexpr uint32_t kFrameHeight = 120;
constexpr uint32_t kWalkFrames = 4;
constexpr uint32_t kSleepFrames = 2;
constexpr uint32_t kSheetWidth = kFrameWidth * 9;
constexpr uint32_t kSheetHeight = kFrameHeight * kWalkFrames;
// Where the feet touch the ground inside a frame.
constexpr double kGroundY = 106.0;

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

// One solid of a figure. Positions are in model units: x right, y up, z towards the viewer.
struct Solid {
    enum class Kind { Sphere, Capsule, Disc, Stroke };
    Kind kind = Kind::Sphere;
    Vec3 a, b;             // centre (sphere, disc) or the two ends (capsule, stroke)
    double radius = 0.0;   // model units (stroke: pixels of half width)
    double squashX = 1.0;  // sphere: extra horizontal and vertical scale on screen
    double squashY = 1.0;
    uint32_t colour = 0;
    double layer = 0.0;  // added to the depth: groups solids (legs < body < head)
    bool erase = false;  // clears what it covers instead of painting (an occluder)
    bool outline = true;
};

// Paints solids into a frame whose top-left corner is (left, top) on the raster.
void renderSolids(Raster& raster, double left, double top, std::vector<Solid> solids);
// The same at another size: `scale` pixels per model unit, the figure's ground point at
// (left + centreX, top + groundY).
void renderSolids(Raster& raster, double left, double top, std::vector<Solid> solids, double scale, double centreX,
                  double groundY);

// The characters the sample game uses; `kind` is "hero", "slime", "mobb", "guard", "vendor"
// or "weapon" (the hero's sword alone, hidden where the hero's body covers it).
bool isCharacterKind(const std::string& kind);
// direction 0..7 and frame 0..3 for walking; sleeping frames use sleepFrame 0..1.
std::vector<Solid> characterSolids(const std::string& kind, int direction, int frame, bool sleeping);
// The whole sheet of a character (kSheetWidth x kSheetHeight).
void paintCharacterSheet(Canvas& canvas, const std::string& kind);

// A square sheet of 4 x 4 square cells of `cell` pixels: row r holds the four walking frames of
// facing r (0 up, 1 right, 2 down, 3 left), the figure scaled to the cell.
void paintWalkerSheet(Canvas& canvas, const std::string& kind, uint32_t cell);

// The condition marks shown over an actor's head: rows Confusion, Drunken, Blind, Trip and
// Unhinged, four looping frames of 112 x 64 each, drawn from the body frame's top-left corner.
constexpr uint32_t kMarkHeight = 64;
void paintConditionSheet(Canvas& canvas);

}  // namespace Orvex::Tools::ImageGen
