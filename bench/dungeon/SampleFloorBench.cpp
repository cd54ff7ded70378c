// The sample game's first DEMO10 floor, built from the data in the run folder with the game's
// own modules, scripts and software device:
//   - BM_Demo10FloorSetup: entering the floor (the floor's initialize, then the worker's set-up:
//     dungeon and floor scripts, the generated map, chip textures, HUD and loading scripts, the
//     floor's items and its initial enemies), process CPU time;
//   - BM_ThirtyEnemyTurns: the turn controller handing out the turns of 30 enemies running their
//     "actor.lua" AI after the player's turn, each pushing one step;
//   - BM_ThirtyEnemyTurnFrame: the whole floor update of the frame in which those turns are taken
//     (turns, map view, the steps' first frame, HUD and log);
//   - BM_Demo10PlayerFrame: the frame the player sees while it is its turn on that busy floor
//     (floor update, map view with its chip layers, 31 actors and the floor's items, darkness,
//     mini-map, HUD script and a full message log, render queue, present);
//   - BM_Demo10PlaybackFrameAt16x: one displayed frame of a replay played at the highest speed on
//     that floor: 16 update steps, in which the game's player layer walks and attacks by the
//     replay's keys and the 30 enemies take their turns, and one draw.
// Run pinned to one core, e.g.
//   taskset -c 3 bench_sample_floor --benchmark_repetitions=9 --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/dungeon/SampleGame.h"
#include "engine/input/IOrvexKeyBase.h"
#include "game/actor/CEnemy.h"
#include "game/actor/CPlayer.h"
#include "game/actor/IPlayerControl.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/replay/CReplayInfo.h"

namespace {

using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::MapPoint;
using Orvex::Bench::SampleGame;

constexpr const char16_t* kFloorScript = u"Dungeon/DEMO10/00/00/001.lua";
constexpr int kEnemies = 30;
// Frames any wait of this program may take before it gives up (a minute of play).
constexpr int kFrameBound = 3600;

std::string runDir() {
    const char* given = std::getenv("ORVEX_RUN_DIR");
    return given != nullptr ? given : ORVEX_RUN_DIR;
}

void askForFloor(SampleGame& game) {
    auto& setting = game.settings().getDungeonSetting();
    setting.resume = false;
    setting.scriptPath.fill(u'\0');
    std::copy_n(kFloorScript, std::char_traits<char16_t>::length(kFloorScript), setting.scriptPath.begin());
}

// The worker has run the set-up; false after ten seconds.
bool waitForWorker(const CDungeon& floor) {
    for (int i = 0; i < 10000 && !floor.isIdle(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return floor.isIdle();
}

// One frame of the game's update: screen effects, scene layers, the floor.
void updateFrame(SampleGame& game, CDungeon& floor) {
    game.getScreenEffects()->update(game.getRenderer(), game.getFrameTime());
    game.getSceneLayerManager()->update();
    floor.update();
}

// One frame of the game's drawing, presented.
void drawFrame(SampleGame& game, CDungeon& floor) {
    Orvex::Graphics::IOrvexRenderer* renderer = game.getRenderer();
    Orvex::Graphics::OxRenderQueue& queue = game.renderQueue();
    queue.clear();
    game.getSceneLayerManager()->draw();
    floor.draw();
    renderer->clear(5, 0xFF000000u, 1.0f, 0);
    renderer->beginScene();
    renderer->getSpriteDraw()->begin();
    queue.sort();
    queue.draw();
    renderer->getSpriteDraw()->end();
    renderer->endScene();
    renderer->present();
}

MapPoint pointOf(const Fenwarrow::Dungeon::CCellObject& object) {
    const Fenwarrow::Dungeon::CMapCell* cell = object.getCell();
    return cell != nullptr ? MapPoint{cell->x, cell->y} : MapPoint{-1, -1};
}

// The player's control while the benchmark plays: when told, the player waits a turn (ends it
// without acting), as the control layer does for the wait key.
class WaitingPlayer : public Fenwarrow::Actor::IPlayerControl {
public:
    explicit WaitingPlayer(Fenwarrow::Actor::CActor& player) : player_(player) {}
    void onTurn(Fenwarrow::Dungeon::IActionManager&) override {
        if (waitNow) {
            waitNow = false;
            player_.setTurnState(0);
        }
    }
    void clearContinuousMove() override {}
    bool isDashing() const override { return false; }

    bool waitNow = false;

private:
    Fenwarrow::Actor::CActor& player_;
};

// DEMO10's first floor entered and played to the player's first turn, with 30 enemies of the
// floor's kinds placed in its rooms at least three cells from the player (none can reach it in
// one turn, so each takes a step), the message log full.
class BusyDemoFloor {
public:
    // `byReplay`: the floor gets the game's player layer, which reads a replay's keys once
    // playerLayerTakesOver is called (until then the benchmark gives the player's turns).
    explicit BusyDemoFloor(bool byReplay = false) : game_(runDir()) {
        if (!game_.error().empty()) {
            error_ = game_.error();
            return;
        }
        if (byReplay) {
            game_.enableReplay();
        }
        askForFloor(game_);
        floor_ = std::make_unique<CDungeon>(game_);
        floor_->setItemFactory(game_.getItemFactory());
        game_.setFloor(floor_.get());
        if (!floor_->initialize() || !waitForWorker(*floor_)) {
            error_ = "the floor is not set up";
            return;
        }
        for (int i = 0; i < kFrameBound && !floor_->isInMain(); ++i) {
            updateFrame(game_, *floor_);
        }
        player_ = floor_->getPlayer();
        if (!floor_->isInMain() || player_ == nullptr || floor_->getEnemyList().empty() ||
            floor_->getHudScript() == nullptr || !floor_->getHudVisible()) {
            error_ = "the floor does not come into play";
            return;
        }
        auto* hero = dynamic_cast<Fenwarrow::Actor::CPlayer*>(player_.get());
        if (hero == nullptr) {
            error_ = "the floor's player is no player";
            return;
        }
        control_ = std::make_unique<WaitingPlayer>(*hero);
        hero->setPlayerLayer(control_.get());
        playerPoint_ = pointOf(*player_);
        playerStatus_ = player_->getStatus();
        // The floor's own initial enemies go: the benchmark places its own.
        std::vector<std::shared_ptr<Fenwarrow::Actor::CActor>> first;
        for (std::size_t i = 0; i < floor_->getTurnController().getParticipantCount(); ++i) {
            first.push_back(floor_->getTurnController().getActor(i));
        }
        for (const auto& actor : first) {
            if (actor != player_) {
                floor_->removeActor(actor.get());
            }
        }
        const auto& kinds = floor_->getEnemyList();
        for (int n = 0, tries = 0; n < kEnemies && tries < 10000; ++tries) {
            const MapPoint at = floor_->getRandomRoomPoint(floor_->getRandomRoom(), true);
            if (std::max(std::abs(at.x - playerPoint_.x), std::abs(at.y - playerPoint_.y)) < 3) {
                continue;
            }
            auto enemy = std::make_shared<Fenwarrow::Actor::CEnemy>(game_);
            if (!enemy->setup(kinds[static_cast<std::size_t>(n) % kinds.size()]) ||
                !floor_->isMovable(enemy.get(), at, false)) {
                continue;
            }
            floor_->addTurnParticipant(enemy);
            floor_->forcePutCellObject(enemy.get(), at);
            enemy->callEvent("onArrival");
            enemies_.push_back(enemy);
            homes_.push_back(at);
            ++n;
        }
        if (static_cast<int>(enemies_.size()) != kEnemies) {
            error_ = "the floor's rooms do not take 30 enemies";
            return;
        }
        for (int i = 0; i < 40; ++i) {
            floor_->getLogManager().addLogMessage(u"スライムの攻撃！ プレイヤーに 3 のダメージ。");
        }
        // One round lets the newcomers join the order.
        if (!waitForPlayersTurn() || (endPlayersTurn(), !waitForPlayersTurn())) {
            error_ = "the enemies' turns do not come back to the player: " + describe();
        }
    }

    ~BusyDemoFloor() {
        if (auto* hero = dynamic_cast<Fenwarrow::Actor::CPlayer*>(player_.get())) {
            hero->setPlayerLayer(nullptr);
        }
        enemies_.clear();
        floor_.reset();
        game_.setFloor(nullptr);
    }

    const std::string& error() const { return error_; }
    SampleGame& game() { return game_; }
    CDungeon& floor() { return *floor_; }

    // The player waits at its next chance.
    void endPlayersTurn() { control_->waitNow = true; }

    // The floor's own player layer takes the player's turns from now on; false without one.
    bool playerLayerTakesOver() {
        auto* layer = dynamic_cast<Fenwarrow::Actor::IPlayerControl*>(floor_->getPlayerLayer());
        auto* hero = dynamic_cast<Fenwarrow::Actor::CPlayer*>(player_.get());
        if (layer == nullptr || hero == nullptr) {
            return false;
        }
        hero->setPlayerLayer(layer);
        return true;
    }

    // Life and hunger back to full and the turn count back at its start, so that a long play
    // neither kills the player nor reaches the floor's turn limit.
    void keepPlayerGoing() {
        floor_->getTurnController().setTurnCount(2);
        auto& status = player_->getStatus();
        status.setLife(status.getMaxLife());
        status.setHungerPoint(status.getMaxHungerPoint());
    }

    // Frames until the actions are done and the turn is the player's again; false past the
    // bound.
    bool waitForPlayersTurn() {
        for (int i = 0; i < kFrameBound; ++i) {
            const auto& current = floor_->getTurnController().getCurrent();
            if (!control_->waitNow && current == player_ && player_->getTurnState() != 0 &&
                !floor_->getActionManager()->isBusy()) {
                return true;
            }
            updateFrame(game_, *floor_);
        }
        return false;
    }

    // Where the order stands, for a failure's message.
    std::string describe() const {
        const auto& turns = floor_->getTurnController();
        return "turn " + std::to_string(turns.getTurnCount()) + ", current " +
               std::to_string(turns.indexOf(turns.getCurrent().get())) + " of " +
               std::to_string(turns.getParticipantCount()) + ", player's state " +
               std::to_string(player_->getTurnState()) + ", actions " +
               (floor_->getActionManager()->isBusy() ? "busy" : "idle");
    }

    // Everybody back on the cell where the benchmark put it, and the turn count back at its
    // start (the floor's turn limit would end the play).
    void goHome() {
        floor_->getTurnController().setTurnCount(2);
        // Nor may the player starve from a thousand rounds of waiting.
        player_->getStatus() = playerStatus_;
        floor_->forcePutCellObject(player_.get(), playerPoint_);
        for (std::size_t i = 0; i < enemies_.size(); ++i) {
            floor_->forcePutCellObject(enemies_[i].get(), homes_[i]);
        }
    }

    // Enemies no longer on their home cell.
    int movedEnemies() const {
        int moved = 0;
        for (std::size_t i = 0; i < enemies_.size(); ++i) {
            const MapPoint at = pointOf(*enemies_[i]);
            moved += at.x != homes_[i].x || at.y != homes_[i].y ? 1 : 0;
        }
        return moved;
    }

private:
    SampleGame game_;
    std::string error_;
    std::unique_ptr<CDungeon> floor_;
    std::shared_ptr<Fenwarrow::Actor::CActor> player_;
    std::unique_ptr<WaitingPlayer> control_;
    MapPoint playerPoint_{};
    Fenwarrow::Actor::CActorStatus playerStatus_;
    std::vector<std::shared_ptr<Fenwarrow::Actor::CActor>> enemies_;
    std::vector<MapPoint> homes_;
};

void BM_Demo10FloorSetup(benchmark::State& state) {
    SampleGame game(runDir());
    if (!game.error().empty()) {
        state.SkipWithError(game.error().c_str());
        return;
    }
    askForFloor(game);
    std::size_t actors = 0;
    std::size_t items = 0;
    int32_t rooms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto floor = std::make_unique<CDungeon>(game);
        floor->setItemFactory(game.getItemFactory());
        game.setFloor(floor.get());
        state.ResumeTiming();
        const bool started = floor->initialize();
        const bool done = started && waitForWorker(*floor);
        state.PauseTiming();
        actors = floor->getTurnController().getParticipantCount();
        rooms = floor->getMap().getRoomCount();
        items = floor->getItems().size();
        floor.reset();
        game.setFloor(nullptr);
        state.ResumeTiming();
        if (!done || rooms == 0 || actors < 2) {
            state.SkipWithError("the floor was not set up");
            break;
        }
    }
    state.counters["actors"] = static_cast<double>(actors);
    state.counters["rooms"] = static_cast<double>(rooms);
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_Demo10FloorSetup)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The round of enemy turns after the player's, alone (`frame` clear) or as the floor update of
// its frame; the steps are finished and everybody put back between rounds, untimed.
void runRounds(benchmark::State& state, bool frame) {
    BusyDemoFloor busy;
    if (!busy.error().empty()) {
        state.SkipWithError(busy.error().c_str());
        return;
    }
    CDungeon& floor = busy.floor();
    int moved = kEnemies;
    int rounds = 0;
    double steps = 0;
    int whole = 0;
    for (auto _ : state) {
        ++rounds;
        busy.endPlayersTurn();
        if (frame) {
            floor.update();
        } else {
            floor.getTurnController().update(*floor.getActionManager());
        }
        state.PauseTiming();
        // Whether the order came round to the player within the timed call.
        whole += floor.getTurnController().getCurrent() == floor.getPlayer() ? 1 : 0;
        const bool back = busy.waitForPlayersTurn();
        const int stepped = busy.movedEnemies();
        moved = std::min(moved, stepped);
        steps += stepped;
        busy.goHome();
        state.ResumeTiming();
        if (!back) {
            const std::string why = "the turn did not come back to the player after round " + std::to_string(rounds) +
                                    ": " + busy.describe();
            state.SkipWithError(why.c_str());
            break;
        }
    }
    // The fewest enemies that stepped in one round (30 when each took its step).
    state.counters["stepped"] = static_cast<double>(moved);
    state.counters["stepped_mean"] = rounds > 0 ? steps / rounds : 0.0;
    // Rounds whose 30 turns were all handed out within the timed call.
    state.counters["whole_rounds"] = rounds > 0 ? static_cast<double>(whole) / rounds : 0.0;
}

void BM_ThirtyEnemyTurns(benchmark::State& state) { runRounds(state, false); }
BENCHMARK(BM_ThirtyEnemyTurns)->Unit(benchmark::kMillisecond);

void BM_ThirtyEnemyTurnFrame(benchmark::State& state) { runRounds(state, true); }
BENCHMARK(BM_ThirtyEnemyTurnFrame)->Unit(benchmark::kMillisecond);

void BM_Demo10PlayerFrame(benchmark::State& state) {
    BusyDemoFloor busy;
    if (!busy.error().empty()) {
        state.SkipWithError(busy.error().c_str());
        return;
    }
    std::size_t queued = 0;
    int frames = 0;
    for (auto _ : state) {
        // A new line each second keeps the log window (two lines, shown 3.1 s) on screen.
        if (frames++ % 60 == 0) {
            busy.floor().getLogManager().addLogMessage(u"スライムは様子をうかがっている。");
        }
        updateFrame(busy.game(), busy.floor());
        drawFrame(busy.game(), busy.floor());
        queued = busy.game().renderQueue().size();
    }
    state.counters["queued"] = static_cast<double>(queued);
}
BENCHMARK(BM_Demo10PlayerFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The buttons of a recording: the replay's keys are made by the game's own key table from them.
class ScriptedButtons : public Orvex::InputSystem::IOrvexKeyBase {
public:
    void clearAllKeys() override { down.fill(false); }
    void clearKey(uint32_t button) override {
        if (button < down.size()) {
            down[button] = false;
        }
    }
    bool isDown(uint32_t button) override { return button < down.size() && down[button]; }
    bool isPushed(uint32_t) override { return false; }
    bool isReleased(uint32_t) override { return false; }
    uint32_t getKeyCount() override { return static_cast<uint32_t>(down.size()); }

    std::array<bool, Fenwarrow::Replay::kReplayKeyCount> down{};
};

// A recorded walk of `count` input steps: each direction in turn (right, down, left, up) held for
// seven steps, which moves the player up to four cells, then a step with no key, an attack and
// another step with no key.
Fenwarrow::Replay::CReplayInfo walkingReplay(uint32_t count) {
    constexpr uint32_t kDirections[] = {
        Fenwarrow::SceneLayer::CPlayerLayer::kKeyRight, Fenwarrow::SceneLayer::CPlayerLayer::kKeyDown,
        Fenwarrow::SceneLayer::CPlayerLayer::kKeyLeft, Fenwarrow::SceneLayer::CPlayerLayer::kKeyUp};
    constexpr uint32_t kHeld = 7;
    constexpr uint32_t kSide = kHeld + 3;
    ScriptedButtons buttons;
    Orvex::InputSystem::OxVirtualKey keys;
    keys.addDevice(&buttons);
    for (uint32_t key = 0; key < Fenwarrow::Replay::kReplayKeyCount; ++key) {
        keys.bind(key, 0, key);
    }
    Fenwarrow::Replay::CReplayInfo replay;
    for (uint32_t step = 0; step < count; ++step) {
        const uint32_t side = (step / kSide) % std::size(kDirections);
        const uint32_t at = step % kSide;
        buttons.clearAllKeys();
        buttons.down[kDirections[side]] = at < kHeld;
        buttons.down[Fenwarrow::SceneLayer::CPlayerLayer::kKeyAttack] = at == kHeld + 1;
        keys.update();
        replay.appendFrame(keys, static_cast<float>(step) / 60.0f);
    }
    return replay;
}

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Plays the replay from its start at the highest speed, as the title starts a playback.
void startPlayback(SampleGame& game, const Fenwarrow::Replay::CReplayInfo& recorded) {
    using Fenwarrow::Replay::CReplayController;
    CReplayController& replay = game.enableReplay();
    replay.reset();
    *replay.getInfo() = recorded;
    game.getRandomGenerator().seed(recorded.getSeed());
    replay.setMode(CReplayController::kModePlayback);
    replay.start();
    replay.setSpeed(CReplayController::kSpeedCount - 1);
}

void BM_Demo10PlaybackFrameAt16x(benchmark::State& state) {
    using Fenwarrow::Replay::CReplayController;
    constexpr uint32_t kSteps = 16;
    BusyDemoFloor busy(true);
    if (!busy.error().empty()) {
        state.SkipWithError(busy.error().c_str());
        return;
    }
    if (!busy.playerLayerTakesOver()) {
        state.SkipWithError("the floor has no player layer");
        return;
    }
    // Ten minutes of input steps: the playback seldom has to start again.
    const Fenwarrow::Replay::CReplayInfo recorded = walkingReplay(36000);
    SampleGame& game = busy.game();
    CDungeon& floor = busy.floor();
    CReplayController& replay = game.enableReplay();
    startPlayback(game, recorded);
    uint64_t keyReads = 0;
    uint64_t moves = 0;
    uint64_t turns = 0;
    uint64_t frames = 0;
    uint32_t restarts = 0;
    uint32_t speed = 0;
    double slowest = 0.0;
    for (auto _ : state) {
        const double started = processSeconds();
        const uint32_t readBefore = replay.getFrameIndex();
        const uint32_t turnBefore = floor.getTurnController().getTurnCount();
        const MapPoint at = pointOf(*floor.getPlayer());
        for (uint32_t step = 0; step < kSteps; ++step) {
            game.getLiveVirtualKey().update();
            updateFrame(game, floor);
        }
        drawFrame(game, floor);
        const double spent = processSeconds() - started;
        state.PauseTiming();
        slowest = std::max(slowest, spent);
        ++frames;
        keyReads += replay.getFrameIndex() - readBefore;
        const MapPoint now = pointOf(*floor.getPlayer());
        moves += now.x != at.x || now.y != at.y ? 1 : 0;
        turns += floor.getTurnController().getTurnCount() - turnBefore;
        speed = replay.getSpeedStep();
        if (!floor.isInMain()) {
            state.SkipWithError(("the floor left play: " + busy.describe()).c_str());
            break;
        }
        busy.keepPlayerGoing();
        if (replay.getState() != CReplayController::kStateRunning) {
            startPlayback(game, recorded);
            ++restarts;
        }
        state.ResumeTiming();
    }
    const double shown = frames > 0 ? static_cast<double>(frames) : 1.0;
    // Per displayed frame: the replay's input steps the player layer read, the frames in which the
    // player went to another cell, and the floor's turns.
    state.counters["key_reads"] = static_cast<double>(keyReads) / shown;
    state.counters["moved"] = static_cast<double>(moves) / shown;
    state.counters["turns"] = static_cast<double>(turns) / shown;
    // The process CPU time of the slowest displayed frame, in milliseconds.
    state.counters["slowest_ms"] = slowest * 1000.0;
    state.counters["speed_steps"] = speed;
    state.counters["restarts"] = restarts;
}
BENCHMARK(BM_Demo10PlaybackFrameAt16x)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Every kind of the sample set made by ID in turn, as a floor's set-up makes them: its "setup.lua"
// in a fresh state with the game's modules, the sprite built through the real MossbellLib on the
// software device. The item sheet stays loaded between items, as it does in the game.
void BM_CreateSampleItemWithSprite(benchmark::State& state) {
    SampleGame game(runDir());
    if (!game.error().empty()) {
        state.SkipWithError(game.error().c_str());
        return;
    }
    Fenwarrow::Item::CItemFactory& factory = *game.getItemFactory();
    const std::vector<uint32_t> ids = factory.getItemIDList();
    std::vector<std::shared_ptr<Fenwarrow::Item::CItem>> kept;
    for (const uint32_t id : ids) {
        kept.push_back(factory.createItem(id));
        if (kept.back() == nullptr) {
            state.SkipWithError("a sample item cannot be made");
            return;
        }
    }
    std::size_t next = 0;
    for (auto _ : state) {
        auto item = factory.createItem(ids[next]);
        benchmark::DoNotOptimize(item.get());
        next = (next + 1) % ids.size();
    }
    state.counters["kinds"] = static_cast<double>(ids.size());
}
BENCHMARK(BM_CreateSampleItemWithSprite)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace
