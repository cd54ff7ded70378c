#include "graphics/OxGeometryImporter.h"

#include <fstream>
#include <iterator>
#include <memory>

#include "engine/io/OxPathUtility.h"
#include "graphics/OxGSGeometryCommandSet.h"
#include "graphics/OxGeometry.h"
#include "graphics/OxOCSParser.h"

namespace Orvex::Graphics {

namespace {

// The script's text up to its first zero byte; false when it cannot be read.
bool readScript(const std::u16string& path, std::string* text) {
    const std::string native = IO::toNativePath(path);
    if (native.empty()) {
        return false;
    }
    std::ifstream in(native, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return false;
    }
    *text = bytes.substr(0, bytes.find('\0'));
    return true;
}

}  // namespace

std::u16string OxGeometryImporter::scriptPath(const std::u16string& modelPath) {
    const size_t slash = modelPath.find_last_of(u"\\/");
    const size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
    std::u16string name = modelPath.substr(nameStart);
    const size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos) {
        name.resize(dot);
    }
    const std::u16string directory = slash == std::u16string::npos ? u"" : modelPath.substr(0, slash);
    return directory + u"/" + name + u".ocs";
}

int32_t OxGeometryImporter::import(const std::u16string* path, IOrvexGeometry** out) {
    if (out == nullptr) {
        return kOxErrInvalidArgument;
    }
    const std::u16string absolute = IO::makeAbsolutePath(path != nullptr ? *path : std::u16string());
    auto hierarchy = std::make_shared<OxDXObject>();
    if (absolute.empty() || !hierarchy->load(graphics_->getDevice(), absolute)) {
        return kOxErrFailed;
    }
    IOrvexGeometry* made = nullptr;
    if (graphics_->createGeometry(&made) < 0 || made == nullptr) {
        return kOxErrFailed;
    }
    auto geometry = OxRefPtr<OxGeometry>::adopt(static_cast<OxGeometry*>(made));
    if (!geometry->attach(std::move(hierarchy))) {
        return kOxErrFailed;
    }
    std::string text;
    OxOCSParser parser;
    const bool parsed = readScript(scriptPath(absolute), &text) && parser.parse(text) == kOxOk;
    if (parsed) {
        OxGSGeometryCommandSet commands(*geometry);
        runOCSScript(parser.getTokens(), {&commands});
    }
    *out = geometry.detach();
    return parsed ? kOxOk : 1;
}

}  // namespace Orvex::Graphics
