#pragma once
// The generic syntax of text .x files: data objects with a type, an optional name, their flat
// list of numbers and strings, references to other objects and nested objects.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace Platform::Gpux::XSyntax {

struct Node {
    std::string type;
    std::string name;
    std::vector<std::variant<double, std::string>> values;
    std::vector<std::string> references;
    std::vector<std::unique_ptr<Node>> children;
};

// Parses the text after checking its 16-byte header; top-level templates are skipped.
bool parseDocument(std::string_view text, std::vector<std::unique_ptr<Node>>* objects, std::string* error);

}  // namespace Platform::Gpux::XSyntax
