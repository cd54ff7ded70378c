#include "game/gamedata/CResultInfo.h"

#include <algorithm>

namespace Fenwarrow {

void CResultInfo::setText(char16_t (&field)[kTextLength], std::u16string_view text) {
    const std::size_t length = std::min(text.size(), kTextLength - 1);
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(text.begin(), length, field);
}

}  // namespace Fenwarrow
