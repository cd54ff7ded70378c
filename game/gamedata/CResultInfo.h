#pragma once
// One run's result as it is kept in the rankings and the saves: a fixed little-endian record of
// 2404 bytes whose offsets are part of the save format.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Fenwarrow {

// The player's status at the end of a run, in the field order of the actor's status.
struct CResultActorStatus {
    int32_t direction;
    int32_t turnCount;
    int32_t level;
    float maxLife;
    float life;
    float maxHungerPoint;
    float hungerPoint;
    int32_t maxForce;
    int32_t force;
    float attack;
    float defense;
    float power;
    int32_t exp;
    uint32_t categoryBits;
    uint32_t stabilityBits;
    uint8_t shown;
    uint8_t reserved[3];
};
static_assert(sizeof(CResultActorStatus) == 64);

struct CResultInfo {
    static constexpr std::size_t kTextLength = 128;

    uint8_t valid;
    int32_t score;
    int32_t money;  // at the end of the dive
    char16_t playerName[kTextLength];
    CResultActorStatus status;
    char16_t text1[kTextLength];
    char16_t text2[kTextLength];
    char16_t weaponText[kTextLength];
    char16_t shieldText[kTextLength];
    char16_t amuletText[kTextLength];
    uint8_t flags[5];
    int32_t value;
    char16_t text3[kTextLength];
    float playTime;
    int32_t turnCount;
    uint8_t cleared;
    uint8_t trailingText[515];

    // Copies the text into a field, cut to leave room for the terminator.
    static void setText(char16_t (&field)[kTextLength], std::u16string_view text);
};
static_assert(sizeof(CResultInfo) == 2404);
static_assert(offsetof(CResultInfo, score) == 4);
static_assert(offsetof(CResultInfo, playerName) == 12);
static_assert(offsetof(CResultInfo, status) == 268);
static_assert(offsetof(CResultInfo, text1) == 332);
static_assert(offsetof(CResultInfo, weaponText) == 844);
static_assert(offsetof(CResultInfo, amuletText) == 1356);
static_assert(offsetof(CResultInfo, flags) == 1612);
static_assert(offsetof(CResultInfo, value) == 1620);
static_assert(offsetof(CResultInfo, text3) == 1624);
static_assert(offsetof(CResultInfo, playTime) == 1880);
static_assert(offsetof(CResultInfo, turnCount) == 1884);
static_assert(offsetof(CResultInfo, cleared) == 1888);
static_assert(offsetof(CResultInfo, trailingText) == 1889);

}  // namespace Fenwarrow
