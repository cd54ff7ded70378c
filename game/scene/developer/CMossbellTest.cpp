#include "game/scene/developer/CMossbellTest.h"

#include <cmath>
#include <string>

#include "engine/system/OxWideFormat.h"

namespace Fenwarrow::Scene {
namespace {
namespace Mad = Orvex::MossbellLib;
using Orvex::System::formatWide;

constexpr uint32_t kSheetSize = 512;
constexpr uint32_t kChipSize = 128;
constexpr float kFrameSeconds = 0.1f;
// Each facing walks back and forth over its four chips.
constexpr uint32_t kWalkCycle[kSheetSize / kChipSize + 2] = {0, 1, 2, 3, 2, 1};

std::u16string sheetPath(std::size_t index) { return formatWide(u"sample/walker_%d.png", static_cast<int32_t>(index)); }
std::u16string sheetName(std::size_t index) { return formatWide(u"Tex %d", static_cast<int32_t>(index)); }
}  // namespace

bool CMossbellTest::initialize() {
    // Without a keyboard the character still walks with the virtual keys.
    console_.openKeyboard();
    if (!console_.createFont(context_, 16)) {
        return false;
    }
    if (!loadSheets()) {
        return false;
    }
    object_.setFPS(60.0f);
    object_.create(kSheetSize, kChipSize, kFrameSeconds);
    // The walk cycles for as long as the character is shown: a stopped object draws nothing.
    object_.setLoopPlay(true);
    buildFrames();
    face(direction_);
    return true;
}

bool CMossbellTest::loadSheets() {
    auto* manager = context_.getRenderer()->getTextureManager();
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        const std::u16string path = sheetPath(i);
        Orvex::Graphics::IOrvexTexture* texture = nullptr;
        if (manager->createTextureFromFile(&texture, &path) < 0) {
            return false;
        }
        sheets_[i].texture = Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(texture);
        object_.addTexture(texture, sheetName(i));
    }
    // Only the variant (as "Tex 1") and then the character (as "Tex 0") stay: the list is
    // taken apart and rebuilt the way an editor would.
    for (std::size_t i = 2; i < sheets_.size(); ++i) {
        object_.removeTexture(sheets_[i].texture.get());
    }
    object_.clearTextureList();
    object_.addTexture(sheets_[1].texture.get(), sheetName(1));
    object_.addTexture(sheets_[0].texture.get(), sheetName(0));
    return true;
}

void CMossbellTest::buildFrames() {
    auto& frames = object_.getAnimationDataList();
    frames.clear();
    const uint32_t chipsPerFacing = kSheetSize / kChipSize;
    for (uint32_t facing = 0; facing < 4; ++facing) {
        for (const uint32_t step : kWalkCycle) {
            frames.push_back(std::make_shared<Mad::OxAnimationData>(facing * chipsPerFacing + step, kFrameSeconds));
        }
    }
}

void CMossbellTest::forEachFrame(const std::function<void(Mad::OxAnimationData&)>& change) {
    object_.getAnimationDataList().forEach(change);
}

void CMossbellTest::swapFirstTwoSheets() {
    std::shared_ptr<Mad::OxTextureInfo> first, second;
    for (const auto& info : object_.getTextureList()) {
        if (info != nullptr && info->getFileName() == sheetName(0)) {
            first = info;
        } else if (info != nullptr && info->getFileName() == sheetName(1)) {
            second = info;
        }
    }
    if (first == nullptr || second == nullptr) {
        return;
    }
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> firstTexture =
        Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(first->getTexture());
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> secondTexture =
        Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(second->getTexture());
    first->setTexture(secondTexture.get());
    second->setTexture(firstTexture.get());
}

bool CMossbellTest::update() {
    if (!shapeKeys()) {
        commandKeys();
        moveKeys();
    }
    if (!paused_) {
        object_.update(context_.getFrameTime());
    }
    return true;
}

bool CMossbellTest::shapeKeys() {
    const float direction = console_.isDown(kKeyUp) ? 1.0f : console_.isDown(kKeyDown) ? -1.0f : 0.0f;
    if (console_.isDown(kKeyS)) {
        if (direction != 0.0f) {
            forEachFrame([&](Mad::OxAnimationData& frame) {
                frame.setDrawScale(frame.drawScale[0] + direction * kScaleStep,
                                   frame.drawScale[1] + direction * kScaleStep);
            });
        }
        return true;
    }
    if (console_.isDown(kKeyD)) {
        if (direction != 0.0f) {
            forEachFrame([&](Mad::OxAnimationData& frame) {
                frame.setDrawRotationZ(frame.drawRotationZ + direction * kTurnStep);
            });
        }
        return true;
    }
    return false;
}

void CMossbellTest::commandKeys() {
    if (console_.isPushed(kKeyR)) {
        object_.getAnimationDataList().forEach(&Mad::OxAnimationData::setDrawScale, 1.0f, 1.0f);
        object_.getAnimationDataList().forEach(&Mad::OxAnimationData::setDrawRotationZ, 0.0f);
    }
    if (console_.isPushed(kKeyA)) {
        swapFirstTwoSheets();
    }
    if (console_.isPushed(kKeyZ)) {
        object_.stop();
    }
    if (console_.isPushed(kKeyX)) {
        object_.play();
        paused_ = false;
    }
    if (console_.isPushed(kKeyC)) {
        object_.pause();
    }
    if (console_.isPushed(kKeySpace)) {
        object_.update(context_.getFrameTime());
        paused_ = true;
    }
}

void CMossbellTest::moveKeys() {
    struct Move {
        uint32_t key;
        float dx;
        float dy;
    };
    const Move moves[4] = {
        {kKeyUp, 0.0f, -kStep}, {kKeyRight, kStep, 0.0f}, {kKeyDown, 0.0f, kStep}, {kKeyLeft, -kStep, 0.0f}};
    auto* keys = context_.getVirtualKey();
    const auto held = [&](uint32_t facing) { return console_.isDownOr(moves[facing].key, keys, facing); };
    // The facing follows a newly pressed key; while its own key stays held it is kept, so two
    // keys held together do not turn the character back and forth every frame.
    int32_t facing = -1;
    for (uint32_t f = 0; f < 4 && facing < 0; ++f) {
        if (console_.isPushedOr(moves[f].key, keys, f)) {
            facing = static_cast<int32_t>(f);
        }
    }
    for (uint32_t f = 0; f < 4 && facing < 0 && !held(direction_); ++f) {
        if (held(f)) {
            facing = static_cast<int32_t>(f);
        }
    }
    for (uint32_t f = 0; f < 4; ++f) {
        if (held(f)) {
            x_ += moves[f].dx;
            y_ += moves[f].dy;
        }
    }
    if (facing >= 0 && static_cast<uint32_t>(facing) != direction_) {
        face(static_cast<uint32_t>(facing));
    }
}

void CMossbellTest::face(uint32_t direction) {
    direction_ = direction;
    const uint32_t first = direction * kFramesPerFacing;
    object_.setPlayRangeFromAnimationData(first, first + kFramesPerFacing - 1);
    object_.stop();
    object_.play();
}

bool CMossbellTest::draw() {
    // Inside the frame's drawing, which clears the screen first and opens the sprite pass.
    context_.getRenderQueue()->add(kDeveloperDrawPriority, [this] {
        object_.draw(context_.getRenderer(), std::trunc(x_ + 0.5f), std::trunc(y_ + 0.5f));
        if (!console_.begin()) {
            return;
        }
        console_.drawText(10, 400, formatWide(u"FPS: %.02f", object_.getFPS()));
        console_.drawText(10, 420, formatWide(u"Time: %.02f", object_.getCurrentTime()));
        console_.drawText(10, 440, formatWide(u"Index: %d", static_cast<int32_t>(object_.getCurrentIndex())));
        console_.drawText(10, 540, u"[R]Reset [A]ChangeTexture [S]Scale [D]Rotate");
        console_.drawText(10, 560, u"[Z]Stop [X]Play [C]Pause [SPACE]Step");
        const char16_t* states[] = {u"Stop", u"Play", u"Pause"};
        const uint32_t state = object_.getState();
        console_.drawText(20, 580, state < 3 ? states[state] : u"");
        console_.end();
    });
    return true;
}

}  // namespace Fenwarrow::Scene
