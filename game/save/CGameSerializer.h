#pragma once
// The body of the common save "c000.bin": the global flags, integers and floats, the rankings,
// the money, the equipment, the identification table, the player with his items, the storage
// and the scene settings, in this order.
#include <cstdint>
#include <string>

namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow {

class CGameDataManager;
class CSettingDataManager;
class IGameContext;

class CGameSerializer {
public:
    // Global integer 17 records the scene in which a save was written.
    static constexpr int32_t kSavedSceneInt = 17;

    // The context must have a game data manager; both must outlive the serializer.
    CGameSerializer(IGameContext& game, CSettingDataManager& settings, int32_t currentSceneId);
    virtual ~CGameSerializer() = default;

    // Writes the whole body; false when the player or an item cannot be written.
    bool serialize(Orvex::Serialization::OxSerializer& serializer);
    // Resets the game data and reads the body into it. On any failure the game data is reset
    // once more, so nothing of a damaged file stays in play, the settings keep their values and
    // getLastError() says which part of the body failed and where it starts.
    bool deserialize(Orvex::Serialization::OxSerializer& serializer);
    const std::string& getLastError() const { return lastError_; }

    // The global flags, integers and reals, which the old format stores the same way.
    static void readGlobals(Orvex::Serialization::OxSerializer& serializer, CGameDataManager& data);

private:
    bool readBody(Orvex::Serialization::OxSerializer& serializer, CGameDataManager& data);
    // Keeps the reason with the body byte where the failing part starts; false.
    bool refuse(const std::string& what, uint32_t at);

    IGameContext& game_;
    CSettingDataManager& settings_;
    int32_t currentSceneId_;
    std::string lastError_;
};

}  // namespace Fenwarrow
