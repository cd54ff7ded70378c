// The mini-map: layout on the screen, the icon rules, and its render-queue entries.
#include "game/dungeon/CMiniMapRenderer.h"

#include "engine/graphics/OxRenderQueue.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/services/IGameContext.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/IOrvexSpriteDraw.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr const char16_t* kIconStripPath = u"Dungeon/MapChip/MiniMap.png";
constexpr float kBackgroundAlpha = 0.8f;
// The amulet ability that maps what the player cannot see.
constexpr uint32_t kMappingAbility = 1;
constexpr int32_t kTrapCategory = 12;
// The actor state bit under which every visible item on an explored cell counts as seen.
constexpr uint32_t kSeesItemsBit = 0;

bool isStateItem(const Item::CItem& item) {
    const auto state = item.getStatus().getAnotherOption();
    return state == 1 || state == 2;
}

int32_t itemIcon(const Item::CItem& item, bool confused) {
    if (confused) {
        return CMiniMapRenderer::kItemIcon;
    }
    if (item.getItemType() == kTrapCategory) {
        return CMiniMapRenderer::kTrapIcon;
    }
    return isStateItem(item) ? CMiniMapRenderer::kStateItemIcon : CMiniMapRenderer::kItemIcon;
}

}  // namespace

CMiniMapRenderer::CMiniMapRenderer(CDungeon& floor) : floor_(floor) {}

CMiniMapRenderer::~CMiniMapRenderer() = default;

void CMiniMapRenderer::create() {
    hideObjects_ = false;
    layout();
}

void CMiniMapRenderer::layout() {
    texture_.reset();
    const CMap& map = floor_.getMap();
    IDungeonServices& services = floor_.getServices();
    originX_ = (static_cast<int32_t>(services.getScreenWidth()) - map.getWidth() * kIconSize) / 2;
    originY_ = (static_cast<int32_t>(services.getScreenHeight()) - map.getHeight() * kIconSize) / 2;
    offsetX_ = 0.0f;
    offsetY_ = 0.0f;
    backgroundShown_ = false;
    Orvex::Graphics::IOrvexRenderer* renderer = services.getRenderer();
    Orvex::Graphics::IOrvexTextureManager* textures = renderer != nullptr ? renderer->getTextureManager() : nullptr;
    Orvex::IO::StreamIO::IOrvexStreamReader& reader = services.getGameContext().getArchiveReader();
    if (textures != nullptr && reader.open(kIconStripPath)) {
        if (textures->createTexture(texture_.put(), &reader) < 0) {
            texture_.reset();
        }
        reader.close();
    }
}

void CMiniMapRenderer::release() {
    texture_.reset();
    originX_ = 0;
    originY_ = 0;
    hideObjects_ = false;
    offsetX_ = 0.0f;
    offsetY_ = 0.0f;
    backgroundShown_ = false;
}

void CMiniMapRenderer::draw() {
    Orvex::Graphics::OxRenderQueue* queue = floor_.getServices().getRenderQueue();
    if (queue == nullptr) {
        return;
    }
    queue->add(Orvex::Graphics::RenderPriority::kMiniMap, [this] { drawMap(); });
    if (backgroundShown_) {
        queue->add(Orvex::Graphics::RenderPriority::kUnderMiniMap, [this] { drawBackground(); });
    }
}

void CMiniMapRenderer::drawBackground() {
    IDungeonServices& services = floor_.getServices();
    Orvex::Graphics::IOrvexRenderer* renderer = services.getRenderer();
    if (renderer == nullptr || renderer->getSpriteDraw() == nullptr) {
        return;
    }
    const float black[4] = {0.0f, 0.0f, 0.0f, kBackgroundAlpha};
    const Orvex::Graphics::OxRect screen{0.0f, 0.0f, static_cast<float>(services.getScreenWidth()),
                                         static_cast<float>(services.getScreenHeight())};
    renderer->getSpriteDraw()->drawFill(black, &screen);
}

CMiniMapRenderer::Switches CMiniMapRenderer::takeSwitches() const {
    Switches switches;
    if (CGameDataManager* gameData = floor_.getServices().getGameContext().getGameDataManager()) {
        const std::shared_ptr<Item::CItem> amulet = gameData->getEquippedAmuletItem();
        switches.amulet = amulet != nullptr && amulet->getStatus().checkAbility(kMappingAbility);
    }
    return switches;
}

int32_t CMiniMapRenderer::chooseIcon(const CMapCell& cell, const Switches& switches) const {
    const Actor::CActor* player = floor_.getPlayer().get();
    int32_t icon = kNoIcon;
    for (std::size_t slot = 0; slot < CMapCell::kObjectSlots; ++slot) {
        const CCellObject* object = cell.getObject(slot);
        if (object == nullptr) {
            continue;
        }
        if (object->getCellObjectType() == CCellObject::kActor) {
            // The first actor decides, shown or not: what lies under it stays unknown.
            const auto* actor = static_cast<const Actor::CActor*>(object);
            if (!actor->getStatus().getShown()) {
                return icon;
            }
            const bool seen = player != nullptr && floor_.checkActorInSight(player, actor, false);
            if (!seen && !switches.amulet) {
                return icon;
            }
            return switches.confused ? kConfusedActorIcon : actor->getMiniMapIcon();
        }
        if (object->getCellObjectType() != CCellObject::kItem) {
            continue;
        }
        const auto* item = static_cast<const Item::CItem*>(object);
        const bool seesItems = player != nullptr && player->getStatus().getStabilityState(kSeesItemsBit);
        bool shown = cell.tracked && (item->isVisible() || seesItems);
        if (!shown && switches.amulet) {
            shown = item->getItemType() != kTrapCategory && !isStateItem(*item);
        }
        if (shown) {
            icon = itemIcon(*item, switches.confused);
        }
    }
    return icon;
}

void CMiniMapRenderer::drawMap() {
    Orvex::Graphics::IOrvexRenderer* renderer = floor_.getServices().getRenderer();
    if (renderer == nullptr || renderer->getSpriteDraw() == nullptr || !texture_) {
        return;
    }
    // Kept for the whole map even if a set-up replaces the strip meanwhile.
    const Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> texture = texture_;
    Orvex::Graphics::IOrvexSpriteDraw& sprite = *renderer->getSpriteDraw();
    const Switches switches = takeSwitches();
    const CMap& map = floor_.getMap();
    const auto size = static_cast<float>(kIconSize);
    for (int32_t y = 0; y < map.getHeight(); ++y) {
        for (int32_t x = 0; x < map.getWidth(); ++x) {
            const CMapCell* cell = map.getCell({x, y});
            if (cell == nullptr) {
                continue;
            }
            const float left = static_cast<float>(originX_ + x * kIconSize) + offsetX_;
            const float top = static_cast<float>(originY_ + y * kIconSize) + offsetY_;
            const Orvex::Graphics::OxRect destination{left, top, left + size, top + size};
            if (cell->tracked) {
                const Orvex::Graphics::OxRect mapped{0.0f, 0.0f, size, size};
                sprite.draw(texture.get(), &destination, &mapped);
            }
            if (hideObjects_) {
                continue;
            }
            const int32_t icon = chooseIcon(*cell, switches);
            if (icon > 0) {
                const float sourceX = static_cast<float>(icon * kIconSize);
                const Orvex::Graphics::OxRect source{sourceX, 0.0f, sourceX + size, size};
                sprite.draw(texture.get(), &destination, &source);
            }
        }
    }
}

}  // namespace Fenwarrow::Dungeon
