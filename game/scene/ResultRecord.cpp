#include "game/scene/ResultRecord.h"

#include <cstring>

#include <boost/regex.hpp>

#include "engine/system/OxStringConvert.h"
#include "engine/system/OxWideFormat.h"
#include "game/gamedata/CGameDataManager.h"

namespace Fenwarrow::Scene {

namespace {

std::u16string fieldText(const char16_t (&field)[CResultInfo::kTextLength]) {
    std::size_t length = 0;
    while (length < CResultInfo::kTextLength && field[length] != u'\0') {
        ++length;
    }
    return std::u16string(field, length);
}

// The x at which a line of that text starts so that it sits centred in the window. The
// arithmetic is unsigned as the window expects; lines are far shorter than 25 characters.
uint32_t centredX(const std::u16string& line) {
    return 385u - 15u * static_cast<uint32_t>(stripMarkupTags(line).size());
}

std::u16string killCause(const std::u16string& source, const std::u16string& damage) {
    if (source.empty() || stripMarkupTags(source).empty()) {
        return damage.empty() ? u"腹ぺこ" : damage + u"の効果";
    }
    return u"<0:COLOR>" + source + u"</COLOR>の" + (damage.empty() ? u"攻撃" : damage);
}

}  // namespace

const CResultInfo* findRankingRecord(const CGameDataManager& gameData, uint32_t index) {
    constexpr auto kPerList = static_cast<uint32_t>(CGameDataManager::kRankingCount);
    const CGameDataManager::Ranking* lists[] = {&gameData.getRankingByScore(), &gameData.getRankingByTime(),
                                                &gameData.getRankingByTurns()};
    if (index >= kPerList * 3) {
        return nullptr;
    }
    return &(*lists[index / kPerList])[index % kPerList];
}

std::u16string stripMarkupTags(const std::u16string& text) {
    std::string narrowText;
    if (!Orvex::System::toMultiByteString(text, narrowText)) {
        return {};
    }
    static const boost::regex kTag("<[^>]+>");
    const std::string stripped = boost::regex_replace(narrowText, kTag, "");
    std::u16string result;
    Orvex::System::toWideString(stripped, result);
    return result;
}

void resetResultRecord(CResultInfo& record) {
    // valid with its padding, score and money: the first three words.
    std::memset(static_cast<void*>(&record), 0, 12);
    std::memset(&record.status, 0, sizeof record.status);
    for (char16_t* field : {record.playerName, record.text1, record.text2, record.weaponText, record.shieldText,
                            record.amuletText, record.text3}) {
        std::memset(field, 0, 128);
    }
    std::memset(record.flags, 0, sizeof record.flags);
    record.value = 0;
    record.playTime = 0.0f;
    record.turnCount = 0;
    record.cleared = 0;
    std::memset(record.trailingText, 0, 128);
}

int32_t computeResultScore(bool r30, bool r99, bool tt23, int32_t lastFloor, int32_t money, uint32_t itemPrices) {
    uint32_t score = 0;
    if (r30) {
        score += 10000u;
    }
    if (r99) {
        score += 1000000u;
    }
    if (tt23) {
        score += 1000000u;
    }
    score += static_cast<uint32_t>(lastFloor) * 5000u - 5000u;
    score += static_cast<uint32_t>(money);
    score += itemPrices;
    return static_cast<int32_t>(score);
}

bool isResultCleared(const CResultInfo& record) {
    return record.flags[kRecordR30Cleared] != 0 || record.flags[kRecordR99Cleared] != 0 || record.cleared != 0;
}

std::u16string resultBodyText(const CResultInfo& record) {
    using Orvex::System::formatWide;
    const std::u16string name = fieldText(record.playerName);
    const std::u16string floor = fieldText(record.text3);
    const int32_t number = record.value;
    const std::u16string floorNumber = number > 0 ? formatWide(u"<1:COLOR>%d</COLOR>", number) + u"F" : u"";
    const std::u16string head = formatWide(u"<0:COLOR>%s</COLOR>は<3:COLOR>%s</COLOR>", name, floor) + floorNumber;
    std::u16string first;
    std::u16string second;
    if (record.flags[kRecordGaveUp] != 0) {
        first = head + u"にて、";
        second = u"挑戦を断念した！";
    } else if (record.flags[kRecordReturned] != 0) {
        first = head + u"より、";
        second = u"帰還した！";
    } else if (!isResultCleared(record)) {
        first = head + u"にて、";
        second = record.flags[kRecordMeltdown] != 0
                     ? u"核の炎に包まれた。"
                     : killCause(fieldText(record.text1), fieldText(record.text2)) + u"で倒れた。";
    } else {
        first = u"<0:COLOR>" + name + u"</COLOR>は<3:COLOR>" + floor + u"</COLOR>を";
        second = u"無事にクリアした！";
    }
    return formatWide(u"<#%d:POSX>%s\n<#%d:POSX>%s", centredX(first), first, centredX(second), second);
}

std::u16string statusBodyText(const CResultInfo& record) {
    using Orvex::System::formatWide;
    std::u16string timeHead;
    std::u16string time;
    std::u16string timeEnd;
    if (record.playTime > 0.0f) {
        const auto seconds = static_cast<uint32_t>(record.playTime);
        timeHead = u"経過時間<#180.0:POSX>";
        time = formatWide(u"%02d:%02d:%02d", seconds / 3600u, seconds / 60u % 60u, seconds % 60u);
        timeEnd = u"\n";
    }
    return formatWide(
        u"レベル<#180.0:POSX><1:COLOR>%d</COLOR><#360.0:POSX>経験値<#460.0:POSX><1:COLOR>%d</COLOR>\n"
        u"ＨＰ<#180.0:POSX><1:COLOR>%d</COLOR><#360.0:POSX>ちから<#460.0:POSX><1:COLOR>%d/%d</COLOR>\n"
        u"所持金<#180.0:POSX><1:COLOR>%d</COLOR><#360.0:POSX>スコア<#460.0:POSX><1:COLOR>%d</COLOR>\n"
        u"%s%s%s武器<#180.0:POSX>%s\n防具<#180.0:POSX>%s\nお守り<#180.0:POSX>%s\n",
        record.status.level, record.status.exp, static_cast<int32_t>(record.status.life), record.status.force,
        record.status.maxForce, record.money, record.score, timeHead, time, timeEnd, fieldText(record.weaponText),
        fieldText(record.shieldText), fieldText(record.amuletText));
}

}  // namespace Fenwarrow::Scene
