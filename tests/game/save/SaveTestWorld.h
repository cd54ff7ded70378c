#pragma once
// The small game of tests/support/SaveGameWorld.h on the test game context, in a fresh base
// folder.
#include <memory>
#include <string>
#include <vector>

#include <lua.hpp>

#include "game/actor/CPlayer.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/services/CScriptCommandBase.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/ScriptArguments.h"
#include "engine/serialization/OxSerializer.h"
#include "tests/game/shell/GameTestContext.h"
#include "tests/support/SaveGameWorld.h"

namespace SaveTest {

using Orvex::Serialization::OxSerializer;
using SaveWorld::archiveEntries;
using SaveWorld::GameModule;
using SaveWorld::memoOf;
using SaveWorld::setMemo;

// Item kinds 1 (a plain item), 2 (a pot) and 1060 (listed on floors whatever its flags).
class World {
public:
    explicit World(TempFolder& folder, std::vector<Orvex::Packer::PackerEntry> extra = {}) {
        std::vector<Orvex::Packer::PackerEntry> entries = archiveEntries();
        entries.insert(entries.end(), extra.begin(), extra.end());
        ScriptTest::openArchive(folder, context.reader, entries);
        context.provideAllModules();
        context.factories[Fenwarrow::ScriptModule::kGame] = [] { return std::make_shared<GameModule>(); };
        for (uint32_t id : {1u, 2u, 1060u}) {
            factory.addItemInfo(id, u"Item/A/");
        }
        context.itemFactory = &factory;
        gameData = std::make_unique<Fenwarrow::CGameDataManager>(context);
        context.gameData = gameData.get();
    }

    std::shared_ptr<Fenwarrow::Item::CItem> item(uint32_t id) { return factory.createItem(id); }

    GameTest::TestGameContext context;
    Fenwarrow::Item::CItemFactory factory{context};
    std::unique_ptr<Fenwarrow::CGameDataManager> gameData;
    Fenwarrow::CSettingDataManager settings;
};

}  // namespace SaveTest
