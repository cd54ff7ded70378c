#pragma once
#include <string>

namespace Orvex::Tools::FontBaker {

// Finds the file of an installed font family through fontconfig. fontconfig always offers
// some font; when none of the offered font's family names equals `family` (ASCII case
// ignored), BakeError names the family and what was offered instead, so a missing Japanese
// font is never silently replaced by one without kana.
std::string locateFontFile(const std::string& family);

}  // namespace Orvex::Tools::FontBaker
