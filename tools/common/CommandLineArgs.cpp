#include "tools/common/CommandLineArgs.h"

#include <charconv>

namespace Orvex::Tools {

bool isHelpRequest(const std::vector<std::string>& args) {
    return args.size() == 1 && (args[0] == "--help" || args[0] == "-h");
}

std::optional<uint32_t> parseWholeNumber(const std::string& text) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string notWholeNumberMessage(const std::string& option, const std::string& text) {
    return "option " + option + ": \"" + text + "\" is not a whole number";
}

std::string missingValueMessage(const std::string& argument) {
    return argument.rfind("--", 0) == 0 ? "option " + argument + " needs a value"
                                        : "unexpected argument \"" + argument + "\"";
}

}  // namespace Orvex::Tools
