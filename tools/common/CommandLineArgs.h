#pragma once
// Argument helpers shared by the command-line tools. Each tool reports errors with its own
// exception type, built from a message: the templates take that type.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Orvex::Tools {

// True for a lone --help or -h.
bool isHelpRequest(const std::vector<std::string>& args);

// The decimal whole number `text` holds in full, or nothing.
std::optional<uint32_t> parseWholeNumber(const std::string& text);

// "option X: "T" is not a whole number".
std::string notWholeNumberMessage(const std::string& option, const std::string& text);

// For an argument with nothing after it: "option X needs a value" when it looks like an option,
// "unexpected argument "X"" otherwise.
std::string missingValueMessage(const std::string& argument);

// The value of option `args[index]` (the next argument), moving `index` onto it.
template <class Error>
const std::string& takeOptionValue(const std::vector<std::string>& args, size_t& index) {
    if (index + 1 >= args.size()) {
        throw Error(missingValueMessage(args[index]));
    }
    return args[++index];
}

// `text` as the whole number given to `option`.
template <class Error>
uint32_t parseNumberOption(const std::string& option, const std::string& text) {
    const std::optional<uint32_t> value = parseWholeNumber(text);
    if (!value) {
        throw Error(notWholeNumberMessage(option, text));
    }
    return *value;
}

}  // namespace Orvex::Tools
