#pragma once
// The base of everything that stands on a map cell (actors and items): its name, visibility,
// draw priority and sprite animation.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/animation/OxMADObject.h"

namespace Orvex::Graphics {
class IOrvexRenderer;
class OxRenderQueue;
}  // namespace Orvex::Graphics

namespace Fenwarrow::Dungeon {

class CMapCell;

class CCellObject {
public:
    enum CellObjectType : int32_t { kNull = 0, kActor = 1, kItem = 2 };

    CCellObject();
    virtual ~CCellObject();

    virtual int32_t getCellObjectType() const = 0;
    // Advances the sprite by the frame time scaled by the object's animation speed.
    virtual void update(float elapsedSeconds);
    // Queues the sprite at its cell's draw position, at the object's draw priority plus the
    // current frame's, when the object is visible, stands on a cell and its sprite plays or is
    // paused on a frame. The object and the renderer must outlive the queue's next run.
    virtual void draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer);
    virtual const std::u16string& getName() const { return name_; }
    virtual void setName(const std::u16string& name) { name_ = name; }
    // The folder the object's look is built from when no other is named (an actor's or item's
    // own folder); empty for a bare object.
    virtual std::u16string getFolderPath() const { return {}; }
    // The objects whose look is rebuilt with this one's: the items an actor carries, or those
    // inside a container item.
    virtual std::vector<CCellObject*> getDependentObjects() const { return {}; }

    // The wide name of a cell-object type; null outside 0..2.
    static const char16_t* getCellObjectTypeName(int32_t type);
    // The frame a sprite shows in a draw: its current one while it plays or is paused, null
    // while it is stopped or the frame does not exist.
    static const Orvex::MossbellLib::OxAnimationData* shownFrame(Orvex::MossbellLib::OxMADObject& sprite);

    int32_t getDrawPriority() const { return drawPriority_; }
    void setDrawPriority(int32_t priority) { drawPriority_ = priority; }
    bool isVisible() const { return visible_ != 0; }
    void setVisible(bool visible) { visible_ = visible ? 1 : 0; }
    CMapCell* getCell() const { return cell_; }
    // The draw position of the object's cell; false (x, y untouched) while it stands on none.
    bool getDrawPosition(float& x, float& y) const;
    void setCell(CMapCell* cell) { cell_ = cell; }
    const std::shared_ptr<Orvex::MossbellLib::OxMADObject>& getAnimation() const { return animation_; }
    float getAnimationSpeed() const { return animationSpeed_; }
    void setAnimationSpeed(float speed) { animationSpeed_ = speed; }

private:
    int32_t drawPriority_ = 0;
    uint8_t visible_ = 1;
    std::u16string name_;
    CMapCell* cell_ = nullptr;
    std::shared_ptr<Orvex::MossbellLib::OxMADObject> animation_;
    float animationSpeed_ = 1.0f;
};

}  // namespace Fenwarrow::Dungeon
