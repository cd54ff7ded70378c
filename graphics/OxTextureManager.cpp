#include "graphics/OxTextureManager.h"

#include <new>
#include <vector>

#include "engine/io/OxPathUtility.h"
#include "graphics/OxConstantTextureData.h"
#include "graphics/OxRenderTargetTextureData.h"
#include "graphics/OxRenderer.h"
#include "graphics/OxTexture.h"
#include "platform/gpux/TextureIO.h"
#include "platform/kernel/DebugOutput.h"

namespace Orvex::Graphics {

using namespace Platform::Gpu;

namespace {

void report(const std::u16string& key, const std::string& why, const char* outcome) {
    std::u16string wideWhy;
    System::toWideString(why, wideWhy);
    std::u16string wideOutcome;
    System::toWideString(outcome, wideOutcome);
    Platform::Kernel::debugOutput(u"OxTextureManager: \"" + key + u"\": " + wideWhy + u"; " + wideOutcome);
}

}  // namespace

OxTextureManager::OxTextureManager(OxRenderer* renderer) : renderer_(renderer) {}

OxTextureManager::~OxTextureManager() { clear(); }

const std::u16string& OxTextureManager::fallbackImageName() {
    static const std::u16string name = u"noImage.bmp";
    return name;
}

IOrvexTextureData* OxTextureManager::findRetained(const std::u16string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = cache_.find(key);
    if (it == cache_.end()) {
        return nullptr;
    }
    return OxRefPtr<IOrvexTextureData>(it->second).detach();
}

GpuTexture* OxTextureManager::loadFallback(const std::u16string& key, const std::string& why) {
    GpuTexture* texture = nullptr;
    std::string fallbackWhy;
    if (Platform::Gpux::createTextureFromFile(renderer_->getDevice(), fallbackImageName(), kPoolManaged, &texture,
                                              nullptr, &fallbackWhy) < 0) {
        report(key, why + "; the fallback image failed too: " + fallbackWhy, "not loaded");
        return nullptr;
    }
    report(key, why, "showing the fallback image");
    return texture;
}

int32_t OxTextureManager::cacheLoaded(IOrvexTextureData** out, const std::u16string& key, OxRefPtr<GpuTexture> texture,
                                      bool named) {
    std::shared_ptr<OxDXTexture> dx;
    OxRefPtr<OxConstantTextureData> data;
    try {
        dx = std::make_shared<OxDXTexture>(renderer_);
        data = OxRefPtr<OxConstantTextureData>::adopt(new OxConstantTextureData(renderer_, dx));
    } catch (const std::bad_alloc&) {
        return kOxErrFailed;
    }
    const bool attached = dx->attach(texture.get());
    texture.reset();
    if (!attached) {
        return kOxErrFailed;
    }
    if (named) {
        data->setName(key);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    // When another thread loaded the same name meanwhile, its data is shared instead.
    auto [it, inserted] = cache_.emplace(key, OxRefPtr<IOrvexTextureData>::adopt(data.detach()));
    *out = OxRefPtr<IOrvexTextureData>(it->second).detach();
    return kOxOk;
}

int32_t OxTextureManager::getTextureData(IOrvexTextureData** out, Reader* source) {
    if (out == nullptr || source == nullptr) {
        return kOxErrInvalidArgument;
    }
    const std::u16string key = source->getFileName();
    if (IOrvexTextureData* hit = findRetained(key)) {
        *out = hit;
        return kOxOk;
    }
    IO::StreamIO::ByteVector bytes;
    GpuTexture* texture = nullptr;
    std::string why;
    if (!source->readToVector(bytes, 0)) {
        why = "the entry could not be read";
    } else if (Platform::Gpux::createTextureFromMemory(renderer_->getDevice(), bytes.data(), bytes.size(), kPoolManaged,
                                                       &texture, nullptr, &why) < 0) {
        texture = nullptr;
    }
    if (texture == nullptr && (texture = loadFallback(key, why)) == nullptr) {
        return kOxErrFailed;
    }
    return cacheLoaded(out, key, OxRefPtr<GpuTexture>::adopt(texture), false);
}

int32_t OxTextureManager::getTextureDataFromFile(IOrvexTextureData** out, const std::u16string* path) {
    if (out == nullptr || path == nullptr) {
        return kOxErrInvalidArgument;
    }
    const std::u16string key = IO::makeAbsolutePath(*path);
    if (IOrvexTextureData* hit = findRetained(key)) {
        *out = hit;
        return kOxOk;
    }
    GpuTexture* texture = nullptr;
    std::string why;
    if (key.empty()) {
        why = "the path cannot be made absolute";
    } else if (Platform::Gpux::createTextureFromFile(renderer_->getDevice(), key, kPoolManaged, &texture, nullptr,
                                                     &why) < 0) {
        texture = nullptr;
    }
    if (texture == nullptr && (texture = loadFallback(key, why)) == nullptr) {
        return kOxErrFailed;
    }
    return cacheLoaded(out, key, OxRefPtr<GpuTexture>::adopt(texture), true);
}

template <typename Make>
int32_t OxTextureManager::createHandle(IOrvexTexture** out, Make make) {
    auto handle = OxRefPtr<OxTexture>::adopt(new (std::nothrow) OxTexture(this));
    if (handle == nullptr) {
        return kOxErrCreateFailed;
    }
    OxRefPtr<IOrvexTextureData> data;
    int32_t result = make(data.put());
    if (result < 0) {
        return result;
    }
    result = handle->setData(data.get());
    if (result < 0) {
        return result;
    }
    *out = handle.detach();
    return kOxOk;
}

int32_t OxTextureManager::createTexture(IOrvexTexture** out, Reader* source) {
    if (out == nullptr || source == nullptr) {
        return kOxErrInvalidArgument;
    }
    return createHandle(out, [&](IOrvexTextureData** data) { return getTextureData(data, source); });
}

int32_t OxTextureManager::createTextureFromFile(IOrvexTexture** out, const std::u16string* path) {
    if (out == nullptr) {
        return kOxErrInvalidArgument;
    }
    return createHandle(out, [&](IOrvexTextureData** data) { return getTextureDataFromFile(data, path); });
}

int32_t OxTextureManager::createRenderTargetTexture(IOrvexTexture** out, uint32_t width, uint32_t height,
                                                    uint32_t ignored) {
    if (out == nullptr) {
        return kOxErrInvalidArgument;
    }
    return createHandle(out,
                        [&](IOrvexTextureData** data) { return createRenderTargetData(data, width, height, ignored); });
}

int32_t OxTextureManager::createRenderTargetData(IOrvexTextureData** out, uint32_t width, uint32_t height, uint32_t) {
    if (out == nullptr) {
        return kOxErrInvalidArgument;
    }
    std::shared_ptr<OxDXTexture> dx;
    try {
        dx = std::make_shared<OxDXTexture>(renderer_);
    } catch (const std::bad_alloc&) {
        return kOxErrFailed;
    }
    if (dx->create(width, height, kUsageRenderTarget, kFormatX8R8G8B8, kPoolDefault) < 0) {
        return kOxErrFailed;
    }
    OxRenderTargetTextureData* data = new (std::nothrow) OxRenderTargetTextureData(renderer_, std::move(dx));
    if (data == nullptr) {
        return kOxErrFailed;
    }
    *out = data;
    return kOxOk;
}

int32_t OxTextureManager::saveTextureToFile(IOrvexTexture* texture, const std::u16string* path) {
    if (texture == nullptr || path == nullptr) {
        return kOxErrInvalidArgument;
    }
    OxTextureData* data = textureDataOf(texture);
    if (data == nullptr || data->getType() > 1 || data->getDXTexture() == nullptr) {
        return kOxErrFailed;
    }
    const auto surface = OxRefPtr<GpuSurface>::adopt(data->getDXTexture()->getSurfaceLevel(0));
    if (surface == nullptr) {
        return kOxErrFailed;
    }
    std::string why;
    const int32_t result = Platform::Gpux::saveSurfaceToPngFile(*path, surface.get(), &why);
    if (result < 0) {
        report(*path, why, "not saved");
        return kOxErrFailed;
    }
    return kOxOk;
}

void OxTextureManager::clear() {
    Cache taken;  // released outside the lock, when it goes
    std::lock_guard<std::mutex> lock(mutex_);
    taken.swap(cache_);
}

void OxTextureManager::releaseUnused() {
    // Released outside the lock (when the vector goes): destroying the data unregisters its
    // device texture.
    std::vector<OxRefPtr<IOrvexTextureData>> unused;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = cache_.begin(); it != cache_.end();) {
            if (it->second->getRefCount() == 1) {  // only the cache holds it
                unused.push_back(std::move(it->second));
                it = cache_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

bool OxTextureManager::contains(const std::u16string* name) {
    if (name == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return cache_.find(*name) != cache_.end();
}

void OxTextureManager::releaseTexture(const std::u16string* name) {
    if (name == nullptr) {
        return;
    }
    OxRefPtr<IOrvexTextureData> data;  // released outside the lock, when it goes
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = cache_.find(*name);
    if (it == cache_.end() || it->second->getRefCount() != 1) {
        return;
    }
    data = std::move(it->second);
    cache_.erase(it);
}

}  // namespace Orvex::Graphics
