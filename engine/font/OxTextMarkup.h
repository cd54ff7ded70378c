#pragma once
// The text mark-up: placeholders in braces replaced from a parameter list, and tags in angle
// brackets read one at a time by the font renderer.
//
// Parameter entries understood: std::u16string, const char16_t*, char16_t* (text); int32_t,
// uint32_t (integers); float; Graphics::OxColor. Entries of other types, and indices past the
// end of the list, give empty text in placeholders and leave tags without effect.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <boost/any.hpp>

namespace Orvex::FontLib {

using MarkupParameters = std::vector<boost::any>;

// Replaces every placeholder "{" index [":" format] "}" that has at least one character after
// its "}". Malformed ones, and one that ends the text, stay as written. Replaced text is not
// scanned again for placeholders.
std::u16string expandPlaceholders(const std::u16string& text, const MarkupParameters& parameters);

// One tag as written: "</name>", "<digits...:name>" (or "<digits>"), "<#literal:name>".
struct MarkupTag {
    std::u16string name;
    bool hasIndex = false;
    std::size_t index = 0;
    bool hasLiteral = false;
    std::u16string literal;
    std::size_t end = 0;  // the position just after ">"
};

// Reads the tag starting at `position` (a "<"); empty when none of the forms starts there or the
// text ends before its ">".
std::optional<MarkupTag> parseTagAt(const std::u16string& text, std::size_t position);

// The argument of an indexed tag, or null when the index is past the list.
const boost::any* tagParameter(const MarkupTag& tag, const MarkupParameters& parameters);

// The C conversions the literals use, in the C locale: "%d" (leading blanks, a sign, digits;
// empty when no digit follows), wtof, wtoi, and up to four comma-separated floats.
std::optional<int32_t> scanDecimal(const std::u16string& text, std::size_t position);
float literalToFloat(const std::u16string& text);
int32_t literalToInt(const std::u16string& text);
// Fills up to four values from "%f,%f,%f,%f"; returns how many were read (the rest untouched).
int scanFloatList(const std::u16string& text, float out[4]);

}  // namespace Orvex::FontLib
