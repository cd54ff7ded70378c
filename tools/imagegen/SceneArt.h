#pragma once
// Map chips, screen overlays and the full pictures of the sample game.
#include <cstdint>
#include <string>

#include "tools/imagegen/ImagePainter.h"

namespace Orvex::Tools::ImageGen {

// Plain floor chips, cell size = width / 4: row 0 four stone floors, row 1 four water
// frames, row 2 dirt, grass, planks and the void.
void paintGround(Canvas& canvas);
// Auto-tile wall sheet (4 s x 4 s): the sixteen wall pieces (0-7 in the band 0..0.28125 s,
// 8-15 below it, each s / 2 wide) repeated in every band of s rows, so that any band shift
// the renderer applies finds them.
void paintWallSheet(Canvas& canvas, uint32_t top, uint32_t face);
// Additive glows, one s x s chip each (s = height): colours in turn.
void paintGlows(Canvas& canvas, const std::vector<uint32_t>& colours);
// Darkness with a soft clear hole around the player's cell for a cell size.
void paintDarkPlane(Canvas& canvas, uint32_t cellSize);
// 10 x 10 mini-map icons: 0 mapped cell, 1 player, 2 enemy, 3 other actor, 4 item, 5 trap,
// 6 item of state 1 or 2, 7 spare.
// The mini-map icon strip; `mapped` fills the square of a mapped cell (icon 0).
void paintMiniMap(Canvas& canvas, uint32_t mapped);
// Arrows around the player's cell: `directions` 4 (diagonals) or 8.
void paintArrows(Canvas& canvas, int directions);
// HUD gauge parts, rows of 16: frame, life, low life, hunger.
void paintGauge(Canvas& canvas);
// The pot an actor hides in, in the top-left cell of a 128 chip.
void paintHollow(Canvas& canvas);
// Full pictures: "title", "worldmap", "room", "face", "meltdown", "cave", "tower".
bool isPicture(const std::string& name);
void paintPicture(Canvas& canvas, const std::string& name);

}  // namespace Orvex::Tools::ImageGen
