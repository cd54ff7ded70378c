#pragma once
// The listeners of one actor, in the order they were added; each broadcast reaches them first
// added first. The holder does not own its listeners.
#include <list>

#include "game/dungeon/CDungeonEventListener.h"

namespace Fenwarrow::Dungeon {

class CDungeonEventHolder {
public:
    virtual ~CDungeonEventHolder() = default;

    void addListener(CDungeonEventListener* listener) { listeners_.push_back(listener); }
    // Removes every entry of the listener; a listener must not be removed during a broadcast.
    void removeListener(CDungeonEventListener* listener) { listeners_.remove(listener); }
    const std::list<CDungeonEventListener*>& getListeners() const { return listeners_; }

    void onArrival() { broadcast(&CDungeonEventListener::onArrival); }
    void onRoomOut() { broadcast(&CDungeonEventListener::onRoomOut); }
    void onRoomIn() { broadcast(&CDungeonEventListener::onRoomIn); }
    void onDamage() { broadcast(&CDungeonEventListener::onDamage); }
    void onDead() { broadcast(&CDungeonEventListener::onDead); }
    void onChangeFloor() { broadcast(&CDungeonEventListener::onChangeFloor); }

private:
    // The successor is read after each call, so a listener appended during the walk is reached.
    void broadcast(void (CDungeonEventListener::*event)()) {
        for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
            ((*it)->*event)();
        }
    }

    std::list<CDungeonEventListener*> listeners_;
};

}  // namespace Fenwarrow::Dungeon
