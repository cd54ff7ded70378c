#include "engine/system/OxStringConvert.h"

#include "platform/kernel/CodePage.h"

namespace Orvex::System {

bool toWideString(const std::string& in, std::u16string& out) { return Platform::Kernel::multiByteToWide(in, out); }

bool toMultiByteString(const std::u16string& in, std::string& out) {
    return Platform::Kernel::wideToMultiByte(in, out);
}

std::u16string widen(std::string_view in) {
    std::u16string out;
    if (Platform::Kernel::multiByteToWide(in, out)) {
        return out;
    }
    out.clear();
    for (const char c : in) {
        out.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'?');
    }
    return out;
}

std::string narrow(std::u16string_view in) {
    std::string out;
    if (Platform::Kernel::wideToMultiByte(in, out)) {
        return out;
    }
    out.clear();
    for (const char16_t c : in) {
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

}  // namespace Orvex::System
