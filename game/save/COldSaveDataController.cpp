#include "game/save/COldSaveDataController.h"

#include <algorithm>

#include "engine/io/OxFileStreamIO.h"
#include "engine/serialization/OxSerializer.h"
#include "game/save/COldGameSerializer.h"

namespace Fenwarrow {

using Orvex::IO::StreamIO::OxFileStreamIO;

COldSaveDataController::COldSaveDataController(IGameContext& game, CSettingDataManager& settings)
    : game_(game), settings_(settings) {}

bool COldSaveDataController::loadCommonData(const std::u16string& path) {
    Orvex::Serialization::OxSerializer data;
    if (!readOldContainer(data, path) || header_[4] != CSaveDataController::kOldVersion) {
        return false;
    }
    return COldGameSerializer(game_, settings_).deserialize(data);
}

bool COldSaveDataController::readOldContainer(Orvex::Serialization::OxSerializer& data, const std::u16string& path) {
    data.setWriting(false);
    data.getBuffer().clear();
    header_.fill(0);
    OxFileStreamIO file;
    if (!file.open(path)) {
        return false;
    }
    const uint32_t size = file.getSize();
    if (size < CSaveDataController::kHeaderBytes || size > kMaxFileBytes) {
        return false;
    }
    std::vector<uint8_t>& buffer = data.getBuffer();
    buffer.resize(size);
    uint32_t got = 0;
    if (!file.read(buffer.data(), size, &got) || got != size) {
        buffer.clear();
        return false;
    }
    CSaveDataController::scrambleBytes(buffer.data(), buffer.size());
    std::copy_n(buffer.begin(), header_.size(), header_.begin());
    data.setWriting(false);
    return data.readBlock(header_.data(), header_.size());
}

}  // namespace Fenwarrow
