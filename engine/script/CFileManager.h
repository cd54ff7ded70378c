#pragma once
// Script-side files: one process-wide table of open C streams, reached by name.
#include <cstdio>
#include <map>
#include <string>

#include "engine/script/CBaseUserdata.h"

namespace Orvex::Script {

class CFileManager : public CBaseUserdata {
public:
    // The prototype held by the object factory closes every open file when it is destroyed.
    explicit CFileManager(bool prototype = false) : prototype_(prototype) {}
    ~CFileManager() override;

    // Pushing a new object closes the files still open and empties the table.
    void push(lua_State* L) override;
    std::unique_ptr<IUserdata> create() const override;
    std::unique_ptr<IUserdata> clone() const override;
    const char* getClassName() const override { return "FileManager"; }

    static std::map<std::string, std::FILE*>& openFiles();
    static void closeAllFiles();

private:
    static int open(lua_State* L);
    static int close(lua_State* L);
    static int eof(lua_State* L);
    static int read(lua_State* L);
    static int readLine(lua_State* L);
    static int write(lua_State* L);
    static int writeLine(lua_State* L);
    static int ptr(lua_State* L);
    static int size(lua_State* L);

    bool prototype_;
};

}  // namespace Orvex::Script
