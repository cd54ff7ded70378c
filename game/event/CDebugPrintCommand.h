#pragma once
// Keeps a message for whoever debugs an event script; it shows nothing and finishes at once.
#include <string>

#include "game/event/CCommandBase.h"

namespace Fenwarrow::Event::Command {

class CDebugPrintCommand : public CCommandBase {
public:
    void execute(CEventPage& page) override;
    // "setMessage" takes the text under "message".
    void setup(const std::u16string& method, const CommandParameters& parameters) override;

    const std::u16string& getMessage() const { return message_; }

private:
    std::u16string message_;
};

}  // namespace Fenwarrow::Event::Command
