#pragma once
// Named script commands and the walk that runs a token list against an ordered list of sets.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/OxOCSToken.h"

namespace Orvex::Graphics {

class OxGSCommandSet {
public:
    // The unsigned, real and string tokens of a statement, in order.
    using Arguments = std::vector<OxOCSToken>;
    using Handler = std::function<void(const Arguments&)>;

    virtual ~OxGSCommandSet() = default;
    // The first command of exactly that name (case-sensitive), or null.
    const Handler* find(std::string_view name) const;

protected:
    void addCommand(std::string name, Handler handler);

private:
    struct Command {
        std::string name;
        Handler handler;
    };
    std::vector<Command> commands_;
};

// Runs every statement whose identifier names a command of one of the sets (the first set that
// has it wins): the values up to the next ";" are its arguments. Other tokens are skipped; a
// statement cut off by the end of the script does not run.
void runOCSScript(const OxOCSTokenList& tokens, const std::vector<const OxGSCommandSet*>& sets);

}  // namespace Orvex::Graphics
