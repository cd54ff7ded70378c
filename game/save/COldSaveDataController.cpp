#include "game/save/COldSaveDataController.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/io/OxFileStreamIO.h"
#include "engine/serialization/OxSerializer.h"
#include "game/save/COldGameSerializer.h"

namespace Fenwarrow {

using Orvex::IO::StreamIO::OxFileStreamIO;

bool COldSaveDataController::loadCommonData(IGameContext& game, CSettingDataManager& settings,
                                            const std::u16string& path) {
    Orvex::Serialization::OxSerializer data;
    if (!readOldContainer(data, path)) {
        return false;
    }
    if (header_[4] != CSaveDataController::kOldVersion) {
        return refuse("the header's version byte reads " + std::to_string(header_[4]) + ", not the old format's 0");
    }
    COldGameSerializer body(game, settings);
    return body.deserialize(data) || refuse(body.getLastError());
}

bool COldSaveDataController::readOldContainer(Orvex::Serialization::OxSerializer& data, const std::u16string& path) {
    data.setWriting(false);
    data.getBuffer().clear();
    header_.fill(0);
    lastError_.clear();
    OxFileStreamIO file;
    if (!file.open(path)) {
        return refuse("the file cannot be opened");
    }
    const uint32_t size = file.getSize();
    if (size < CSaveDataController::kHeaderBytes) {
        return refuse("the file is shorter than its " + std::to_string(CSaveDataController::kHeaderBytes) +
                      "-byte header (" + std::to_string(size) + " bytes)");
    }
    if (size > kMaxFileBytes) {
        return refuse("the file is " + std::to_string(size) + " bytes, more than any old save (" +
                      std::to_string(kMaxFileBytes >> 20) + " MiB)");
    }
    std::vector<uint8_t>& buffer = data.getBuffer();
    buffer.resize(size);
    uint32_t got = 0;
    if (!file.read(buffer.data(), size, &got) || got != size) {
        buffer.clear();
        return refuse("reading the file fails at byte " + std::to_string(got));
    }
    CSaveDataController::scrambleBytes(buffer.data(), buffer.size());
    std::copy_n(buffer.begin(), header_.size(), header_.begin());
    data.setWriting(false);
    return data.readBlock(header_.data(), header_.size());
}

bool COldSaveDataController::refuse(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

}  // namespace Fenwarrow
