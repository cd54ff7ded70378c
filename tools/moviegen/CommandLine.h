#pragma once
#include <string>
#include <vector>

#include "tools/moviegen/MovieOptions.h"

namespace Orvex::Tools::MovieGen {

// The usage text printed with every command-line error.
extern const char* const kUsage;

// Parses the arguments after the program name. Throws MovieError for an unknown option, a
// missing or malformed value, or a missing --output; ranges are checked by checkOptions.
MovieOptions parseCommandLine(const std::vector<std::string>& args);

}  // namespace Orvex::Tools::MovieGen
