#include "game/event/CEventPage.h"

#include "game/event/CCommandBase.h"

namespace Fenwarrow::Event {

void CEventPage::addCommand(const std::shared_ptr<Command::CCommandBase>& command) {
    if (command != nullptr) {
        commands_.push_back(command);
    }
}

void CEventPage::update() {
    if (commands_.empty()) {
        return;
    }
    if (currentIndex_ >= commands_.size()) {
        currentIndex_ = 0;
        return;
    }
    for (uint32_t i = currentIndex_; i < commands_.size(); ++i) {
        currentIndex_ = i;
        // A command may not outlive its own step even if the page drops it meanwhile.
        const std::shared_ptr<Command::CCommandBase> command = commands_[i];
        command->run(*this);
        if (command->getStatus() == Command::CCommandBase::CommandStatus::kRunning) {
            return;
        }
    }
    currentIndex_ = 0;
}

}  // namespace Fenwarrow::Event
