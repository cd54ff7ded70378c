#pragma once
// The draw-priority layers that scripts and map chip layers name. A larger number is drawn
// earlier, further under everything else; the gaps leave room for native code in between.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Fenwarrow::ScriptCommand {

// The priority of the layer with exactly that name (case included); 0 for any other name.
uint32_t getRenderPriority(std::u16string_view name);

// The draw priority of each of a floor's chip layers, given their names in layer order. The
// layers are met from the last to the first; a name that is no layer's takes the priority of the
// last named layer met before it in that walk (0 when there is none).
std::vector<uint32_t> getChipLayerPriorities(const std::vector<std::u16string>& layerNames);

// The name of the layer with exactly that priority, or null.
const char16_t* getRenderLayerName(uint32_t priority);

}  // namespace Fenwarrow::ScriptCommand
