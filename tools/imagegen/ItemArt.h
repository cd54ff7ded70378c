#pragma once
// Item pictures: one drawing per kind, drawn to any square box, so the same drawing serves the
// 80 x 80 floor chip and the 40 x 40 window icon.
#include <string>
#include <vector>

#include "tools/imagegen/Raster.h"

namespace Orvex::Tools::ImageGen {

// Every drawing name, in the order the item sheet places them (row by row, four a row):
// sword shield amulet worn-amulet tag card pot coins cake seed potion elixir
// stairs-down stairs-up trap newspaper; the window icons add: chest cross check sparkle curse;
// the condition marks: swirl bubbles chevrons hourglass blind-eye rainbow crescent kotatsu bowl
// snowflake drowsy-eye ghost strong star anger target hibernate weak limp mobb bolt.
const std::vector<std::string>& itemSheetOrder();
bool isItemDrawing(const std::string& name);

// Draws `name` into the square box (left, top, size); returns false for an unknown name.
bool drawItem(Raster& raster, const std::string& name, double left, double top, double size);

}  // namespace Orvex::Tools::ImageGen
