#pragma once
// The saved forms of an actor and an item, shared by the common save (the player and the
// storage) and the suspended floor (every actor and item on it). Each function writes or reads
// by the serializer's direction where it says so; every read checks what it got, so a damaged
// record fails the read instead of leaving a half-made object with the caller.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow {

class IGameContext;
namespace Dungeon {
class CCellObject;
}
namespace Actor {
class CActor;
class CActorStatus;
}  // namespace Actor
namespace Item {
class CItem;
class CItemStatus;
struct CUnidentifiedItemInfo;
}  // namespace Item

namespace SaveRecords {

// Sizes of the fixed records.
constexpr std::size_t kActorStatusBytes = 64;
constexpr std::size_t kMotionBytes = 132;
constexpr std::size_t kItemStatusBytes = 316;
constexpr std::size_t kItemWeightsBytes = 56;
constexpr std::size_t kUnidentifiedBytes = 264;
// Items held inside items inside items...: the game nests one or two levels; a deeper record is
// refused on both sides, so a forged file cannot recurse the reader off its stack.
constexpr int32_t kMaxItemDepth = 16;

// Copies a fixed-size record in the serializer's direction; false when a read ran short.
bool serializeRaw(Orvex::Serialization::OxSerializer& serializer, void* bytes, std::size_t count);

void encodeActorStatus(const Actor::CActorStatus& status, uint8_t (&bytes)[kActorStatusBytes]);
void decodeActorStatus(const uint8_t (&bytes)[kActorStatusBytes], Actor::CActorStatus& status);
void encodeItemStatus(const Item::CItemStatus& status, uint8_t (&bytes)[kItemStatusBytes]);
void decodeItemStatus(const uint8_t (&bytes)[kItemStatusBytes], Item::CItemStatus& status);
void encodeUnidentified(const Item::CUnidentifiedItemInfo& info, uint8_t (&bytes)[kUnidentifiedBytes]);
Item::CUnidentifiedItemInfo decodeUnidentified(const uint8_t (&bytes)[kUnidentifiedBytes]);

// The visible flag, name and animation speed every cell object saves.
bool serializeCellObjectPart(Orvex::Serialization::OxSerializer& serializer, Dungeon::CCellObject& object);
// The actor's four sprites: the body first, then the effect, weapon and shield sprites.
bool serializeSprites(Orvex::Serialization::OxSerializer& serializer, Actor::CActor& actor);
// A new, not yet set-up actor of the saved type (1 player, 2 non-player, 3 enemy); null for any
// other type.
std::shared_ptr<Actor::CActor> makeActor(IGameContext& context, uint32_t type);
// Reads one item record; with `filtered`, a held item that is not listed on floors fails it.
bool readItemRecord(Orvex::Serialization::OxSerializer& serializer, IGameContext& context,
                    std::shared_ptr<Item::CItem>& out, bool filtered);
// The fewest bytes an item record takes (for checking a saved count against what is left).
constexpr uint32_t kMinItemBytes = 4 + 1 + 2 + 4 + kItemStatusBytes + kItemWeightsBytes + 4;

}  // namespace SaveRecords

// An item record: ID, cell-object part, status, category weights, then the held items that are
// listed on floors (recursively).
bool serializeItem(Orvex::Serialization::OxSerializer& serializer, const Item::CItem& item);
// Makes the item through the context's item factory and reads it; false (out empty) for an
// unknown ID, a held item that is not listed on floors, or a damaged record.
bool deserializeItem(Orvex::Serialization::OxSerializer& serializer, IGameContext& context,
                     std::shared_ptr<Item::CItem>& out);

// An actor record: folder, type, motion, motion lock, cell-object part, turn part, status,
// conditions, carried items, the four sprites, then whatever the actor's script writes.
bool serializeActor(Orvex::Serialization::OxSerializer& serializer, Actor::CActor& actor);
// Makes a player, non-player or enemy by the saved type, sets it up from the saved folder and
// reads the rest; false (out empty) on an unknown type, a failed set-up or a damaged record.
bool deserializeActor(Orvex::Serialization::OxSerializer& serializer, IGameContext& context,
                      std::shared_ptr<Actor::CActor>& out);

// Calls the actor script's "Actor.Command.serialize" or "deserialize" as (1, serializer), with
// the serializer current for its state during the call (ScriptArguments::currentSerializer).
void callActorSerializeCommand(Actor::CActor& actor, Orvex::Serialization::OxSerializer& serializer);

}  // namespace Fenwarrow
