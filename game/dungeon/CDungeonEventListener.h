#pragma once
// The six things that happen to an actor on a floor, heard by the objects that hang on it
// (the actor itself, its conditions, the items it carries). Every hook does nothing here.
namespace Fenwarrow::Dungeon {

class CDungeonEventListener {
public:
    virtual ~CDungeonEventListener() = default;
    virtual void onArrival() {}
    virtual void onRoomOut() {}
    virtual void onRoomIn() {}
    virtual void onDamage() {}
    virtual void onDead() {}
    virtual void onChangeFloor() {}
};

}  // namespace Fenwarrow::Dungeon
