#pragma once
// Builds a cell object's sprite from its folder's "setup.lua": the script draws the animation
// through the MossbellLib functions, and the object only owns the result.
#include <string>

namespace Fenwarrow {
class IGameContext;
}

namespace Fenwarrow::Dungeon {

class CCellObject;

// Clears the sprite and runs folder + "setup.lua" (the object's own folder when `folder` is
// empty); then rebuilds the dependents' looks from their own folders. False, with the sprite
// left cleared, when the script is missing or a module cannot be attached.
bool setupAnimation(IGameContext& context, CCellObject& object, const std::u16string& folder);

}  // namespace Fenwarrow::Dungeon
