#include "game/dungeon/FloorState.h"

#include <algorithm>

namespace Fenwarrow::Dungeon {

void setFloorText(FloorText& field, std::u16string_view text) {
    const std::size_t units = std::min(text.size(), field.size() - 1);
    std::copy_n(text.begin(), units, field.begin());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(units), field.end(), u'\0');
}

std::u16string getFloorText(const FloorText& field) {
    const auto end = std::find(field.begin(), field.end(), u'\0');
    return std::u16string(field.begin(), end);
}

}  // namespace Fenwarrow::Dungeon
