#include "platform/kernel/SharedLibrary.h"

#include <dlfcn.h>

namespace Platform::Kernel {

SharedLibrary::SharedLibrary(const std::string& path) : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) {
        const char* why = ::dlerror();
        error_ = path + ": " + (why != nullptr ? why : "cannot be loaded");
    }
}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
    }
}

void* SharedLibrary::symbol(const char* name) const { return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr; }

}  // namespace Platform::Kernel
