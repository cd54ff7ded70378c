#pragma once
// Parses a command script into a flat token list, closed by an end-of-script token.
#include <cstdint>
#include <string>

#include "graphics/OxOCSToken.h"

namespace Orvex::Graphics {

class OxOCSParser {
public:
    // 0, or 0x80000008 when the text is not a script (the token list is then empty).
    int32_t parse(const std::string& text);
    const OxOCSTokenList& getTokens() const { return tokens_; }

private:
    OxOCSTokenList tokens_;
    std::string buffer_;
};

}  // namespace Orvex::Graphics
