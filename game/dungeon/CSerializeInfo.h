#pragma once
// The identities that name cell objects inside one saved floor. The writer registers each
// object under the identity it writes for it; the reader registers each restored object under
// the identity it read, so the cells' object slots can be linked back.
#include <cstdint>
#include <memory>
#include <vector>

namespace Fenwarrow::Dungeon {

class CCellObject;

class CSerializeInfo {
public:
    void setPlayerIdentity(uint32_t identity) { playerIdentity_ = identity; }
    uint32_t getPlayerIdentity() const { return playerIdentity_; }

    void addActor(uint32_t identity, std::shared_ptr<CCellObject> actor);
    void addItem(uint32_t identity, std::shared_ptr<CCellObject> item);
    // Actors are searched first, then items; null when no object has that identity (or for 0,
    // which names an empty slot).
    CCellObject* findCellObject(uint32_t identity) const;
    // The identity registered for the object; 0 when it has none.
    uint32_t findIdentity(const CCellObject* object) const;

private:
    struct Entry {
        uint32_t identity;
        std::shared_ptr<CCellObject> object;
    };

    uint32_t playerIdentity_ = 0;
    std::vector<Entry> actors_;
    std::vector<Entry> items_;
};

}  // namespace Fenwarrow::Dungeon
