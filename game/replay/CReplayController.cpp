#include "game/replay/CReplayController.h"

#include <algorithm>
#include <ctime>

#include "engine/system/OxSystemFacade.h"
#include "engine/io/OxPathUtility.h"
#include "engine/system/OxStringConvert.h"
#include "engine/system/OxWideFormat.h"
#include "game/save/CSaveDataController.h"

namespace Fenwarrow::Replay {
namespace {

constexpr uint32_t kSpeedSteps[CReplayController::kSpeedCount] = {1, 2, 4, 8, 16};
constexpr char16_t kTempDirectory[] = u"Temp/";
constexpr char16_t kReplayDirectory[] = u"Replay/";
constexpr char16_t kBaseName[] = u"replay";

std::u16string timeNamedPath() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Orvex::System::formatWide(u"%s%s%04d%02d%02d%02d%02d%02d%s", kReplayDirectory, kBaseName,
                                     local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                     local.tm_sec, u".lrd");
}

}  // namespace

CReplayController::CReplayController(IReplayContext& context) : context_(context) { reset(); }

void CReplayController::reset() {
    clear();
    info_ = std::make_shared<CReplayInfo>(context_.getRandomGenerator(), context_.getPlayerName());
    if (Orvex::IO::fileExists(getChunkPath(0))) {
        recoverCutShortRun();
    }
    virtualKey_ = std::make_shared<CReplayVirtualKey>();
}

void CReplayController::clear() {
    info_.reset();
    virtualKey_.reset();
    speedStep_ = 1;
    mode_ = kModeOff;
    state_ = kStateStopped;
    frameIndex_ = 0;
    speedIndex_ = 0;
    chunkIndex_ = 0;
    recordedSteps_ = 0;
    mergedChunks_.clear();
}

bool CReplayController::start() {
    if (state_ == kStateStopped) {
        state_ = kStateRunning;
    }
    return true;
}

bool CReplayController::pause() {
    if (state_ == kStateRunning) {
        state_ = kStatePaused;
    }
    return true;
}

bool CReplayController::resume() {
    if (state_ == kStatePaused) {
        state_ = kStateRunning;
    }
    return true;
}

bool CReplayController::finish() {
    state_ = kStateFinished;
    return true;
}

bool CReplayController::stop() {
    state_ = kStateStopped;
    return true;
}

void CReplayController::setSpeed(uint32_t index) {
    if (mode_ == kModePlayback) {
        speedIndex_ = index % kSpeedCount;
    }
}

void CReplayController::update() {
    if (mode_ == kModeRecording) {
        recordStep();
    } else if (mode_ == kModePlayback && state_ == kStateRunning) {
        playStep();
    }
}

void CReplayController::recordStep() {
    virtualKey_ = std::make_shared<CReplayVirtualKey>(context_.getLiveVirtualKey());
    // After clear() there is no replay to record into until the next reset.
    if (!info_) {
        return;
    }
    info_->appendFrame(*virtualKey_, context_.getPlayTime());
    ++recordedSteps_;
    if (frameIndex_++ == kFramesPerChunk - 1) {
        frameIndex_ = 0;
        writeChunk();
    }
}

void CReplayController::writeChunk() {
    const std::u16string path = getChunkPath(chunkIndex_);
    if (!saveReplayFile(path)) {
        Orvex::IO::createDirectories(kTempDirectory);
        if (!saveReplayFile(path)) {
            // The frames stay in memory and go into this same chunk number at the next try, so
            // the chunks on disk never have a gap and nothing recorded is dropped.
            Orvex::System::errorOutput(path +
                                       u": the replay chunk could not be written; its frames are kept in memory");
            return;
        }
    }
    ++chunkIndex_;
    info_->getFrames().clear();
}

void CReplayController::playStep() {
    if (!virtualKey_) {
        virtualKey_ = std::make_shared<CReplayVirtualKey>();
    }
    if (const CReplayFrame* frame = getCurrentFrame()) {
        virtualKey_->loadFrame(*frame);
    }
    if (info_ && frameIndex_ < info_->getFrames().size()) {
        ++frameIndex_;
        speedStep_ = kSpeedSteps[speedIndex_];
    } else {
        state_ = kStateFinished;
        speedStep_ = 1;
    }
}

uint64_t CReplayController::getStepCount() const {
    if (mode_ == kModeRecording) {
        return recordedSteps_;
    }
    return mode_ == kModePlayback ? frameIndex_ : 0;
}

std::shared_ptr<CReplayVirtualKey> CReplayController::getVirtualKey() {
    if ((mode_ != kModeRecording && mode_ != kModePlayback) || !virtualKey_) {
        virtualKey_ = std::make_shared<CReplayVirtualKey>(context_.getLiveVirtualKey());
    }
    return virtualKey_;
}

const CReplayFrame* CReplayController::getCurrentFrame() const {
    if (!info_ || info_->getFrames().empty()) {
        return nullptr;
    }
    const auto& frames = info_->getFrames();
    return frameIndex_ < frames.size() ? &frames[frameIndex_] : &frames.back();
}

void CReplayController::recordFrame() {
    if (mode_ == kModeRecording && info_ && virtualKey_) {
        info_->appendFrame(*virtualKey_, context_.getPlayTime());
    }
}

std::u16string CReplayController::getChunkPath(uint32_t chunk) {
    return Orvex::System::formatWide(u"%s%s%06d%s", kTempDirectory, kBaseName, chunk, u".tmp");
}

std::u16string CReplayController::nextChunkPath() { return getChunkPath(chunkIndex_++); }

bool CReplayController::saveReplayFile(const std::u16string& path) {
    return info_ && Replay::saveReplayFile(*info_, path);
}

bool CReplayController::saveTimeNamed(const CReplayInfo& info) {
    if (Replay::saveReplayFile(info, timeNamedPath())) {
        return true;
    }
    Orvex::IO::createDirectories(kReplayDirectory);
    return Replay::saveReplayFile(info, timeNamedPath());
}

bool CReplayController::saveReplay() {
    if (!info_ || !saveTimeNamed(*info_)) {
        return false;
    }
    deleteMergedChunks();
    return true;
}

std::vector<std::u16string> CReplayController::collectChunks(CReplayInfo& target) {
    // Every chunk is decoded straight into one list sized for the chunks on disk, which a
    // run's worth of merging would otherwise copy again at each growth.
    uint32_t present = 0;
    while (present < kMaxChunks && Orvex::IO::fileExists(getChunkPath(present))) {
        ++present;
    }
    std::vector<CReplayFrame> collected;
    // No replay longer than the container holds can be written, so none is reserved for.
    const std::size_t writable = CSaveDataController::kMaxDataBytes / sizeof(CReplayFrameDisk);
    collected.reserve(std::min<std::size_t>(std::size_t{present} * kFramesPerChunk, writable) +
                      target.getFrames().size());
    std::vector<std::u16string> read;
    CReplayInfo first;
    for (uint32_t k = 0; k < present; ++k) {
        const std::u16string path = getChunkPath(k);
        const std::size_t before = collected.size();
        CReplayInfo chunk;
        if (!loadReplayChunk(chunk, collected, path)) {
            break;
        }
        // A chunk left behind by an earlier run (after a gap in the numbers) is not this run's.
        if (k == 0) {
            first.copyHeaderFrom(chunk);
        } else if (chunk.getSeed() != first.getSeed() || chunk.getTimeStamp() != first.getTimeStamp()) {
            collected.resize(before);
            break;
        }
        target.copyHeaderFrom(chunk);
        read.push_back(path);
    }
    // The frames recorded since the last chunk go after the collected ones; appending the few of
    // them is cheaper than moving the whole run up in front of them.
    auto& frames = target.getFrames();
    collected.insert(collected.end(), frames.begin(), frames.end());
    frames.swap(collected);
    return read;
}

void CReplayController::mergeTempChunks() {
    if (!info_) {
        return;
    }
    // Until the merged replay is written the chunks stay the only copy of the run on disk.
    const std::vector<std::u16string> read = collectChunks(*info_);
    mergedChunks_.insert(mergedChunks_.end(), read.begin(), read.end());
}

void CReplayController::deleteMergedChunks() {
    for (const std::u16string& path : mergedChunks_) {
        Orvex::IO::deleteFileIfExists(path);
    }
    mergedChunks_.clear();
}

void CReplayController::recoverCutShortRun() {
    CReplayInfo recovered;
    const std::vector<std::u16string> chunks = collectChunks(recovered);
    // Until the replay file exists the chunks are the only copy of the run.
    if (!chunks.empty() && saveTimeNamed(recovered)) {
        for (const std::u16string& path : chunks) {
            Orvex::IO::deleteFileIfExists(path);
        }
    }
}

bool CReplayController::loadReplay(const std::u16string& path) {
    reset();
    return loadReplayFile(*info_, path);
}

bool CReplayController::loadDefaultReplay() {
    return loadReplay(Orvex::System::formatWide(u"%s%s", kBaseName, u".lrd"));
}

}  // namespace Fenwarrow::Replay
