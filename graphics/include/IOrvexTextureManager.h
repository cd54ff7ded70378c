#pragma once
// Loads images into textures and shares them by name.
#include <string>

#include "engine/io/OxStreamIO.h"
#include "graphics/include/IOrvexTexture.h"

namespace Orvex::Graphics {

class IOrvexTextureManager : public System::IOrvexRefCountObject {
public:
    using Reader = IO::StreamIO::IOrvexStreamReader;

    virtual int32_t createTexture(IOrvexTexture** out, Reader* source) = 0;
    virtual int32_t createTextureFromFile(IOrvexTexture** out, const std::u16string* path) = 0;
    virtual int32_t createRenderTargetTexture(IOrvexTexture** out, uint32_t width, uint32_t height,
                                              uint32_t ignored) = 0;
    virtual int32_t getTextureData(IOrvexTextureData** out, Reader* source) = 0;
    virtual int32_t getTextureDataFromFile(IOrvexTextureData** out, const std::u16string* path) = 0;
    virtual int32_t createRenderTargetData(IOrvexTextureData** out, uint32_t width, uint32_t height,
                                           uint32_t ignored) = 0;
    virtual int32_t saveTextureToFile(IOrvexTexture* texture, const std::u16string* path) = 0;
    virtual void clear() = 0;
    virtual void releaseUnused() = 0;
    virtual bool contains(const std::u16string* name) = 0;
    virtual void releaseTexture(const std::u16string* name) = 0;

protected:
    virtual ~IOrvexTextureManager() = default;
};

}  // namespace Orvex::Graphics
