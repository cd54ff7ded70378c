#pragma once
// What the script host and the "Lua" module take from the game: the archive reader scripts are
// read from and the random generator the game rules draw from. The game manager provides them;
// the object behind this interface must outlive every controller and module that uses it.
#include "engine/io/OxStreamIO.h"
#include "engine/random/IOrvexRandomGenerator.h"

namespace Fenwarrow {

class IScriptServices {
public:
    virtual ~IScriptServices() = default;

    // The reader of scripts, textures and sound effects (the first of the game's three readers).
    virtual Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() = 0;
    // The generator shared by the native game rules and the scripts.
    virtual Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() = 0;
};

}  // namespace Fenwarrow
