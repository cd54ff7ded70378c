#include "game/dungeon/CSerializeInfo.h"

namespace Fenwarrow::Dungeon {

void CSerializeInfo::addActor(uint32_t identity, std::shared_ptr<CCellObject> actor) {
    actors_.push_back({identity, std::move(actor)});
}

void CSerializeInfo::addItem(uint32_t identity, std::shared_ptr<CCellObject> item) {
    items_.push_back({identity, std::move(item)});
}

CCellObject* CSerializeInfo::findCellObject(uint32_t identity) const {
    if (identity == 0) {
        return nullptr;
    }
    for (const std::vector<Entry>* table : {&actors_, &items_}) {
        for (const Entry& entry : *table) {
            if (entry.identity == identity) {
                return entry.object.get();
            }
        }
    }
    return nullptr;
}

uint32_t CSerializeInfo::findIdentity(const CCellObject* object) const {
    if (object == nullptr) {
        return 0;
    }
    for (const std::vector<Entry>* table : {&actors_, &items_}) {
        for (const Entry& entry : *table) {
            if (entry.object.get() == object) {
                return entry.identity;
            }
        }
    }
    return 0;
}

}  // namespace Fenwarrow::Dungeon
