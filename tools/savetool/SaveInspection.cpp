#include "tools/savetool/SaveInspection.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>

#include "engine/animation/OxMADObject.h"
#include "engine/serialization/OxSerializer.h"
#include "engine/system/OxStringConvert.h"
#include "game/actor/CActorStatus.h"
#include "game/dungeon/FloorState.h"
#include "game/gamedata/CResultInfo.h"
#include "game/item/CUnidentifiedItemInfo.h"
#include "game/replay/CReplayInfo.h"
#include "game/save/CSaveDataController.h"
#include "game/save/SaveRecords.h"
#include "game/save/oldcondition/CConditionController.h"
#include "game/save/oldcondition/OldConditions.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/SettingRecords.h"

namespace Orvex::Tools::SaveTool {

namespace {

using Fenwarrow::CSaveDataController;
using Orvex::Serialization::OxSerializer;

std::string text(const std::u16string& wide) { return Orvex::System::narrow(wide); }

template <std::size_t N>
std::string fieldText(const char16_t (&field)[N]) {
    return text(std::u16string(field, std::find(field, field + N, u'\0')));
}

void printHeader(std::ostream& out, const CSaveDataController::Header& header, std::size_t fileBytes) {
    out << "file size      " << fileBytes << " bytes\n";
    out << "magic          \"" << std::string(header.begin(), header.begin() + 4) << "\"\n";
    out << "version        " << int{header[4]}
        << (header[4] == 1   ? " (current)"
            : header[4] == 0 ? " (old)"
                             : " (unknown)")
        << "\n";
    out << "clock byte     " << int{header[5]} << "\n";
}

void printGlobals(OxSerializer& data, std::ostream& out) {
    std::vector<int> flags;
    for (int i = 0; i < 1024; ++i) {
        uint8_t flag = 0;
        data.readByte(flag);
        if (flag != 0) {
            flags.push_back(i);
        }
    }
    out << "global flags set:";
    for (int i : flags) {
        out << ' ' << i;
    }
    out << "\nglobal integers (non-zero):";
    for (int i = 0; i < 1024; ++i) {
        int32_t value = 0;
        data.read32(value);
        if (value != 0) {
            out << " [" << i << "]=" << value;
        }
    }
    out << "\nglobal floats (non-zero):";
    for (int i = 0; i < 1024; ++i) {
        float value = 0.0f;
        data.read32(value);
        if (value != 0.0f) {
            out << " [" << i << "]=" << value;
        }
    }
    out << "\n";
}

void printStatus(const uint8_t (&bytes)[Fenwarrow::SaveRecords::kActorStatusBytes], std::ostream& out) {
    Fenwarrow::Actor::CActorStatus status;
    Fenwarrow::SaveRecords::decodeActorStatus(bytes, status);
    out << "  status       level " << status.getLevel() << ", life " << status.getLife() << "/" << status.getMaxLife()
        << ", hunger " << status.getHungerPoint() << "/" << status.getMaxHungerPoint() << ", force "
        << status.getForce() << "/" << status.getMaxForce() << ", exp " << status.getEXP() << ", direction "
        << status.getDirection() << "\n";
}

// The fixed start of an actor record, up to its status; false when the record is cut short.
bool printActorStart(OxSerializer& data, std::ostream& out, bool old) {
    std::u16string folder;
    uint32_t type = 0;
    data.readWString(folder);
    data.read32(type);
    out << "  folder       " << text(folder) << "\n  type         " << type << "\n";
    if (!old) {
        uint8_t motion[Fenwarrow::SaveRecords::kMotionBytes];
        data.readBlock(motion, sizeof(motion));
        std::u16string name;
        for (std::size_t i = 0; i < 64 && (motion[2 * i] | motion[2 * i + 1]) != 0; ++i) {
            name.push_back(static_cast<char16_t>(motion[2 * i] | (motion[2 * i + 1] << 8)));
        }
        out << "  motion       " << text(name) << "\n";
    }
    uint8_t lock = 0;
    uint8_t visible = 0;
    std::u16string name;
    float speed = 0.0f;
    data.readByte(lock);
    data.readByte(visible);
    data.readWString(name);
    data.read32(speed);
    out << "  motion lock  " << int{lock} << "\n  visible      " << int{visible} << "\n  name         " << text(name)
        << "\n  speed        " << speed << "\n";
    if (!old) {
        int32_t state = 0;
        int32_t left = 0;
        uint8_t joined = 0;
        data.read32(state);
        data.read32(left);
        data.readByte(joined);
        out << "  turn         state " << state << ", actions left " << left << ", joined " << int{joined} << "\n";
    }
    uint8_t status[Fenwarrow::SaveRecords::kActorStatusBytes];
    if (!data.readBlock(status, sizeof(status))) {
        return false;
    }
    printStatus(status, out);
    return true;
}

void printRemaining(OxSerializer& data, std::ostream& out, const char* what) {
    out << "  (" << data.getRemaining() << " bytes left: " << what << ")\n";
}

bool describeCommon(OxSerializer& data, std::ostream& out) {
    printGlobals(data, out);
    const char* lists[] = {"score", "time", "turns"};
    for (const char* list : lists) {
        out << "ranking by " << list << ":\n";
        for (int i = 0; i < 5; ++i) {
            Fenwarrow::CResultInfo record{};
            data.readBlock(&record, sizeof(record));
            if (record.valid != 0) {
                out << "  " << i << ": " << fieldText(record.playerName) << " score " << record.score << "\n";
            }
        }
    }
    uint32_t money = 0;
    int32_t equipment[3] = {};
    data.read32(money);
    for (int32_t& index : equipment) {
        data.read32(index);
    }
    out << "money          " << money << "\nequipment      weapon " << equipment[0] << ", shield " << equipment[1]
        << ", amulet " << equipment[2] << "\n";
    uint32_t entries = 0;
    if (!data.readCount(entries, 268)) {
        return false;
    }
    out << "unidentified kinds: " << entries << "\n";
    for (uint32_t i = 0; i < entries; ++i) {
        uint32_t id = 0;
        uint8_t bytes[Fenwarrow::SaveRecords::kUnidentifiedBytes];
        data.read32(id);
        data.readBlock(bytes, sizeof(bytes));
        const auto info = Fenwarrow::SaveRecords::decodeUnidentified(bytes);
        out << "  " << id << ": " << (info.unidentified ? "hidden" : "known") << " \"" << text(info.name) << "\" \""
            << text(info.temporaryName) << "\"\n";
    }
    out << "player:\n";
    if (!printActorStart(data, out, false)) {
        return false;
    }
    printRemaining(data, out, "conditions, items, sprites, script data, storage, settings");
    return !data.hasReadFailed();
}

bool describeSuspend(OxSerializer& data, std::ostream& out) {
    uint32_t id = 0;
    Fenwarrow::Dungeon::FloorState state;
    data.read32(id);
    if (!data.readBlock(&state, sizeof(state))) {
        return false;
    }
    out << "suspend id     " << id << "\nfloor script   "
        << text(Fenwarrow::Dungeon::getFloorText(state.floorScriptPath)) << "\nfloor number   " << state.floorNumber
        << "\nbgm            " << text(Fenwarrow::Dungeon::getFloorText(state.currentBgmPath)) << "\n";
    uint32_t enemies = 0;
    if (!data.readCount(enemies, 2)) {
        return false;
    }
    out << "enemy list     ";
    for (uint32_t i = 0; i < enemies; ++i) {
        std::u16string folder;
        data.readWString(folder);
        out << text(folder) << ' ';
    }
    uint32_t turn = 0;
    uint32_t player = 0;
    uint32_t actors = 0;
    data.read32(turn);
    data.read32(player);
    data.read32(actors);
    out << "\nturn count     " << turn << "\nplayer id      " << player << "\nactors         " << actors << "\n";
    if (actors > 0) {
        uint32_t identity = 0;
        data.read32(identity);
        out << "first actor (id " << identity << "):\n";
        if (!printActorStart(data, out, false)) {
            return false;
        }
    }
    printRemaining(data, out, "the rest of the actors, the floor items and the map");
    return !data.hasReadFailed();
}

bool describeReplay(OxSerializer& data, std::ostream& out) {
    Fenwarrow::Replay::CReplayInfo replay;
    if (!replay.deserialize(data)) {
        return false;
    }
    out << "seed           " << replay.getSeed() << "\nversion        " << text(replay.getVersion())
        << "\ndungeon script " << text(replay.getDungeonScript()) << "\nplayer name    " << text(replay.getPlayerName())
        << "\ntime stamp     " << replay.getTimeStamp() << "\nframes         " << replay.getFrames().size()
        << "\nresult score   " << replay.getResult().score << "\n";
    return true;
}

bool describeOld(const std::vector<uint8_t>& file, std::ostream& out) {
    OxSerializer data;
    data.writeBlock(file.data(), file.size());
    CSaveDataController::scrambleBytes(data.getBuffer().data(), data.getBuffer().size());
    data.setWriting(false);
    CSaveDataController::Header header{};
    data.readBlock(header.data(), header.size());
    printHeader(out, header, file.size());
    printGlobals(data, out);
    int32_t money = 0;
    int32_t equipment[3] = {};
    data.read32(money);
    for (int32_t& index : equipment) {
        data.read32(index);
    }
    out << "money          " << money << "\nequipment      weapon " << equipment[0] << ", shield " << equipment[1]
        << ", amulet " << equipment[2] << "\nplayer:\n";
    if (!printActorStart(data, out, true)) {
        return false;
    }
    Fenwarrow::Actor::OldCondition::CConditionController conditions(nullptr);
    if (!conditions.serialize(data)) {
        return false;
    }
    out << "  old conditions (dropped on migration):";
    for (std::size_t type = 0; type < Fenwarrow::Actor::OldCondition::CConditionController::kConditionCount; ++type) {
        if (auto* counter =
                dynamic_cast<Fenwarrow::Actor::OldCondition::CCounterCondition*>(&conditions.getCondition(type))) {
            if (counter->getCounter() != 0) {
                out << " [" << type << "] counter " << counter->getCounter();
            }
        }
    }
    out << "\n";
    printRemaining(data, out, "items, sprites, script data, storage, settings");
    return !data.hasReadFailed();
}

std::vector<uint8_t> readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

bool describeFile(const std::string& path, std::ostream& out, std::ostream& error) {
    if (!std::filesystem::is_regular_file(path)) {
        error << path << ": no such file\n";
        return false;
    }
    const std::vector<uint8_t> file = readWhole(path);
    if (file.size() < CSaveDataController::kHeaderBytes) {
        error << path << ": shorter than the 16-byte header (" << file.size() << " bytes)\n";
        return false;
    }
    if ((file[4] ^ CSaveDataController::kScrambleKey) == CSaveDataController::kOldVersion) {
        if (!describeOld(file, out)) {
            error << path << ": the old-format body ends early or is damaged\n";
            return false;
        }
        return true;
    }
    OxSerializer data;
    CSaveDataController container;
    const std::u16string absolute = Orvex::System::widen(std::filesystem::absolute(path).string());
    if (!container.readContainer(data, absolute)) {
        printHeader(out, container.getHeader(), file.size());
        error << path << ": the body cannot be decoded: " << container.getLastError() << "\n";
        return false;
    }
    printHeader(out, container.getHeader(), file.size());
    out << "body           " << data.getBuffer().size() << " bytes after decoding\n";
    const std::string name = std::filesystem::path(path).filename().string();
    bool ok = false;
    if (name.rfind("c001", 0) == 0) {
        ok = describeSuspend(data, out);
    } else if (name.ends_with(".lrd") || name.ends_with(".tmp")) {
        ok = describeReplay(data, out);
    } else {
        ok = describeCommon(data, out);
    }
    if (!ok) {
        error << path << ": the body ends early or holds a count it cannot hold\n";
    }
    return ok;
}

std::vector<uint8_t> makeOldSample(const OldSample& sample) {
    OxSerializer data;
    const uint8_t header[16] = {'H', 'E', 'R', 'O', 0, 0x5A};
    data.writeBlock(header, sizeof(header));
    for (int i = 0; i < 1024; ++i) {
        data.writeByte(i == 0 || i == 100 ? 1 : 0);
    }
    for (int i = 0; i < 1024; ++i) {
        data.write32(i == 20 ? 42 : 0);
    }
    for (int i = 0; i < 1024; ++i) {
        data.write32(i == 3 ? 0.5f : 0.0f);
    }
    data.write32(sample.money);
    data.write32(sample.weaponIndex);
    data.write32(-1);
    data.write32(-1);

    // The player: folder, type 1, motion lock, cell-object part, status.
    data.writeWString(u"Actor/Player/HERO/");
    data.write32(1u);
    data.writeByte(0);
    data.writeByte(1);
    data.writeWString(u"");
    data.write32(1.0f);
    Fenwarrow::Actor::CActorStatus status;
    status.setLevel(3);
    status.setMaxLife(30.0f);
    status.setLife(25.0f);
    uint8_t statusBytes[Fenwarrow::SaveRecords::kActorStatusBytes];
    Fenwarrow::SaveRecords::encodeActorStatus(status, statusBytes);
    data.writeBlock(statusBytes, sizeof(statusBytes));
    // Conditions that were on when the old release saved: the migration drops them.
    Fenwarrow::Actor::OldCondition::CConditionController conditions(nullptr);
    for (std::size_t type : {6u, 13u}) {
        dynamic_cast<Fenwarrow::Actor::OldCondition::CCounterCondition&>(conditions.getCondition(type)).setCounter(5);
    }
    conditions.serialize(data);
    const auto writeItem = [&data](uint32_t id) {
        data.write32(id);
        data.writeByte(1);
        data.writeWString(u"");
        data.write32(1.0f);
        const uint8_t status[Fenwarrow::SaveRecords::kItemStatusBytes] = {};
        data.writeBlock(status, sizeof(status));
        const uint8_t weights[Fenwarrow::SaveRecords::kItemWeightsBytes] = {};
        data.writeBlock(weights, sizeof(weights));
        data.write32(0u);
    };
    data.write32(static_cast<uint32_t>(sample.playerItems.size()));
    for (uint32_t id : sample.playerItems) {
        writeItem(id);
    }
    for (int i = 0; i < 4; ++i) {
        Orvex::MossbellLib::OxMADObject().serialize(data);
    }
    for (int32_t value : sample.playerScriptData) {
        data.write32(value);
    }
    for (int32_t category = 0; category < 14; ++category) {
        const auto count = std::count_if(sample.storage.begin(), sample.storage.end(),
                                         [category](const auto& entry) { return entry.first == category; });
        data.write32(static_cast<uint32_t>(count));
        for (const auto& [where, id] : sample.storage) {
            if (where == category) {
                writeItem(id);
            }
        }
    }
    Fenwarrow::CSettingDataManager settings;
    Fenwarrow::setSettingText(settings.getDungeonSetting().scriptPath, u"Dungeon/DEMO10/00/00/001.lua");
    Fenwarrow::setSettingText(settings.getWorldMapSetting().nextDungeonScriptPath, u"Dungeon/DEMO10/00/00/001.lua");
    Fenwarrow::serializeDungeonSetting(data, settings.getDungeonSetting());
    Fenwarrow::serializePathSetting(data, settings.getADVSetting());
    Fenwarrow::serializePathSetting(data, settings.getMovieSetting());
    Fenwarrow::serializeWorldMapSetting(data, settings.getWorldMapSetting());
    // The old result record: three 256-unit texts, the last floor and four flags.
    uint8_t result[1544] = {};
    const std::u16string floorName = u"はじまりの洞窟";
    for (std::size_t i = 0; i < floorName.size(); ++i) {
        result[1028 + 2 * i] = static_cast<uint8_t>(floorName[i] & 0xFF);
        result[1028 + 2 * i + 1] = static_cast<uint8_t>(floorName[i] >> 8);
    }
    result[1024] = 4;
    result[1541] = 1;
    data.writeBlock(result, sizeof(result));
    Fenwarrow::serializeDungeonSetting(data, settings.getDungeonSetting());

    std::vector<uint8_t> bytes = data.getBuffer();
    CSaveDataController::scrambleBytes(bytes.data(), bytes.size());
    return bytes;
}

bool writeOldSample(const std::string& path, const OldSample& sample, std::ostream& error) {
    const std::vector<uint8_t> bytes = makeOldSample(sample);
    std::error_code ignored;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), ignored);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        error << path << ": the old sample save cannot be written\n";
        return false;
    }
    return true;
}

}  // namespace Orvex::Tools::SaveTool
