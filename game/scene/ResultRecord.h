#pragma once
// The result record of a finished dive and the texts the result scene shows of it.
#include <cstdint>
#include <string>

#include "game/gamedata/CResultInfo.h"

namespace Fenwarrow {
class CGameDataManager;
}

namespace Fenwarrow::Scene {

// The stored ranking record of that index over the three lists (score, time, turns, five
// each), or null for any other index.
const CResultInfo* findRankingRecord(const CGameDataManager& gameData, uint32_t index);

// Byte indices into CResultInfo::flags (record offsets 1612..1616); TT23 is CResultInfo::cleared.
enum ResultRecordFlag : std::size_t {
    kRecordGaveUp = 0,
    kRecordReturned = 1,
    kRecordR30Cleared = 2,
    kRecordR99Cleared = 3,
    kRecordMeltdown = 4,
};

// Removes every font mark-up tag ("<" up to the next ">") from the text; an empty text when
// the text cannot go through the narrow code page.
std::u16string stripMarkupTags(const std::u16string& text);

// Zeroes what a new record starts from: the first three words, the status, the first 128
// bytes of the name and of each text, the flags, floor, play time, counter, TT23 and the 128
// bytes after it. The rest of the record stays as it was.
void resetResultRecord(CResultInfo& record);

// 10000 for R30, 1000000 each for R99 and TT23, 5000 per floor below the first, the money and
// the prices of the items carried. The sum wraps as 32 bits, so the stored bytes are those of
// the unsigned sum; the score is compared and shown as the signed value of those bytes (a dive
// that ended on floor 0 scores below zero instead of above every other).
int32_t computeResultScore(bool r30, bool r99, bool tt23, int32_t lastFloor, int32_t money, uint32_t itemPrices);

bool isResultCleared(const CResultInfo& record);

// The two centred lines of how the dive ended.
std::u16string resultBodyText(const CResultInfo& record);
// The player's numbers, the play time (when above 0) and the equipment texts.
std::u16string statusBodyText(const CResultInfo& record);

}  // namespace Fenwarrow::Scene
