#pragma once
// Maps the body of an old common save onto the game data: the globals, money, equipment, the
// player (whose old conditions are read and dropped), the storage and the scene settings. The
// old body has no rankings and no identification table; those stay as a reset leaves them.
#include <cstdint>
#include <memory>
#include <string>

namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow {

class CGameDataManager;
class CSettingDataManager;
class IGameContext;
namespace Actor {
class CActor;
}
namespace Item {
class CItem;
}

class COldGameSerializer {
public:
    // The old result settings record.
    static constexpr std::size_t kOldResultBytes = 1544;

    COldGameSerializer(IGameContext& game, CSettingDataManager& settings);
    virtual ~COldGameSerializer() = default;

    // Resets the game data and reads the old body into it; on failure the game data is reset
    // again, the settings keep their values and getLastError() says which part failed.
    bool deserialize(Orvex::Serialization::OxSerializer& serializer);
    const std::string& getLastError() const { return lastError_; }

private:
    bool readBody(Orvex::Serialization::OxSerializer& serializer, CGameDataManager& data);
    bool readSettings(Orvex::Serialization::OxSerializer& serializer);
    // Keeps the reason with the file byte where the failing part starts; false.
    bool refuse(const std::string& what, uint32_t at);

    IGameContext& game_;
    CSettingDataManager& settings_;
    std::string lastError_;
};

// An old actor record: as the current one without the motion and turn parts, with the
// conditions in the old form (read and dropped) and the items unfiltered.
bool deserializeOldActor(Orvex::Serialization::OxSerializer& serializer, IGameContext& context,
                         std::shared_ptr<Actor::CActor>& out);
// An old item record: the current one, read without the filter of listed items.
bool deserializeOldItem(Orvex::Serialization::OxSerializer& serializer, IGameContext& context,
                        std::shared_ptr<Item::CItem>& out);

}  // namespace Fenwarrow
