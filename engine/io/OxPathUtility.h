#pragma once
// Path helpers. Engine paths are wide and keep backslash separators; toNativePath is the one
// place where they become OS paths ('/' separators, UTF-8).
//
// An absolute engine path starts with a separator (a POSIX absolute path, "\usr\share\..."),
// with two separators, or has ':' as its second character; anything else is relative to the
// engine's base directory. File names are case-sensitive on this platform.
#include <string>

#include "engine/system/OxStringConvert.h"

namespace Orvex::IO {

using Orvex::System::toMultiByteString;
using Orvex::System::toWideString;

// The engine's base directory (the working directory at start-up).
const std::u16string& getBaseDirectory();

// Empty for a path shorter than 4 characters.
std::u16string makeAbsolutePath(const std::u16string& path);
std::u16string getParentDirectory(const std::u16string& path);
std::u16string normalizeSeparators(const std::u16string& path);

// The OS form of an engine path as it stands (not made absolute); empty when the path holds
// text that cannot be converted.
std::string toNativePath(const std::u16string& path);

// These make the path absolute first.
bool createEmptyFile(const std::u16string& path);
bool fileExists(const std::u16string& path);
bool deleteFileIfExists(const std::u16string& path);
// Gives the file a new name; false, with nothing changed, when a file of that name exists.
bool renameFileNoReplace(const std::u16string& from, const std::u16string& to);
// Creates the directory and any missing parents; true also when it exists already.
bool createDirectories(const std::u16string& path);

}  // namespace Orvex::IO
