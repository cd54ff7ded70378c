#pragma once
// A shared library loaded by path for the object's lifetime, and the symbols it exports.
#include <string>

namespace Platform::Kernel {

class SharedLibrary {
public:
    // Loads the library with every symbol resolved now, its symbols kept out of the global scope.
    explicit SharedLibrary(const std::string& path);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary();

    bool loaded() const { return handle_ != nullptr; }
    // Why the library did not load; empty when it did.
    const std::string& error() const { return error_; }
    // The address of an exported symbol, or null when the library does not export it.
    void* symbol(const char* name) const;

private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace Platform::Kernel
