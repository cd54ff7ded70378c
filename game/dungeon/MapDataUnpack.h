#pragma once
// Unpacks the map editor's exports: one 16-byte record (four little-endian 32-bit fields) per
// map cell, in cell order. Data shorter than the map stops at the last whole record; longer data
// is read only as far as the map goes.
#include <cstdint>
#include <string>

namespace Fenwarrow::Dungeon {

class CMap;
class CChipLayer;

inline constexpr std::size_t kMapRecordSize = 16;

// Field 0 = 1 gives the cell the kind field 2 + 4 x field 3 (kept as given, even outside the
// known kinds); anything else gives kind 0.
void unpackCellTypes(CMap& map, const std::string& bytes);
// Each record becomes the chip entry of its cell: enabled when field 0 is exactly 1, then the
// texture index, chip column and chip row from fields 1 to 3.
void unpackChipData(CMap& map, CChipLayer& layer, const std::string& bytes);
// Grows rooms over the room cells (field 0 non-zero, field 2 = 1): a cell joins the first room
// whose rectangle, widened by two cells on every side, holds it, else starts a room of its own.
// Gate cells (field 2 = 2) then join the first room whose widened rectangle holds them; a gate
// near no room is dropped. The rooms are appended after those the map holds; cells are not
// linked to them.
void unpackRoomData(CMap& map, const std::string& bytes);

// The same, from the Base64 text (decoding stops at the first character outside the alphabet).
void unpackCellTypesFromBase64(CMap& map, const std::string& text);
void unpackChipDataFromBase64(CMap& map, CChipLayer& layer, const std::string& text);
void unpackRoomDataFromBase64(CMap& map, const std::string& text);

}  // namespace Fenwarrow::Dungeon
