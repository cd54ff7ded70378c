#pragma once
// A scripted event: pages that run side by side, one step each per frame, until every page
// has been deleted.
#include <memory>
#include <vector>

namespace Fenwarrow::Event {

class CEventPage;

class CEvent {
public:
    CEvent() = default;
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;
    virtual ~CEvent() = default;

    // Steps every page and drops the deleted ones; false when the event had no page left
    // (it is finished). An event whose last page goes in this pass still answers true.
    bool update();
    // Events draw nothing themselves: what commands show goes through the screen effects.
    void draw() {}

    void addPage(const std::shared_ptr<CEventPage>& page);
    const std::vector<std::shared_ptr<CEventPage>>& getPages() const { return pages_; }

private:
    std::vector<std::shared_ptr<CEventPage>> pages_;
};

}  // namespace Fenwarrow::Event
