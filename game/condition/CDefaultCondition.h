#pragma once
// The condition every actor always has (type 0): it watches which room the actor stands in and
// turns room changes into the actor's "onRoomIn" and "onRoomOut" events. For the player it also
// switches the music in monster houses and shops, announces a monster house, and turns the
// player into a robber who leaves a shop owing.
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Dungeon {
class CRoom;
}

namespace Fenwarrow::Actor::Condition {

class CDefaultCondition : public CConditionBase {
public:
    static constexpr int32_t kMonsterHouse = 1;
    static constexpr int32_t kShop = 2;
    static constexpr const char16_t* kRobberMusic = u"BGM/bgm017.ogg";
    static constexpr const char16_t* kRobberStory = u"Actor/NonPlayer/VNDR/Event/Robber.lua";

    using CConditionBase::CConditionBase;

    // Only the busy flag is kept; the remembered room is forgotten either way, so the next
    // check treats the actor as newly arrived.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return kConditionDefault; }
    bool isActive() const override { return true; }
    void onExitTurn() override;
    void onArrival() override;
    void onRoomIn() override;
    void onRoomOut() override;

    const Dungeon::CRoom* getLastRoom() const { return lastRoom_; }

private:
    void checkRoom();
    void enterRoom(Dungeon::CRoom& room);
    void leaveShop(Dungeon::CRoom& shopRoom);
    bool playMusic(const std::u16string& path);

    Dungeon::CRoom* lastRoom_ = nullptr;
    // Set while a check runs, so the room events it raises do not start another.
    bool busy_ = false;
};

}  // namespace Fenwarrow::Actor::Condition
