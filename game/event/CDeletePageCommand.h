#pragma once
// Marks its own page for removal; the event drops the page when the page's step returns.
#include "game/event/CCommandBase.h"

namespace Fenwarrow::Event::Command {

class CDeletePageCommand : public CCommandBase {
public:
    void execute(CEventPage& page) override;
};

}  // namespace Fenwarrow::Event::Command
