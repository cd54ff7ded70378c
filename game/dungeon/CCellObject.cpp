#include "game/dungeon/CCellObject.h"

#include "engine/graphics/OxRenderQueue.h"
#include "game/dungeon/CMapCell.h"

namespace Fenwarrow::Dungeon {

CCellObject::CCellObject() : animation_(std::make_shared<Orvex::MossbellLib::OxMADObject>()) {}

CCellObject::~CCellObject() = default;

void CCellObject::update(float elapsedSeconds) { animation_->update(elapsedSeconds * animationSpeed_); }

void CCellObject::draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) {
    const Orvex::MossbellLib::OxAnimationData* frame = shownFrame(*animation_);
    if (!isVisible() || cell_ == nullptr || frame == nullptr) {
        return;
    }
    const uint32_t priority = static_cast<uint32_t>(drawPriority_) + frame->priority;
    queue.add(priority, [animation = animation_, renderer, x = cell_->drawX, y = cell_->drawY] {
        animation->draw(renderer, x, y);
    });
}

bool CCellObject::getDrawPosition(float& x, float& y) const {
    if (cell_ == nullptr) {
        return false;
    }
    x = cell_->drawX;
    y = cell_->drawY;
    return true;
}

const Orvex::MossbellLib::OxAnimationData* CCellObject::shownFrame(Orvex::MossbellLib::OxMADObject& sprite) {
    if (sprite.getState() == Orvex::MossbellLib::OxMADObject::kStopped) {
        return nullptr;
    }
    return sprite.getAnimationDataList().at(sprite.getCurrentIndex()).get();
}

const char16_t* CCellObject::getCellObjectTypeName(int32_t type) {
    static constexpr const char16_t* kNames[] = {u"Null", u"Actor", u"Item"};
    return type >= 0 && type < 3 ? kNames[type] : nullptr;
}

}  // namespace Fenwarrow::Dungeon
