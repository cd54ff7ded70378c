#pragma once
// The draw-priority layers that scripts and map chip layers name. A larger number is drawn
// earlier, further under everything else; the gaps leave room for native code in between.
#include <cstdint>
#include <string_view>

namespace Fenwarrow::ScriptCommand {

// The priority of the layer with exactly that name (case included); 0 for any other name.
uint32_t getRenderPriority(std::u16string_view name);

// The name of the layer with exactly that priority, or null.
const char16_t* getRenderLayerName(uint32_t priority);

}  // namespace Fenwarrow::ScriptCommand
