#include "game/event/CEventLayer.h"

#include "game/event/CCommandBase.h"
#include "game/event/CEvent.h"
#include "game/event/CEventPage.h"

namespace Fenwarrow::Event {

CEventLayer::~CEventLayer() { clear(); }

bool CEventLayer::setup() {
    alive = true;
    return true;
}

void CEventLayer::clear() {
    // Move the list out first: a destroyed command must not find itself half-erased.
    std::vector<std::shared_ptr<CEvent>> events;
    events.swap(events_);
}

void CEventLayer::update() {
    std::size_t index = 0;
    while (index < events_.size()) {
        const std::shared_ptr<CEvent> event = events_[index];
        if (event->update()) {
            ++index;
        } else {
            events_.erase(events_.begin() + static_cast<std::ptrdiff_t>(index));
        }
    }
}

void CEventLayer::draw() {
    for (const auto& event : events_) {
        event->draw();
    }
}

void CEventLayer::addEvent(const std::shared_ptr<CEvent>& event) {
    if (event != nullptr) {
        events_.push_back(event);
    }
}

CEvent* CEventLayer::findEvent(const void* address) const {
    for (const auto& event : events_) {
        if (event.get() == address) {
            return event.get();
        }
    }
    return nullptr;
}

CEventPage* CEventLayer::findPage(const void* address) const {
    for (const auto& event : events_) {
        for (const auto& page : event->getPages()) {
            if (page.get() == address) {
                return page.get();
            }
        }
    }
    return nullptr;
}

Command::CCommandBase* CEventLayer::findCommand(const void* address) const {
    for (const auto& event : events_) {
        for (const auto& page : event->getPages()) {
            for (const auto& command : page->getCommands()) {
                if (command.get() == address) {
                    return command.get();
                }
            }
        }
    }
    return nullptr;
}

}  // namespace Fenwarrow::Event
