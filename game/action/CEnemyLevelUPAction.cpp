#include "game/action/CEnemyLevelUPAction.h"

#include "engine/io/OxStreamIO.h"
#include "game/action/CScriptingAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CEnemy.h"
#include "game/dungeon/CDungeon.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Action {

namespace {

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// The last name of a folder path, a trailing separator ignored.
std::u16string lastName(std::u16string path) {
    while (!path.empty() && isSeparator(path.back())) {
        path.pop_back();
    }
    std::size_t start = path.size();
    while (start > 0 && !isSeparator(path[start - 1])) {
        --start;
    }
    return path.substr(start);
}

// The folder holding the given one, a trailing separator ignored.
std::u16string parentOf(std::u16string path) {
    while (!path.empty() && isSeparator(path.back())) {
        path.pop_back();
    }
    std::size_t end = path.size();
    while (end > 0 && !isSeparator(path[end - 1])) {
        --end;
    }
    return path.substr(0, end);
}

std::u16string twoDigits(int32_t value) {
    std::u16string text;
    text += static_cast<char16_t>(u'0' + value / 10 % 10);
    text += static_cast<char16_t>(u'0' + value % 10);
    return text;
}

}  // namespace

CEnemyLevelUPAction::CEnemyLevelUPAction(IActionContext& context, Actor::CActor* actor, int32_t level)
    : context_(context), oldActor_(actor), level_(level), enabled_(actor != nullptr && actor->isAlive()) {
    if (actor != nullptr) {
        oldFolder_ = actor->getActorDirectory();
        oldLevel_ = actor->getStatus().getLevel();
    }
}

std::u16string CEnemyLevelUPAction::getVariantFolder(const std::u16string& actorFolder, int32_t level) {
    const std::u16string code = lastName(parentOf(actorFolder));
    return u"Actor/Enemy/" + code + u"/" + code + twoDigits(level) + u"/";
}

bool CEnemyLevelUPAction::hasVariant(const std::u16string& folder) const {
    Orvex::IO::StreamIO::IOrvexStreamReader& reader = context_.getGameContext().getArchiveReader();
    const bool found = reader.open(folder + u"setup.lua.lcd");
    reader.close();
    return found;
}

void CEnemyLevelUPAction::prepare() {
    if (!enabled_ || level_ < kMinLevel || level_ > kMaxLevel) {
        enabled_ = false;
        return;
    }
    std::u16string folder = getVariantFolder(oldFolder_, level_);
    while (!hasVariant(folder)) {
        if (--level_ < kMinLevel) {
            enabled_ = false;
            return;
        }
        folder = getVariantFolder(oldFolder_, level_);
    }
    if (oldLevel_ == level_) {
        enabled_ = false;
        return;
    }
    auto enemy = std::make_shared<Actor::CEnemy>(context_.getGameContext());
    if (!enemy->setup(folder)) {
        enabled_ = false;
        return;
    }
    auto inner = std::make_shared<CScriptingAction>(context_, kLevelUpScript, enemy.get());
    inner->prepare();
    newActor_ = std::move(enemy);
    inner_ = std::move(inner);
}

bool CEnemyLevelUPAction::swap() {
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    const Dungeon::CMapCell* cell = oldActor_->getCell();
    if (floor == nullptr || cell == nullptr) {
        return false;
    }
    const Dungeon::MapPoint point = cell->getPoint();
    const int32_t direction = oldActor_->getStatus().getDirection();
    const std::u16string oldName = oldActor_->getName();
    const int32_t oldLevel = oldActor_->getStatus().getLevel();
    const std::size_t slot = floor->getTurnController().indexOf(oldActor_);
    floor->removeActor(oldActor_);
    floor->insertTurnParticipant(newActor_, slot);
    // The old actor stood here, so the new one may too, whatever the cell's kind.
    if (!floor->forcePutCellObject(newActor_.get(), point)) {
        floor->removeActor(newActor_.get());
        return false;
    }
    newActor_->getStatus().setDirection(direction);
    newActor_->playMotion(u"Walk", false, true, true);
    newActor_->callEvent("onArrival");
    newActor_->setVisible(false);
    countdown_ = kShowDelay;
    Dungeon::CLogManager& log = floor->getLogManager();
    const bool lowered = oldLevel > newActor_->getStatus().getLevel();
    log.addLogMessage(u"<0:COLOR>" + oldName +
                      (lowered ? u"</COLOR>はレベルが下がって" : u"</COLOR>はレベルが上がって"));
    log.addLogMessage(u"<0:COLOR>" + newActor_->getName() + u"</COLOR>になった！");
    return true;
}

void CEnemyLevelUPAction::start() {
    if (!enabled_ || newActor_ == nullptr || Actor::CActor::findLiveActor(oldActor_) == nullptr ||
        !oldActor_->isAlive()) {
        setActive(false);
        return;
    }
    context_.playSystemSE(kLevelChangeSound);
    if (!swap()) {
        setActive(false);
        return;
    }
    inner_->start();
    innerStarted_ = true;
    setActive(true);
}

void CEnemyLevelUPAction::update() {
    if (!enabled_ || inner_ == nullptr) {
        setActive(false);
        return;
    }
    if (countdown_ < 1) {
        newActor_->setVisible(true);
    }
    --countdown_;
    inner_->update();
    setActive(inner_->isActive());
}

void CEnemyLevelUPAction::end() {
    if (enabled_ && innerStarted_) {
        // A flash shorter than the delay (or none at all) must not leave the new actor hidden.
        newActor_->setVisible(true);
        inner_->end();
    }
}

void CEnemyLevelUPAction::draw() {
    if (enabled_ && newActor_ != nullptr && newActor_->isVisible() && inner_ != nullptr) {
        inner_->draw();
    }
}

}  // namespace Fenwarrow::Action
