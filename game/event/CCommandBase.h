#pragma once
// One step of a scripted event page: a native object that does one thing over one or more
// frames. A page steps its commands in order and waits on the one that stays running.
#include <any>
#include <cstdint>
#include <map>
#include <string>

namespace Fenwarrow::Event {
class CEventPage;
}

namespace Fenwarrow::Event::Command {

// The named set-up parameters a script hands a command: each value is a bool, a void*, a float
// or a std::u16string.
using CommandParameters = std::map<std::u16string, std::any>;

class CCommandBase {
public:
    enum class CommandStatus : uint32_t { kIdle = 0, kRunning = 1, kDone = 2 };

    CCommandBase() = default;
    CCommandBase(const CCommandBase&) = delete;
    CCommandBase& operator=(const CCommandBase&) = delete;
    virtual ~CCommandBase() = default;

    // The per-frame work of a running command.
    virtual void execute(CEventPage& page);
    // Configures the command; a method the command does not know is ignored.
    virtual void setup(const std::u16string& method, const CommandParameters& parameters);
    virtual void begin() {}
    virtual void end() {}

    // One step of the state cycle: an idle command begins, a running one executes, and a
    // command found done ends and goes back to idle. A command done inside its first execute
    // runs begin, execute and end in one step.
    void run(CEventPage& page);

    CommandStatus getStatus() const { return status_; }
    void setStatus(CommandStatus status) { status_ = status; }

protected:
    // The value of the key when it holds a T; null when the key is missing or holds another
    // kind, so that a script's wrong table leaves the command as it was.
    template <typename T>
    static const T* findParameter(const CommandParameters& parameters, const char16_t* key) {
        const auto found = parameters.find(key);
        return found != parameters.end() ? std::any_cast<T>(&found->second) : nullptr;
    }

private:
    CommandStatus status_ = CommandStatus::kIdle;
};

}  // namespace Fenwarrow::Event::Command
