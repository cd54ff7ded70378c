#pragma once
#include <string>
#include <vector>

#include "tools/fontbaker/FontBaker.h"

namespace Orvex::Tools::FontBaker {

// The usage text printed with every command-line error.
extern const char* const kUsage;

// Parses the arguments after the program name into bake options, the character set built
// from --chars and --charset-file (UTF-8) plus printable ASCII unless --no-ascii. Throws
// BakeError for an unknown option, a missing or malformed value, or a bad character list.
BakeOptions parseCommandLine(const std::vector<std::string>& args);

}  // namespace Orvex::Tools::FontBaker
