#pragma once
// How an auto-tiled wall cell is assembled: four quarters, each drawn with one of sixteen
// pieces chosen by which of three neighbours are open (missing or not Floor).
#include <array>
#include <cstdint>

namespace Fenwarrow::Dungeon {

class CMap;

struct WallRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    friend bool operator==(const WallRect&, const WallRect&) = default;
};

// Quarters: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right. Neighbours are numbered
// clockwise from north (0 north .. 7 north-west); open[n] is true for an open neighbour.
int32_t pickWallPiece(int32_t quarter, const std::array<bool, 8>& open);
// The open flags of the eight neighbours of (x, y) on the map.
std::array<bool, 8> getWallNeighbours(const CMap& map, int32_t x, int32_t y);
// Where a quarter of the cell whose top-left corner is (x, y) is drawn.
WallRect getWallPieceDestRect(int32_t quarter, float cellSize, float x, float y);
// The piece's rectangle in the chip texture.
WallRect getWallPieceSourceRect(int32_t piece, float cellSize);

}  // namespace Fenwarrow::Dungeon
