#pragma once
// A cell position on the map: x grows to the right (columns), y downwards (rows).
#include <cstdint>

namespace Fenwarrow::Dungeon {

template <typename T>
struct OxPoint {
    T x = 0;
    T y = 0;

    friend bool operator==(const OxPoint&, const OxPoint&) = default;
};

using MapPoint = OxPoint<int32_t>;

// Operations that find no cell return this point.
inline constexpr MapPoint kInvalidPoint{-1, -1};

}  // namespace Fenwarrow::Dungeon
