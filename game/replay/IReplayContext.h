#pragma once
// What the replay code reaches of the running game. The game manager provides it and must
// outlive the replay controller.
#include <string>

namespace Orvex::Random {
class IOrvexRandomGenerator;
}
namespace Orvex::InputSystem {
class OxVirtualKey;
}

namespace Fenwarrow::Replay {

class IReplayContext {
public:
    virtual ~IReplayContext() = default;
    // The game's random generator, which a new replay seeds.
    virtual Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() = 0;
    // The player name of the game settings.
    virtual std::u16string getPlayerName() = 0;
    // The game data's play-time counter, in seconds.
    virtual float getPlayTime() = 0;
    // The first live key set, whatever the replay mode.
    virtual Orvex::InputSystem::OxVirtualKey& getLiveVirtualKey() = 0;
};

}  // namespace Fenwarrow::Replay
