#include "engine/script/CFileManager.h"

#include <algorithm>
#include <cstring>

#include "engine/script/LuaObjectBinding.h"
#include "platform/kernel/NativeFile.h"

namespace Orvex::Script {

namespace {

// Scripts may call the functions as methods: the calling object comes first then.
void dropCallingObject(lua_State* L) {
    if (lua_type(L, 1) == LUA_TUSERDATA) {
        lua_remove(L, 1);
    }
}

// Drops a calling object passed as the first argument; then the file's name must come first.
// Returns the open stream of that name, or null when there is no name or no such file.
std::FILE* fileArgument(lua_State* L) {
    dropCallingObject(L);
    if (!lua_isstring(L, 1)) {
        return nullptr;
    }
    auto& files = CFileManager::openFiles();
    auto found = files.find(lua_tostring(L, 1));
    return found != files.end() ? found->second : nullptr;
}

// Runs `use` on the stream named by the arguments and returns its count of results; a name
// that is missing or not open returns nothing to the script.
template <class Use>
int withFile(lua_State* L, Use use) {
    std::FILE* file = fileArgument(L);
    return file != nullptr ? use(file) : 0;
}

// Hands the text in the second argument to `put` and answers true; false when it is no text.
template <class Put>
int writeText(lua_State* L, Put put) {
    return withFile(L, [&](std::FILE* file) {
        if (!lua_isstring(L, 2)) {
            lua_pushboolean(L, 0);
            return 1;
        }
        size_t length = 0;
        const char* text = lua_tolstring(L, 2, &length);
        put(file, text, length);
        lua_pushboolean(L, 1);
        return 1;
    });
}

// fopen modes: r, w or a, then at most one '+' and one 'b' in either order.
bool validMode(const char* mode) {
    const size_t length = std::strlen(mode);
    if (length == 0 || length > 3 || std::strchr("rwa", mode[0]) == nullptr) {
        return false;
    }
    bool plus = false;
    bool binary = false;
    for (size_t i = 1; i < length; ++i) {
        bool& seen = mode[i] == '+' ? plus : binary;
        if ((mode[i] != '+' && mode[i] != 'b') || seen) {
            return false;
        }
        seen = true;
    }
    return true;
}

}  // namespace

CFileManager::~CFileManager() {
    if (prototype_) {
        closeAllFiles();
    }
}

std::map<std::string, std::FILE*>& CFileManager::openFiles() {
    static std::map<std::string, std::FILE*> files;
    return files;
}

void CFileManager::closeAllFiles() {
    for (auto& [name, file] : openFiles()) {
        std::fclose(file);
    }
    openFiles().clear();
}

void CFileManager::push(lua_State* L) {
    closeAllFiles();
    CBaseUserdata::push(L);
    setTableFunction(L, "open", &CFileManager::open);
    setTableFunction(L, "close", &CFileManager::close);
    setTableFunction(L, "eof", &CFileManager::eof);
    setTableFunction(L, "read", &CFileManager::read);
    setTableFunction(L, "readLine", &CFileManager::readLine);
    setTableFunction(L, "write", &CFileManager::write);
    setTableFunction(L, "writeLine", &CFileManager::writeLine);
    setTableFunction(L, "ptr", &CFileManager::ptr);
    setTableFunction(L, "size", &CFileManager::size);
}

std::unique_ptr<IUserdata> CFileManager::create() const { return std::make_unique<CFileManager>(); }

std::unique_ptr<IUserdata> CFileManager::clone() const {
    auto copy = std::make_unique<CFileManager>();
    copy->setId(getId());
    return copy;
}

// open (path, name, mode): opens the file at the engine path and enters it under `name`.
int CFileManager::open(lua_State* L) {
    dropCallingObject(L);
    if (!lua_isstring(L, 1) || !lua_isstring(L, 2) || !lua_isstring(L, 3) || !validMode(lua_tostring(L, 3))) {
        lua_pushboolean(L, 0);
        return 1;
    }
    std::string path = lua_tostring(L, 1);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::FILE* file = std::fopen(path.c_str(), lua_tostring(L, 3));
    if (file == nullptr) {
        lua_pushboolean(L, 0);
        return 1;
    }
    auto& files = openFiles();
    auto [entry, added] = files.emplace(lua_tostring(L, 2), file);
    if (!added) {
        std::fclose(entry->second);  // a name opened again replaces its earlier stream
        entry->second = file;
    }
    lua_pushboolean(L, 1);
    return 1;
}

int CFileManager::close(lua_State* L) {
    return withFile(L, [L](std::FILE* file) {
        std::fclose(file);
        // The entry goes with the stream, so nothing can reach the closed handle again.
        openFiles().erase(lua_tostring(L, 1));
        lua_pushboolean(L, 1);
        return 1;
    });
}

int CFileManager::eof(lua_State* L) {
    return withFile(L, [L](std::FILE* file) {
        lua_pushboolean(L, std::feof(file) != 0);
        return 1;
    });
}

int CFileManager::read(lua_State* L) {
    return withFile(L, [L](std::FILE* file) {
        const int c = std::fgetc(file);
        if (c == EOF) {
            lua_pushstring(L, "");
        } else {
            const char one = static_cast<char>(c);
            lua_pushlstring(L, &one, 1);
        }
        return 1;
    });
}

int CFileManager::readLine(lua_State* L) {
    return withFile(L, [L](std::FILE* file) {
        char line[255] = {};
        lua_pushstring(L, std::fgets(line, sizeof line, file) == nullptr ? "" : line);
        return 1;
    });
}

// write (name, text): writes the text's first character only.
int CFileManager::write(lua_State* L) {
    return writeText(L, [](std::FILE* file, const char* text, size_t length) {
        if (length > 0) {
            std::fputc(static_cast<unsigned char>(text[0]), file);
        }
    });
}

int CFileManager::writeLine(lua_State* L) {
    return writeText(L, [](std::FILE* file, const char* text, size_t length) { std::fwrite(text, 1, length, file); });
}

int CFileManager::ptr(lua_State* L) {
    return withFile(L, [L](std::FILE* file) {
        lua_pushlightuserdata(L, file);
        return 1;
    });
}

int CFileManager::size(lua_State* L) {
    return withFile(L, [L](std::FILE* file) {
        std::fflush(file);
        const int64_t bytes = Platform::Kernel::fileSize(fileno(file));
        if (bytes < 0) {
            return 0;
        }
        lua_pushinteger(L, static_cast<lua_Integer>(bytes));
        return 1;
    });
}

}  // namespace Orvex::Script
