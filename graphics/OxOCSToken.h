#pragma once
// One token of a command script, in script order.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace Orvex::Graphics {

struct OxOCSToken {
    enum class Kind { EndOfScript, Identifier, BlockBegin, BlockEnd, StatementEnd, Unsigned, Real, String };
    Kind kind = Kind::EndOfScript;
    // The text of an identifier or string, the number of an unsigned or real; nothing otherwise.
    std::variant<std::monostate, std::string, uint32_t, float> value;
    bool operator==(const OxOCSToken&) const = default;
};

using OxOCSTokenList = std::vector<OxOCSToken>;

}  // namespace Orvex::Graphics
