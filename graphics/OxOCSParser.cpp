#include "graphics/OxOCSParser.h"

#include "graphics/OxOCSGrammar.h"

namespace Orvex::Graphics {

int32_t OxOCSParser::parse(const std::string& text) {
    tokens_.clear();
    OxOCSGrammar grammar(tokens_, buffer_);
    if (!grammar.parse(text)) {
        tokens_.clear();
        return static_cast<int32_t>(0x80000008u);
    }
    tokens_.push_back({OxOCSToken::Kind::EndOfScript, {}});
    return 0;
}

}  // namespace Orvex::Graphics
