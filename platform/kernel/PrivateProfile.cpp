#include "platform/kernel/PrivateProfile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/kernel/CodePage.h"

namespace Platform::Kernel {
namespace {

std::string osPath(std::u16string_view path) {
    std::string narrow;
    if (!wideToMultiByte(path, narrow)) {
        return {};
    }
    for (char& c : narrow) {
        if (c == '\\') c = '/';
    }
    return narrow;
}

char16_t lowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

std::u16string_view trim(std::u16string_view text) {
    const auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Decodes the file's bytes: UTF-16 (either byte order) behind its byte-order mark, else UTF-8
// (mark optional). Bytes that are not UTF-8 keep their ASCII part; the rest reads as '?'.
std::u16string decode(const std::string& bytes) {
    const auto byteAt = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
        const size_t low = byteAt(0) == 0xFF ? 0 : 1;  // the offset of each unit's low byte
        std::u16string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<char16_t>(byteAt(i + low) | (byteAt(i + 1 - low) << 8)));
        }
        return text;
    }
    std::string_view body(bytes);
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    std::u16string text;
    if (multiByteToWide(body, text)) return text;
    text.clear();
    for (const char c : body) text.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'?');
    return text;
}

// Reads the whole file into `bytes`. Returns what keeps it from being read; empty when it was
// read or does not exist (then `bytes` is empty too).
std::u16string readBytes(std::u16string_view path, std::string& bytes) {
    bytes.clear();
    const std::string name = osPath(path);
    std::error_code error;
    const auto status = std::filesystem::status(name, error);
    if (status.type() == std::filesystem::file_type::not_found) return {};
    if (error) return u"cannot be examined";
    if (status.type() != std::filesystem::file_type::regular) return u"is not a regular file";
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) return u"cannot be opened";
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        bytes.clear();
        return u"cannot be read";
    }
    return {};
}

std::vector<std::u16string> readLines(std::u16string_view path) {
    std::string bytes;
    if (!readBytes(path, bytes).empty()) return {};
    const std::u16string text = decode(bytes);
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::optional<std::u16string_view> sectionName(std::u16string_view line) {
    line = trim(line);
    if (line.size() >= 2 && line.front() == u'[') {
        const size_t close = line.find(u']');
        if (close != std::u16string_view::npos) return trim(line.substr(1, close - 1));
    }
    return std::nullopt;
}

struct KeyLine {
    std::u16string_view key;
    std::u16string_view value;
};

std::optional<KeyLine> keyLine(std::u16string_view line) {
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) return std::nullopt;
    return KeyLine{trim(line.substr(0, equals)), trim(line.substr(equals + 1))};
}

// Index of the key's line inside the first section of that name, or of the section's header
// (as `sectionLine`) when the key is missing.
struct Location {
    std::optional<size_t> sectionLine;
    std::optional<size_t> keyLine;
    size_t sectionEnd = 0;  // one past the section's last non-blank line
};

Location locate(const std::vector<std::u16string>& lines, std::u16string_view section, std::u16string_view key) {
    Location where;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (inside) break;
            inside = equalsIgnoreCase(*name, section);
            if (inside) {
                where.sectionLine = i;
                where.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside) continue;
        if (!trim(lines[i]).empty()) where.sectionEnd = i + 1;
        if (const auto entry = keyLine(lines[i]); entry && !where.keyLine && equalsIgnoreCase(entry->key, key)) {
            where.keyLine = i;
        }
    }
    return where;
}

std::optional<std::u16string> readValue(std::u16string_view section, std::u16string_view key,
                                        std::u16string_view path) {
    const auto lines = readLines(path);
    const Location where = locate(lines, section, key);
    if (!where.keyLine) return std::nullopt;
    std::u16string_view value = keyLine(lines[*where.keyLine])->value;
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::u16string(value);
}

}  // namespace

std::u16string profileReadProblem(std::u16string_view path) {
    std::string bytes;
    return readBytes(path, bytes);
}

uint32_t getPrivateProfileInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue,
                              std::u16string_view path) {
    const auto value = readValue(section, key, path);
    if (!value) return defaultValue < 0 ? 0u : static_cast<uint32_t>(defaultValue);
    size_t i = 0;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == u'-' || (*value)[i] == u'+')) negative = (*value)[i++] == u'-';
    uint64_t number = 0;
    for (; i < value->size() && (*value)[i] >= u'0' && (*value)[i] <= u'9'; ++i) {
        number = std::min<uint64_t>(number * 10 + ((*value)[i] - u'0'), 0xFFFFFFFFull);
    }
    return negative ? 0u : static_cast<uint32_t>(number);
}

uint32_t getPrivateProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view defaultValue,
                                 std::u16string& out, uint32_t bufferSize, std::u16string_view path) {
    std::u16string value = readValue(section, key, path).value_or(std::u16string(defaultValue));
    if (bufferSize == 0) {
        out.clear();
        return 0;
    }
    if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    out = std::move(value);
    return static_cast<uint32_t>(out.size());
}

bool writePrivateProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                               std::u16string_view path) {
    auto lines = readLines(path);
    const Location where = locate(lines, section, key);
    const std::u16string entry = std::u16string(key) + u"=" + std::u16string(value);
    if (where.keyLine) {
        lines[*where.keyLine] = entry;
    } else if (where.sectionLine) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(where.sectionEnd), entry);
    } else {
        lines.push_back(u"[" + std::u16string(section) + u"]");
        lines.push_back(entry);
    }
    std::u16string text;
    for (const auto& line : lines) text += line + u"\r\n";
    std::string bytes;
    if (!wideToMultiByte(text, bytes)) return false;

    const std::string target = osPath(path);
    const std::string temporary = target + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !file.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace Platform::Kernel
