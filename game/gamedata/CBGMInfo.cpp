#include "game/gamedata/CBGMInfo.h"

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow {

bool CBGMInfo::serialize(Orvex::Serialization::OxSerializer& serializer) { return serializer.serializeWString(path); }

}  // namespace Fenwarrow
