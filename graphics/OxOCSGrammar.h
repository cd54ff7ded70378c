#pragma once
// The grammar of command scripts: tokens with optional blanks (white space, line comments,
// block comments) around them. Identifiers are tried before values, so "true" is an identifier;
// a real needs a decimal point; "(", ")" and "," are decoration and give no token.
#include <string>
#include <string_view>

#include "graphics/OxOCSToken.h"

namespace Orvex::Graphics {

class OxOCSGrammar {
public:
    // Tokens go to `tokens`; quoted strings are gathered in `buffer` while they are read.
    OxOCSGrammar(OxOCSTokenList& tokens, std::string& buffer) : tokens_(tokens), buffer_(buffer) {}
    // True when the whole text was consumed.
    bool parse(std::string_view text);

private:
    OxOCSTokenList& tokens_;
    std::string& buffer_;
};

}  // namespace Orvex::Graphics
