#include "game/dungeon/CCellObject.h"

namespace Fenwarrow::Dungeon {

CCellObject::CCellObject() : animation_(std::make_shared<Orvex::MossbellLib::OxMADObject>()) {}

CCellObject::~CCellObject() = default;

const char16_t* CCellObject::getCellObjectTypeName(int32_t type) {
    static constexpr const char16_t* kNames[] = {u"Null", u"Actor", u"Item"};
    return type >= 0 && type < 3 ? kNames[type] : nullptr;
}

}  // namespace Fenwarrow::Dungeon
