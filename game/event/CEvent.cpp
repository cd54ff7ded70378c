#include "game/event/CEvent.h"

#include "game/event/CEventPage.h"

namespace Fenwarrow::Event {

void CEvent::addPage(const std::shared_ptr<CEventPage>& page) {
    if (page != nullptr) {
        pages_.push_back(page);
    }
}

bool CEvent::update() {
    if (pages_.empty()) {
        return false;
    }
    std::size_t index = 0;
    while (index < pages_.size()) {
        const std::shared_ptr<CEventPage> page = pages_[index];
        page->update();
        if (page->isDeleted()) {
            pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(index));
        } else {
            ++index;
        }
    }
    return true;
}

}  // namespace Fenwarrow::Event
