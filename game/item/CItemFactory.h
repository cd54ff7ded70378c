#pragma once
// Every item kind of the game, registered by ID with the folder of its scripts, and the maker
// of item instances by ID.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <boost/noncopyable.hpp>
#include <lua.hpp>

#include "engine/io/OxStreamIO.h"
#include "engine/system/binary_search_map.h"

namespace Fenwarrow {
class IGameContext;
}

namespace Fenwarrow::Item {

class CItem;

class CItemFactory : private boost::noncopyable {
public:
    struct UInfo {
        std::u16string folder;
    };

    static constexpr const char16_t* kSetupScript = u"Script/Item/ItemSetup.lua";
    static constexpr uint32_t kSetupMemory = 0x20000;
    static constexpr uint32_t kItemSetupMemory = 0x10000;
    static constexpr int32_t kSlotAbilityCount = 56;

    explicit CItemFactory(IGameContext& context);
    virtual ~CItemFactory();

    // Runs the set-up script, which registers every kind through "addItemInfo"; false when the
    // script cannot be loaded.
    bool initialize();
    // Registers a kind; an ID registered before is reported and takes the new folder.
    void addItemInfo(uint32_t itemId, const std::u16string& folder);
    const UInfo* findItemInfo(uint32_t itemId) const { return infos_.find(itemId); }
    // A new item of the kind set up by its "setup.lua"; empty for an unknown ID or a failed set-up.
    std::shared_ptr<CItem> createItem(uint32_t itemId);
    std::vector<uint32_t> getItemIDList() const;

    // The name of a slot ability; null outside 0..55.
    static const char16_t* getSlotAbilityName(int32_t index);

private:
    static int luaAddItemInfo(lua_State* L);
    bool setupItem(CItem& item, const std::u16string& folder);
    // The bytes of the folder's "setup.lua", read from the archives once and kept for the
    // factory's life (entries are never removed, so the result stays valid); null when they
    // cannot be read (tried again next time).
    const Orvex::IO::StreamIO::ByteVector* setupChunk(const std::u16string& folder);

    IGameContext& context_;
    Orvex::System::binary_search_map<uint32_t, UInfo> infos_;
    // Items are made on the floor's worker and on the game thread.
    std::mutex chunkLock_;
    std::map<std::u16string, Orvex::IO::StreamIO::ByteVector> setupChunks_;
};

}  // namespace Fenwarrow::Item
