#pragma once
// Hears that a line was added to the dungeon's message log.
namespace Fenwarrow::Dungeon {

class CLogEventListener {
public:
    virtual ~CLogEventListener() = default;
    virtual void onLog() = 0;
};

}  // namespace Fenwarrow::Dungeon
