#pragma once
// Loads images into textures and shares their data by name. The cache is locked: textures are
// created and released on worker threads while the game thread draws and looks them up.
#include <map>
#include <mutex>
#include <string>

#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexTextureManager.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/gpu/GpuTexture.h"

namespace Orvex::Graphics {

class OxRenderer;
class OxDXTexture;

class OxTextureManager : public OxRefCounted<IOrvexTextureManager> {
public:
    explicit OxTextureManager(OxRenderer* renderer);

    int32_t createTexture(IOrvexTexture** out, Reader* source) override;
    int32_t createTextureFromFile(IOrvexTexture** out, const std::u16string* path) override;
    int32_t createRenderTargetTexture(IOrvexTexture** out, uint32_t width, uint32_t height, uint32_t ignored) override;
    int32_t getTextureData(IOrvexTextureData** out, Reader* source) override;
    int32_t getTextureDataFromFile(IOrvexTextureData** out, const std::u16string* path) override;
    int32_t createRenderTargetData(IOrvexTextureData** out, uint32_t width, uint32_t height, uint32_t ignored) override;
    int32_t saveTextureToFile(IOrvexTexture* texture, const std::u16string* path) override;
    void clear() override;
    void releaseUnused() override;
    bool contains(const std::u16string* name) override;
    void releaseTexture(const std::u16string* name) override;

    // The image the manager shows for a missing or broken one, opened by this relative name.
    static const std::u16string& fallbackImageName();

protected:
    ~OxTextureManager() override;

private:
    using Cache = std::map<std::u16string, OxRefPtr<IOrvexTextureData>>;
    // Looks the key up and retains a hit for the caller.
    IOrvexTextureData* findRetained(const std::u16string& key);
    // Makes data from a loaded device texture and caches it under `key` (or returns the data
    // another thread cached meanwhile).
    int32_t cacheLoaded(IOrvexTextureData** out, const std::u16string& key, OxRefPtr<Platform::Gpu::GpuTexture> texture,
                        bool named);
    Platform::Gpu::GpuTexture* loadFallback(const std::u16string& key, const std::string& why);
    template <typename Make>
    int32_t createHandle(IOrvexTexture** out, Make make);

    OxRenderer* renderer_;  // the owner; not retained
    std::mutex mutex_;
    Cache cache_;
};

}  // namespace Orvex::Graphics
