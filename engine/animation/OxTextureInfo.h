#pragma once
// One texture of an animation object and the file it came from. Holds one reference to the
// texture.
#include <string>

#include "engine/animation/IOrvexArchiver.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::MossbellLib {

class OxTextureInfo : public IOrvexArchiver {
public:
    OxTextureInfo() = default;
    OxTextureInfo(Graphics::IOrvexTexture* texture, std::u16string fileName);
    OxTextureInfo(const OxTextureInfo&) = delete;
    OxTextureInfo& operator=(const OxTextureInfo&) = delete;
    ~OxTextureInfo() override;

    // Retains the new texture, then releases the previous one.
    void setTexture(Graphics::IOrvexTexture* texture);
    // The texture retained once more for the caller (who releases it), or null.
    Graphics::IOrvexTexture* getTexture() const;
    // The held texture without a new reference, for identity checks.
    const Graphics::IOrvexTexture* peekTexture() const { return texture_.get(); }

    void setFileName(const std::u16string& fileName) { fileName_ = fileName; }
    const std::u16string& getFileName() const { return fileName_; }

private:
    Graphics::OxRefPtr<Graphics::IOrvexTexture> texture_;
    std::u16string fileName_;
};

}  // namespace Orvex::MossbellLib
