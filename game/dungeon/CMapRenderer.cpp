// The floor view: camera, shake and cell placement each frame; the chip layers, the cell objects
// and the darkness as render-queue entries.
#include "game/dungeon/CMapRenderer.h"

#include <cmath>
#include <cstdlib>

#include "engine/graphics/OxRenderQueue.h"
#include "engine/random/OxRandomRange.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/WallPiece.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/IOrvexSpriteDraw.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr const char16_t* kDarkPlanePath = u"Dungeon/DarkPlane.dds";
constexpr float kBaseOffsetY = -32.0f;
constexpr uint32_t kActorStart = 8500000;
constexpr uint32_t kItemStart = 8750000;
constexpr uint32_t kRowStep = 1000;
constexpr uint32_t kColumnStep = 10;
constexpr float kDarkPlaneAlpha = 0.7f;
constexpr float kOutOfRoomAlpha = 178.0f / 255.0f;

// Whole pixels: half up, then toward zero.
int32_t whole(float value) { return static_cast<int32_t>(value + 0.5f); }

uint32_t blendModeOf(uint32_t priority) {
    return priority == Orvex::Graphics::RenderPriority::kMapAddChip ? Orvex::Graphics::OxTextureBlendModes::kAdditive
                                                                    : Orvex::Graphics::OxTextureBlendModes::kAlphaBlend;
}

Actor::CActor* gamePlayerOf(CDungeon& floor) {
    CGameDataManager* gameData = floor.getServices().getGameContext().getGameDataManager();
    return gameData != nullptr ? gameData->getPlayer().get() : nullptr;
}

}  // namespace

CMapRenderer::CMapRenderer(CDungeon& floor) : floor_(floor) {}

CMapRenderer::~CMapRenderer() = default;

void CMapRenderer::create() {
    darkPlane_.reset();
    Orvex::Graphics::IOrvexRenderer* renderer = floor_.getServices().getRenderer();
    Orvex::Graphics::IOrvexTextureManager* textures = renderer != nullptr ? renderer->getTextureManager() : nullptr;
    Orvex::IO::StreamIO::IOrvexStreamReader& reader = floor_.getServices().getGameContext().getArchiveReader();
    if (textures != nullptr && reader.open(kDarkPlanePath)) {
        if (textures->createTexture(darkPlane_.put(), &reader) < 0) {
            darkPlane_.reset();
        }
        reader.close();
    }
    reset();
}

void CMapRenderer::release() {
    darkPlane_.reset();
    resetView();
    // The floor may be going away after the game's data: follow nobody rather than ask.
    focusActor_ = nullptr;
}

void CMapRenderer::reset() {
    resetView();
    focusActor_ = gamePlayerOf(floor_);
}

void CMapRenderer::resetView() {
    cameraCellX_ = 0;
    cameraCellY_ = 0;
    baseOffset_ = {};
    drawOffset_ = {};
    drawOffsetCopy_ = {};
    screenDrawOffset_ = {};
    darknessEnabled_ = true;
    darkness_ = false;
    playerOnly_ = false;
    temporaryBlind_ = false;
    shake_ = {};
    forceDrawAll_ = false;
}

CMapRenderer::Origin CMapRenderer::getDrawOrigin() const {
    return {whole(baseOffset_.x + drawOffsetCopy_.x + shake_.offset.x + screenDrawOffset_.x),
            whole(baseOffset_.y + drawOffsetCopy_.y + shake_.offset.y + screenDrawOffset_.y)};
}

void CMapRenderer::followFocus() {
    // The focus may have left the floor (and be gone) since a script chose it: only a present
    // participant or the game's player is read; anything else hands the view back to the player.
    Actor::CActor* player = gamePlayerOf(floor_);
    if (focusActor_ == nullptr || (focusActor_ != player && !floor_.getTurnController().contains(focusActor_))) {
        focusActor_ = player;
    }
    // Standing on no cell (between floors, or placed nowhere) the camera stays where it was.
    if (focusActor_ == nullptr || focusActor_->getCell() == nullptr) {
        return;
    }
    cameraCellX_ = focusActor_->getCell()->x - kFocusColumn;
    cameraCellY_ = focusActor_->getCell()->y - kFocusRow;
}

void CMapRenderer::stepShake() {
    if (shake_.amplitudeX == 0.0f && shake_.amplitudeY == 0.0f) {
        shake_.offset = {};
        return;
    }
    shake_.counter += 1;
    // Reached, or passed when a script shortened the interval meanwhile.
    if (shake_.counter < shake_.interval) {
        return;
    }
    shake_.counter = 0;
    if (shake_.random) {
        Orvex::Random::IOrvexRandomGenerator& random = floor_.getServices().getGameContext().getRandomGenerator();
        const float x = Orvex::Random::getRangeReal(random, 1.0f, shake_.amplitudeX);
        shake_.offset = {x, Orvex::Random::getRangeReal(random, 1.0f, shake_.amplitudeY)};
        return;
    }
    shake_.amplitudeX *= -0.5f;
    shake_.amplitudeY *= -0.5f;
    if (std::fabs(shake_.amplitudeX) < 1.0f && std::fabs(shake_.amplitudeY) < 1.0f) {
        shake_ = Shake{shake_.interval, 0, 0.0f, 0.0f, shake_.random, {}};
        return;
    }
    shake_.offset = {shake_.amplitudeX, shake_.amplitudeY};
}

void CMapRenderer::update() {
    followFocus();
    CMap& map = floor_.getMap();
    const auto size = static_cast<float>(map.getCellSize());
    // The focus cell stands in the middle of the screen's width, whatever the cell size.
    const float middle = static_cast<float>(floor_.getScreenWidth()) / 2.0f;
    baseOffset_ = {middle - (static_cast<float>(kFocusColumn) + 0.5f) * size, kBaseOffsetY - size};
    drawOffsetCopy_ = drawOffset_;
    darkness_ = false;
    playerOnly_ = false;
    stepShake();

    const Origin origin = getDrawOrigin();
    for (CMapCell& cell : map.getCells()) {
        cell.setDrawPosition(
            static_cast<float>(whole(static_cast<float>(origin.x) + static_cast<float>(cell.x - cameraCellX_) * size)),
            static_cast<float>(whole(static_cast<float>(origin.y) + static_cast<float>(cell.y - cameraCellY_) * size)));
    }
    const float elapsed = floor_.getServices().getFrameTime();
    for (CMapCell& cell : map.getCells()) {
        // An object's update may move it to another cell; the slots are read afresh each time.
        for (std::size_t slot = 0; slot < CMapCell::kObjectSlots; ++slot) {
            if (CCellObject* object = cell.getObject(slot)) {
                object->update(elapsed);
            }
        }
    }
}

void CMapRenderer::draw() {
    Orvex::Graphics::OxRenderQueue* queue = floor_.getServices().getRenderQueue();
    if (queue == nullptr) {
        return;
    }
    const CMap::ChipLayerList& layers = floor_.getMap().getChipLayers();
    std::vector<std::u16string> names;
    names.reserve(layers.size());
    for (const auto& layer : layers) {
        names.push_back(layer != nullptr ? layer->getLayerName() : std::u16string());
    }
    const std::vector<uint32_t> priorities = ScriptCommand::getChipLayerPriorities(names);
    for (std::size_t i = layers.size(); i-- > 0;) {
        if (const auto layer = layers.at(i); layer != nullptr && layer->isVisible()) {
            queue->add(priorities[i], [this, i] { drawChipLayer(i); });
        }
    }
    queue->add(Orvex::Graphics::RenderPriority::kMapFrontChip, [this] { drawDarkness(); });
    drawObjects();
}

bool CMapRenderer::isCellShown(const Actor::CActor* player, int32_t x, int32_t y) const {
    if (forceDrawAll_ || !darknessEnabled_) {
        return true;
    }
    if (player == nullptr || !floor_.isPointInRoomSight(player, {x, y}, false)) {
        return false;
    }
    if (!darkness_) {
        return true;
    }
    const CMapCell* at = player->getCell();
    return at != nullptr && std::abs(x - at->x) <= 1 && std::abs(y - at->y) <= 1;
}

void CMapRenderer::drawObjects() {
    Orvex::Graphics::OxRenderQueue* queue = floor_.getServices().getRenderQueue();
    Orvex::Graphics::IOrvexRenderer* renderer = floor_.getServices().getRenderer();
    CMap& map = floor_.getMap();
    const Actor::CActor* player = floor_.getPlayer().get();
    const bool onlyPlayer = playerOnly_ || temporaryBlind_;
    uint32_t actorPriority = kActorStart;
    uint32_t itemPriority = kItemStart;
    // From the bottom right up to the top left, so lower and more right-hand objects get the
    // smaller priorities and are drawn over the rest.
    for (int32_t y = lastRow(); y >= firstRow(); --y) {
        if (y < 0 || y >= map.getHeight()) {
            continue;
        }
        actorPriority += kRowStep;
        itemPriority += kRowStep;
        for (int32_t x = lastColumn(); x >= firstColumn(); --x) {
            CMapCell* cell = map.getCell({x, y});
            if (cell == nullptr) {
                continue;
            }
            actorPriority += kColumnStep;
            itemPriority += kColumnStep;
            if (!isCellShown(player, x, y)) {
                continue;
            }
            for (std::size_t slot = 0; slot < CMapCell::kObjectSlots; ++slot) {
                CCellObject* object = cell->getObject(slot);
                if (object == nullptr || !object->isVisible() || (onlyPlayer && object != player)) {
                    continue;
                }
                const int32_t type = object->getCellObjectType();
                if (type == CCellObject::kActor) {
                    object->setDrawPriority(static_cast<int32_t>(actorPriority));
                } else if (type == CCellObject::kItem) {
                    object->setDrawPriority(static_cast<int32_t>(itemPriority));
                }
                object->draw(*queue, renderer);
            }
        }
    }
}

void CMapRenderer::drawChipLayer(std::size_t index) {
    CMap& map = floor_.getMap();
    // Scripts may have removed the layer since it was queued.
    const std::shared_ptr<CChipLayer> held = map.getChipLayers().at(index);
    Orvex::Graphics::IOrvexRenderer* renderer = floor_.getServices().getRenderer();
    if (playerOnly_ || temporaryBlind_ || held == nullptr || !held->isVisible() || renderer == nullptr ||
        renderer->getSpriteDraw() == nullptr) {
        return;
    }
    const CChipLayer& layer = *held;
    Orvex::Graphics::IOrvexSpriteDraw& sprite = *renderer->getSpriteDraw();
    const uint32_t mode = blendModeOf(ScriptCommand::getRenderPriority(layer.getLayerName()));
    sprite.setTextureBlendMode(mode);
    const Origin origin = getDrawOrigin();
    const auto size = static_cast<float>(map.getCellSize());
    const auto& infos = layer.getChipSet().getChipInfos();
    const auto& entries = layer.getEntries();
    for (int32_t r = firstRow(); r <= lastRow(); ++r) {
        for (int32_t c = firstColumn(); c <= lastColumn(); ++c) {
            const CMapCell* cell = map.getCell({c, r});
            const auto at =
                static_cast<std::size_t>(r) * static_cast<std::size_t>(map.getWidth()) + static_cast<std::size_t>(c);
            if (cell == nullptr || at >= entries.size()) {
                continue;
            }
            const ChipEntry& entry = entries[at];
            // Layers read from saves or filled by scripts may name a chip texture the set lacks.
            if (entry.enabled == 0 || entry.chipInfoIndex < 0 ||
                static_cast<std::size_t>(entry.chipInfoIndex) >= infos.size()) {
                continue;
            }
            const std::shared_ptr<CChipInfo> info = infos.at(static_cast<std::size_t>(entry.chipInfoIndex));
            if (info == nullptr || info->getTexture() == nullptr) {
                continue;
            }
            const float left = static_cast<float>(origin.x) + static_cast<float>(c - cameraCellX_) * size;
            const float top = static_cast<float>(origin.y) + static_cast<float>(r - cameraCellY_) * size;
            if (!info->isAutoTile()) {
                const Orvex::Graphics::OxRect destination{left, top, left + size, top + size};
                const float sourceX = static_cast<float>(entry.chipX) * size;
                const float sourceY = static_cast<float>(entry.chipY) * size;
                const Orvex::Graphics::OxRect source{sourceX, sourceY, sourceX + size, sourceY + size};
                sprite.draw(info->getTexture(), &destination, &source);
                continue;
            }
            if (cell->cellType != kCellWall && cell->cellType != kCellHardWall) {
                continue;
            }
            const std::array<bool, 8> open = getWallNeighbours(map, c, r);
            for (int32_t quarter = 0; quarter < 4; ++quarter) {
                const WallRect to = getWallPieceDestRect(quarter, size, left, top);
                WallRect from = getWallPieceSourceRect(pickWallPiece(quarter, open), size);
                // The sheet holds the pieces again lower down for the layers' own looks.
                const bool leftHalf = quarter == 0 || quarter == 2;
                const float shift = mode == Orvex::Graphics::OxTextureBlendModes::kAdditive
                                        ? (leftHalf ? 0.0f : 3.0f * size)
                                        : (leftHalf ? 2.0f * size : 0.0f);
                from.top += shift;
                from.bottom += shift;
                const Orvex::Graphics::OxRect destination{to.left, to.top, to.right, to.bottom};
                const Orvex::Graphics::OxRect source{from.left, from.top, from.right, from.bottom};
                sprite.draw(info->getTexture(), &destination, &source);
            }
        }
    }
    sprite.resetStates();
}

void CMapRenderer::drawDarkness() {
    Orvex::Graphics::IOrvexRenderer* renderer = floor_.getServices().getRenderer();
    if (forceDrawAll_ || !darknessEnabled_ || focusActor_ != gamePlayerOf(floor_) || renderer == nullptr ||
        renderer->getSpriteDraw() == nullptr) {
        return;
    }
    Orvex::Graphics::IOrvexSpriteDraw& sprite = *renderer->getSpriteDraw();
    sprite.setDiffuseColor(1.0f, 1.0f, 1.0f, kDarkPlaneAlpha);
    if (darkness_) {
        if (darkPlane_) {
            sprite.draw(darkPlane_.get(), nullptr, nullptr);
        }
        sprite.resetStates();
        return;
    }
    const Actor::CActor* player = floor_.getPlayer().get();
    const CMapCell* at = player != nullptr ? player->getCell() : nullptr;
    const CRoom* room = at != nullptr ? at->room : nullptr;
    if (room != nullptr) {
        CMap& map = floor_.getMap();
        const auto size = static_cast<float>(map.getCellSize());
        const float black[4] = {0.0f, 0.0f, 0.0f, kOutOfRoomAlpha};
        for (int32_t y = lastRow(); y >= firstRow(); --y) {
            for (int32_t x = lastColumn(); x >= firstColumn(); --x) {
                const CMapCell* cell = map.getCell({x, y});
                const bool nearRoom =
                    x >= room->left - 1 && x <= room->right + 1 && y >= room->top - 1 && y <= room->bottom + 1;
                if (cell == nullptr || cell->room == room || nearRoom) {
                    continue;
                }
                const Orvex::Graphics::OxRect cover{cell->drawX, cell->drawY, cell->drawX + size, cell->drawY + size};
                sprite.drawFill(black, &cover);
            }
        }
    }
    sprite.resetStates();
}

}  // namespace Fenwarrow::Dungeon
