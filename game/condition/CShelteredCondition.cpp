#include "game/condition/CShelteredCondition.h"

#include "engine/graphics/OxRenderQueue.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/system/OxWideFormat.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/services/IGameContext.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Fenwarrow::Actor::Condition {

using Orvex::MossbellLib::OxMADObject;

namespace {

constexpr float kFramesPerSecond = 0.1f;
constexpr uint32_t kSpriteSize = 128;
constexpr float kFrameTime = 1.0f / 60.0f;

}  // namespace

CShelteredCondition::~CShelteredCondition() { releaseShelter(); }

bool CShelteredCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool ok = CCountingCondition::serialize(serializer);
    if (!serializer.isWriting() && isActive()) {
        buildShelter();
    }
    return ok;
}

void CShelteredCondition::onAttach() {
    counter_ = isPlayer() ? kPlayerDuration : kOtherDuration;
    buildShelter();
    setMayAct(false);
}

void CShelteredCondition::onDetach() {
    releaseShelter();
    counter_ = 0;
    getActor().getAnimation()->play();
    for (OxMADObject* sprite : getEquippedSprites()) {
        sprite->play();
    }
    getActor().setMotionLock(0);
    setMayAct(true);
}

void CShelteredCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (--counter_ <= 0) {
        counter_ = 0;
        onDetach();
    } else {
        setMayAct(false);
    }
}

void CShelteredCondition::onDamage() {
    if (isActive() && !isDamageOfCondition(kConditionSheltered)) {
        onDetach();
    }
}

void CShelteredCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

void CShelteredCondition::draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) {
    if (sprite_ == nullptr || sprite_->getState() != OxMADObject::kPlaying) {
        return;
    }
    const auto frame = sprite_->getAnimationDataList().at(sprite_->getCurrentIndex());
    const uint32_t layer = frame != nullptr ? frame->priority : 0;
    const CActor& actor = getActor();
    const float x = actor.getDrawPositionX();
    const float y = actor.getDrawPositionY();
    std::shared_ptr<OxMADObject> sprite = sprite_;
    queue.add(static_cast<uint32_t>(actor.getDrawPriority()) + layer,
              [sprite, renderer, x, y] { sprite->draw(renderer, x, y); });
}

void CShelteredCondition::buildShelter() {
    releaseShelter();
    Dungeon::CDungeon* floor = getDungeon();
    Orvex::Graphics::IOrvexRenderer* renderer = floor != nullptr ? floor->getServices().getRenderer() : nullptr;
    Orvex::Graphics::IOrvexTextureManager* textures = renderer != nullptr ? renderer->getTextureManager() : nullptr;
    auto& reader = getContext().getArchiveReader();
    // Without its picture the shelter still holds the actor; it is only not seen.
    if (textures != nullptr && reader.open(kHollowPath)) {
        Orvex::Graphics::IOrvexTexture* made = nullptr;
        if (textures->createTexture(&made, &reader) >= 0 && made != nullptr) {
            texture_ = Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(made);
        }
        reader.close();
    }
    if (texture_ == nullptr) {
        Orvex::System::debugOutput(Orvex::System::formatWide(u"Shelter picture not loaded: %s\n", kHollowPath));
    } else {
        sprite_ = std::make_shared<OxMADObject>();
        sprite_->addTexture(texture_.get(), kHollowPath);
        sprite_->setFPS(kFramesPerSecond);
        sprite_->setLoopPlay(true);
        sprite_->create(kSpriteSize, kSpriteSize, kFrameTime);
        sprite_->applyPlayRangeDataFromIndex(0);
        if (const auto first = sprite_->getAnimationDataList().at(0)) {
            first->setDrawOffset(CActor::kBodyAnchorX, CActor::kBodyAnchorY);
        }
        sprite_->play();
    }
    getActor().getAnimation()->stop();
    for (OxMADObject* sprite : getEquippedSprites()) {
        sprite->stop();
    }
    getActor().setMotionLock(1);
}

void CShelteredCondition::releaseShelter() {
    if (sprite_ != nullptr) {
        sprite_->clear();
        sprite_.reset();
    }
    texture_.reset();
}

}  // namespace Fenwarrow::Actor::Condition
