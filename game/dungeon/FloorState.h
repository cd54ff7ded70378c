#pragma once
// The floor's state record, saved byte for byte with a suspended floor: its colours, paths,
// numbers, mini-map and darkness switches and the enemy generation settings. Text fields are
// zero-terminated UTF-16 of a fixed size; every write is cut to the field and every read stops
// at its end, so a long script string never spills into the next field.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Fenwarrow::Dungeon {

inline constexpr std::size_t kFloorTextUnits = 128;
using FloorText = std::array<char16_t, kFloorTextUnits>;

// Copies at most N - 1 units, then zero fills the rest.
void setFloorText(FloorText& field, std::u16string_view text);
// The text up to the first zero, or the whole field when it has none.
std::u16string getFloorText(const FloorText& field);

struct FloorState {
    uint32_t backgroundColor = 0;
    FloorText floorScriptPath{};
    FloorText dungeonDirectory{};
    FloorText resourceDirectory{};
    int32_t floorNumber = -1;
    int32_t floorType = 0;
    int32_t prevScene = 0;
    int32_t nextScene = 0;
    FloorText prevDungeonPath{};
    FloorText nextDungeonPath{};
    FloorText titleImagePath{};
    FloorText bgmPath{};
    FloorText currentBgmPath{};
    FloorText backMoviePath{};
    uint8_t showMiniMap = 1;
    uint8_t padding0[3] = {};
    float miniMapOffsetX = 0.0f;
    float miniMapOffsetY = 0.0f;
    uint8_t enableDarkness = 1;
    uint8_t robber = 0;
    uint8_t padding1[2] = {};
    int32_t maxAutoGenerateEnemyCount = 0;
    int32_t enemyAutoGenerateTurnCount = 0;

    void reset() { *this = FloorState{}; }
};

static_assert(sizeof(FloorState) == 2348);
static_assert(offsetof(FloorState, floorNumber) == 772);
static_assert(offsetof(FloorState, prevDungeonPath) == 788);
static_assert(offsetof(FloorState, showMiniMap) == 2324);
static_assert(offsetof(FloorState, miniMapOffsetX) == 2328);
static_assert(offsetof(FloorState, enableDarkness) == 2336);
static_assert(offsetof(FloorState, maxAutoGenerateEnemyCount) == 2340);

}  // namespace Fenwarrow::Dungeon
