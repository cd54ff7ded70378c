#include "game/event/CCommandBase.h"

namespace Fenwarrow::Event::Command {

void CCommandBase::execute(CEventPage&) {}

void CCommandBase::setup(const std::u16string&, const CommandParameters&) {}

void CCommandBase::run(CEventPage& page) {
    for (;;) {
        switch (status_) {
            case CommandStatus::kIdle:
                begin();
                status_ = CommandStatus::kRunning;
                break;
            case CommandStatus::kRunning:
                execute(page);
                if (status_ != CommandStatus::kDone) {
                    return;
                }
                break;
            case CommandStatus::kDone:
                end();
                status_ = CommandStatus::kIdle;
                return;
            default:
                return;
        }
    }
}

}  // namespace Fenwarrow::Event::Command
