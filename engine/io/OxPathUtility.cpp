#include "engine/io/OxPathUtility.h"

#include "engine/system/OxEngineState.h"
#include "platform/kernel/NativeFile.h"

namespace Orvex::IO {
namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool startsWith(const std::u16string& text, std::size_t at, std::u16string_view prefix) {
    return text.size() - at >= prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

namespace Kernel = Platform::Kernel;

bool createDirectoriesAbsolute(const std::u16string& path) {
    const std::string native = toNativePath(path);
    if (native.empty()) {
        return false;
    }
    const Kernel::DirectoryResult made = Kernel::makeDirectory(native);
    // Only a missing parent is worth climbing for; permission or read-only errors are final.
    if (made != Kernel::DirectoryResult::kParentMissing) {
        return made == Kernel::DirectoryResult::kMade;
    }
    const std::u16string parent = getParentDirectory(path);
    // The climb ends at the root: its parent is itself (or nothing).
    if (parent.empty() || parent == path || !createDirectoriesAbsolute(parent)) {
        return false;
    }
    return Kernel::makeDirectory(native) == Kernel::DirectoryResult::kMade;
}

}  // namespace

const std::u16string& getBaseDirectory() { return System::engineState().baseDirectoryW; }

std::u16string normalizeSeparators(const std::u16string& path) {
    std::u16string result = path;
    for (char16_t& c : result) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    return result;
}

std::u16string makeAbsolutePath(const std::u16string& path) {
    if (path.size() < 4) {
        return {};
    }
    const bool absolute = isSeparator(path[0]) || path[1] == u':';
    if (absolute) {
        return normalizeSeparators(path);
    }
    std::u16string base = getBaseDirectory() + u'\\';
    std::size_t rest = 0;
    for (;;) {
        if (startsWith(path, rest, u"..\\") || startsWith(path, rest, u"../")) {
            base = getParentDirectory(base);
            if (base.empty() || !isSeparator(base.back())) {
                base += u'\\';  // the root keeps its one separator
            }
            rest += 3;
        } else if (startsWith(path, rest, u".\\") || startsWith(path, rest, u"./")) {
            rest += 2;
        } else if (rest < path.size() && isSeparator(path[rest])) {
            rest += 1;
        } else {
            break;
        }
    }
    return normalizeSeparators(base + path.substr(rest));
}

std::u16string getParentDirectory(const std::u16string& path) {
    int separators = 0;
    for (const char16_t c : path) {
        if (isSeparator(c) && ++separators == 2) {
            break;
        }
    }
    if (separators >= 2) {
        // From the second-last character, so a trailing separator is passed over.
        for (std::size_t i = path.size() - 1; i-- > 1;) {
            if (isSeparator(path[i])) {
                return i >= 2 ? path.substr(0, i) : std::u16string();
            }
        }
        return {};
    }
    if (path.size() >= 3 && path[1] == u':' && isSeparator(path[2])) {
        return path.substr(0, 3);
    }
    // A name directly below the POSIX root: its parent is the root.
    if (separators == 1 && isSeparator(path[0]) && path.size() > 1) {
        return u"\\";
    }
    return path;
}

std::string toNativePath(const std::u16string& path) {
    std::u16string slashed = path;
    for (char16_t& c : slashed) {
        if (c == u'\\') {
            c = u'/';
        }
    }
    std::string native;
    if (!toMultiByteString(slashed, native)) {
        return {};
    }
    return native;
}

bool createEmptyFile(const std::u16string& path) {
    const std::string native = toNativePath(makeAbsolutePath(path));
    if (native.empty()) {
        return false;
    }
    const Kernel::FileDescriptor file = Kernel::createFile(native);
    if (file == Kernel::kNoFile) {
        return false;
    }
    Kernel::closeFile(file);
    return true;
}

bool fileExists(const std::u16string& path) {
    const std::string native = toNativePath(makeAbsolutePath(path));
    if (native.empty()) {
        return false;
    }
    return Kernel::isRegularFile(native);
}

bool deleteFileIfExists(const std::u16string& path) {
    if (!fileExists(path)) {
        return true;
    }
    return Kernel::removeFile(toNativePath(makeAbsolutePath(path)));
}

bool renameFileNoReplace(const std::u16string& from, const std::u16string& to) {
    const std::string nativeFrom = toNativePath(makeAbsolutePath(from));
    const std::string nativeTo = toNativePath(makeAbsolutePath(to));
    return !nativeFrom.empty() && !nativeTo.empty() && Kernel::renameFileNoReplace(nativeFrom, nativeTo);
}

bool createDirectories(const std::u16string& path) {
    const std::u16string absolute = makeAbsolutePath(path);
    return !absolute.empty() && createDirectoriesAbsolute(absolute);
}

}  // namespace Orvex::IO
