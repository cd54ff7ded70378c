#include "game/dungeon/WallPiece.h"

#include "game/dungeon/CMap.h"

namespace Fenwarrow::Dungeon {

namespace {

// The upper quarters are this part of the cell tall, the lower ones the rest.
constexpr float kUpperShare = 0.28125f;

struct QuarterRule {
    int32_t neighbours[3];
    // Pieces for the combinations (a, b, c) = 000, 100, 110, 111, 101, 010, 011, 001.
    int32_t pieces[8];
};

constexpr QuarterRule kQuarterRules[4] = {
    {{6, 7, 0}, {0, 1, 1, 3, 4, 0, 2, 2}},
    {{0, 1, 2}, {5, 6, 6, 3, 7, 5, 1, 1}},
    {{4, 5, 6}, {8, 10, 10, 11, 12, 8, 9, 9}},
    {{2, 3, 4}, {13, 9, 9, 11, 15, 13, 14, 14}},
};

constexpr bool kCombinations[8][3] = {
    {false, false, false}, {true, false, false}, {true, true, false}, {true, true, true},
    {true, false, true},   {false, true, false}, {false, true, true}, {false, false, true},
};

// Clockwise from north.
constexpr int32_t kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int32_t kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

}  // namespace

int32_t pickWallPiece(int32_t quarter, const std::array<bool, 8>& open) {
    if (quarter < 0 || quarter > 3) {
        return 0;
    }
    const QuarterRule& rule = kQuarterRules[quarter];
    for (int row = 0; row < 8; ++row) {
        const bool* combination = kCombinations[row];
        if (open[static_cast<std::size_t>(rule.neighbours[0])] == combination[0] &&
            open[static_cast<std::size_t>(rule.neighbours[1])] == combination[1] &&
            open[static_cast<std::size_t>(rule.neighbours[2])] == combination[2]) {
            return rule.pieces[row];
        }
    }
    return 0;
}

std::array<bool, 8> getWallNeighbours(const CMap& map, int32_t x, int32_t y) {
    std::array<bool, 8> open{};
    for (std::size_t n = 0; n < 8; ++n) {
        const CMapCell* cell = map.getCell({x + kDx[n], y + kDy[n]});
        open[n] = cell == nullptr || cell->cellType != kCellFloor;
    }
    return open;
}

WallRect getWallPieceDestRect(int32_t quarter, float cellSize, float x, float y) {
    const float half = cellSize / 2.0f;
    const float upper = cellSize * kUpperShare;
    const float left = (quarter == 1 || quarter == 3) ? x + half : x;
    const bool lower = quarter == 2 || quarter == 3;
    return {left, lower ? y + upper : y, left + half, lower ? y + cellSize : y + upper};
}

WallRect getWallPieceSourceRect(int32_t piece, float cellSize) {
    const float half = cellSize / 2.0f;
    const float upper = cellSize * kUpperShare;
    if (piece < 8) {
        return {static_cast<float>(piece) * half, 0.0f, static_cast<float>(piece) * half + half, upper};
    }
    const float left = static_cast<float>(piece - 8) * half;
    return {left, upper, left + half, upper + cellSize * (1.0f - kUpperShare)};
}

}  // namespace Fenwarrow::Dungeon
