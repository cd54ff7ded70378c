#pragma once
// An ordered list of commands that runs from the first to the last, waiting on a command that
// stays running, and starts again until a command marks the page deleted.
#include <cstdint>
#include <memory>
#include <vector>

namespace Fenwarrow::Event {

namespace Command {
class CCommandBase;
}

class CEventPage {
public:
    CEventPage() = default;
    CEventPage(const CEventPage&) = delete;
    CEventPage& operator=(const CEventPage&) = delete;
    virtual ~CEventPage() = default;

    void update();

    void addCommand(const std::shared_ptr<Command::CCommandBase>& command);
    const std::vector<std::shared_ptr<Command::CCommandBase>>& getCommands() const { return commands_; }
    bool isDeleted() const { return deleted_; }
    void setDeleted(bool deleted) { deleted_ = deleted; }
    uint32_t getCurrentIndex() const { return currentIndex_; }
    void setCurrentIndex(uint32_t index) { currentIndex_ = index; }

private:
    std::vector<std::shared_ptr<Command::CCommandBase>> commands_;
    uint32_t currentIndex_ = 0;
    bool deleted_ = false;
};

}  // namespace Fenwarrow::Event
