#pragma once
// The scene layer that steps every running scripted event once per frame and drops the events
// that have nothing left to do.
#include <memory>
#include <vector>

#include "game/layer/CSceneLayer.h"

namespace Fenwarrow::Event {

class CEvent;
class CEventPage;
namespace Command {
class CCommandBase;
}

class CEventLayer : public SceneLayer::CSceneLayer {
public:
    ~CEventLayer() override;

    // Keeps the layer on the stack.
    bool setup() override;
    void clear() override;
    void update() override;
    void draw() override;

    void addEvent(const std::shared_ptr<CEvent>& event);
    const std::vector<std::shared_ptr<CEvent>>& getEvents() const { return events_; }

    // The running event, page or command at that address, or null: scripts hold these as plain
    // handles that may outlive the object.
    CEvent* findEvent(const void* address) const;
    CEventPage* findPage(const void* address) const;
    Command::CCommandBase* findCommand(const void* address) const;

private:
    std::vector<std::shared_ptr<CEvent>> events_;
};

}  // namespace Fenwarrow::Event
