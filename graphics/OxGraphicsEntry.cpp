// The library's entry: the exported factory and the library's own engine root object, made when
// the library is loaded and dropped when it is unloaded (or at process exit).
#include <memory>
#include <new>

#include "engine/system/OxOrvexManager.h"
#include "graphics/OxGraphics.h"

namespace {

// The shared owner of the library's root object.
std::shared_ptr<Orvex::OxOrvexManager>& libraryRoot() {
    static std::shared_ptr<Orvex::OxOrvexManager> root;
    return root;
}

__attribute__((constructor)) void onLibraryLoad() {
    if (!libraryRoot()) {
        libraryRoot() = std::make_shared<Orvex::OxOrvexManager>();
    }
}

__attribute__((destructor)) void onLibraryUnload() { libraryRoot().reset(); }

}  // namespace

extern "C" __attribute__((visibility("default"))) Orvex::Graphics::IOrvexGraphics* OXCreateGraphics(uint32_t version) {
    if (version != Orvex::Graphics::kOxGraphicsVersion) {
        return nullptr;
    }
    return new (std::nothrow) Orvex::Graphics::OxGraphics();
}
