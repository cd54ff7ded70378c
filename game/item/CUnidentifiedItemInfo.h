#pragma once
// The game data's record of an item kind whose true name is still hidden: the name shown in
// its place and the name the player gave it.
#include <cstdint>
#include <string>

namespace Fenwarrow::Item {

struct CUnidentifiedItemInfo {
    static constexpr std::size_t kMaxNameLength = 63;

    uint32_t itemId = 0;
    bool unidentified = false;
    std::u16string name;           // shown while unidentified
    std::u16string temporaryName;  // given by the player; empty when none
};

}  // namespace Fenwarrow::Item
