#include "game/event/CDeletePageCommand.h"

#include "game/event/CEventPage.h"

namespace Fenwarrow::Event::Command {

void CDeletePageCommand::execute(CEventPage& page) {
    page.setDeleted(true);
    setStatus(CommandStatus::kDone);
}

}  // namespace Fenwarrow::Event::Command
