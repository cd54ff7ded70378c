#include "platform/gpux/XFileSyntax.h"

#include <cctype>
#include <charconv>

namespace Platform::Gpux::XSyntax {
namespace {

// Nesting deeper than this is refused rather than followed down the stack.
constexpr int kMaxDepth = 64;

enum class TokenKind { End, Name, Number, String, Guid, Open, Close, Separator, Bad };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;
    double number = 0;
};

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'; }
bool isNumberChar(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token next() {
        skipBlanks();
        if (pos_ >= text_.size()) {
            return {};
        }
        const size_t start = pos_;
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            return {TokenKind::Open, text_.substr(start, 1)};
        }
        if (c == '}') {
            ++pos_;
            return {TokenKind::Close, text_.substr(start, 1)};
        }
        if (c == ';' || c == ',') {
            ++pos_;
            return {TokenKind::Separator, text_.substr(start, 1)};
        }
        if (c == '"') {
            const size_t close = text_.find('"', pos_ + 1);
            if (close == std::string_view::npos) {
                pos_ = text_.size();
                return {TokenKind::Bad, "unterminated string"};
            }
            pos_ = close + 1;
            return {TokenKind::String, text_.substr(start + 1, close - start - 1)};
        }
        if (c == '<') {
            const size_t close = text_.find('>', pos_ + 1);
            if (close == std::string_view::npos) {
                pos_ = text_.size();
                return {TokenKind::Bad, "unterminated identifier in angle brackets"};
            }
            pos_ = close + 1;
            return {TokenKind::Guid, text_.substr(start, close + 1 - start)};
        }
        if (isNameStart(c)) {
            while (pos_ < text_.size() && isNameChar(text_[pos_])) {
                ++pos_;
            }
            return {TokenKind::Name, text_.substr(start, pos_ - start)};
        }
        if (isNumberChar(c)) {
            while (pos_ < text_.size() && isNumberChar(text_[pos_])) {
                ++pos_;
            }
            Token t{TokenKind::Number, text_.substr(start, pos_ - start)};
            const char* first = t.text.data();
            const char* last = first + t.text.size();
            if (*first == '+') {
                ++first;
            }
            const auto [end, ec] = std::from_chars(first, last, t.number);
            if (ec == std::errc::result_out_of_range) {
                return {TokenKind::Bad, "number out of range"};
            }
            if (ec != std::errc() || end != last) {
                return {TokenKind::Bad, "malformed number"};
            }
            return t;
        }
        ++pos_;
        return {TokenKind::Bad, "unexpected character"};
    }

    size_t line() const {
        size_t n = 1;
        for (size_t i = 0; i < pos_ && i < text_.size(); ++i) {
            n += text_[i] == '\n';
        }
        return n;
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else if (c == '#' || (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/')) {
                while (pos_ < text_.size() && text_[pos_] != '\n') {
                    ++pos_;
                }
            } else {
                return;
            }
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
};

class Parser {
public:
    Parser(std::string_view body, std::string* error) : lexer_(body), error_(error) { advance(); }

    bool document(std::vector<std::unique_ptr<Node>>* objects) {
        while (current_.kind != TokenKind::End) {
            if (current_.kind != TokenKind::Name) {
                return fail("expected a data object");
            }
            if (current_.text == "template") {
                if (!skipTemplate()) {
                    return false;
                }
                continue;
            }
            auto node = std::make_unique<Node>();
            if (!object(node.get(), 0)) {
                return false;
            }
            objects->push_back(std::move(node));
        }
        return true;
    }

private:
    void advance() { current_ = lexer_.next(); }

    bool fail(std::string_view what) {
        if (current_.kind == TokenKind::Bad) {
            what = current_.text;
        }
        *error_ = std::string(what) + " at line " + std::to_string(lexer_.line());
        return false;
    }

    bool skipTemplate() {
        advance();  // "template"
        if (current_.kind != TokenKind::Name) {
            return fail("expected a template name");
        }
        advance();
        if (current_.kind != TokenKind::Open) {
            return fail("expected '{' after a template name");
        }
        for (advance(); current_.kind != TokenKind::Close; advance()) {
            // A template's member list ("[...]", array bounds) is not data; only its end matters.
            if (current_.kind == TokenKind::End || current_.kind == TokenKind::Open) {
                return fail("unterminated template");
            }
        }
        advance();
        return true;
    }

    // Current token: the object's type name.
    bool object(Node* node, int depth) {
        if (depth > kMaxDepth) {
            return fail("objects nested too deeply");
        }
        node->type = current_.text;
        advance();
        if (current_.kind == TokenKind::Name) {
            node->name = current_.text;
            advance();
        }
        if (current_.kind != TokenKind::Open) {
            return fail("expected '{' after a data object's type");
        }
        advance();
        if (current_.kind == TokenKind::Guid) {
            advance();
        }
        while (current_.kind != TokenKind::Close) {
            switch (current_.kind) {
                case TokenKind::Number:
                    node->values.emplace_back(current_.number);
                    advance();
                    break;
                case TokenKind::String:
                    node->values.emplace_back(std::string(current_.text));
                    advance();
                    break;
                case TokenKind::Separator:
                    advance();
                    break;
                case TokenKind::Open:
                    if (!reference(node)) {
                        return false;
                    }
                    break;
                case TokenKind::Name: {
                    auto child = std::make_unique<Node>();
                    if (!object(child.get(), depth + 1)) {
                        return false;
                    }
                    node->children.push_back(std::move(child));
                    break;
                }
                default:
                    return fail("unterminated data object " + node->type);
            }
        }
        advance();
        return true;
    }

    // "{ name }" or "{ name <guid> }" or "{ <guid> }".
    bool reference(Node* node) {
        advance();
        std::string name;
        if (current_.kind == TokenKind::Name) {
            name = current_.text;
            advance();
        }
        if (current_.kind == TokenKind::Guid) {
            advance();
        }
        if (current_.kind != TokenKind::Close) {
            return fail("malformed reference");
        }
        advance();
        node->references.push_back(std::move(name));
        return true;
    }

    Lexer lexer_;
    std::string* error_;
    Token current_;
};

}  // namespace

bool parseDocument(std::string_view text, std::vector<std::unique_ptr<Node>>* objects, std::string* error) {
    if (text.size() < 16 || text.substr(0, 4) != "xof ") {
        *error = "not a .x file (no \"xof \" header)";
        return false;
    }
    const std::string_view format = text.substr(8, 4);
    if (format == "bin " || format == "tzip" || format == "bzip") {
        *error = "binary and compressed .x files are not supported, only text";
        return false;
    }
    if (format != "txt ") {
        *error = "unknown .x format \"" + std::string(format) + "\"";
        return false;
    }
    Parser parser(text.substr(16), error);
    return parser.document(objects);
}

}  // namespace Platform::Gpux::XSyntax
