#pragma once
// Texture handles and the shared data behind them.
#include <string>

#include "graphics/include/IOrvexRefCountObject.h"

namespace Orvex::Graphics {

// Shared texture data: type 0 is an image, type 1 a render target.
class IOrvexTextureData : public System::IOrvexRefCountObject {
public:
    virtual uint32_t getType() const = 0;
    virtual uint32_t getWidth() const = 0;
    virtual uint32_t getHeight() const = 0;
    virtual void setName(const std::u16string& name) = 0;
    virtual const std::u16string& getName() const = 0;

protected:
    virtual ~IOrvexTextureData() = default;
};

// The handle a caller owns.
class IOrvexTexture : public System::IOrvexRefCountObject {
public:
    virtual int32_t setData(IOrvexTextureData* data) = 0;
    virtual IOrvexTextureData* getData() = 0;  // borrowed
    virtual uint32_t getWidth() const = 0;     // 0 without data
    virtual uint32_t getHeight() const = 0;
    virtual const char16_t* getName() const = 0;  // null without data

protected:
    virtual ~IOrvexTexture() = default;
};

}  // namespace Orvex::Graphics
