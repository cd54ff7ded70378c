#include "graphics/OxGSCommandSet.h"

namespace Orvex::Graphics {

const OxGSCommandSet::Handler* OxGSCommandSet::find(std::string_view name) const {
    for (const Command& command : commands_) {
        if (command.name == name) {
            return &command.handler;
        }
    }
    return nullptr;
}

void OxGSCommandSet::addCommand(std::string name, Handler handler) {
    commands_.push_back({std::move(name), std::move(handler)});
}

namespace {

const OxGSCommandSet::Handler* lookUp(const std::vector<const OxGSCommandSet*>& sets, const std::string& name) {
    for (const OxGSCommandSet* set : sets) {
        if (const auto* handler = set->find(name)) {
            return handler;
        }
    }
    return nullptr;
}

}  // namespace

void runOCSScript(const OxOCSTokenList& tokens, const std::vector<const OxGSCommandSet*>& sets) {
    using Kind = OxOCSToken::Kind;
    size_t i = 0;
    while (i < tokens.size() && tokens[i].kind != Kind::EndOfScript) {
        const OxOCSToken& token = tokens[i++];
        if (token.kind != Kind::Identifier) {
            continue;
        }
        const auto* handler = lookUp(sets, std::get<std::string>(token.value));
        if (!handler) {
            continue;
        }
        OxGSCommandSet::Arguments arguments;
        while (i < tokens.size() && tokens[i].kind != Kind::StatementEnd && tokens[i].kind != Kind::EndOfScript) {
            const Kind kind = tokens[i].kind;
            if (kind == Kind::Unsigned || kind == Kind::Real || kind == Kind::String) {
                arguments.push_back(tokens[i]);
            }
            ++i;
        }
        if (i >= tokens.size() || tokens[i].kind == Kind::EndOfScript) {
            return;
        }
        ++i;  // the statement end
        (*handler)(arguments);
    }
}

}  // namespace Orvex::Graphics
