// The program's start-up and the cost of a frame of the start-up scenes.
//
// BM_StartupToFirstFrame starts the real program headless on the built sample data and measures
// the wall time until its first frame is presented (the frame capture opens its file then).
// BM_StartupToTitle runs it until the title has faded in (its debug line) and reports, beside
// the wall time, the title scene's own set-up time (its debug line) and the time beyond the
// scripted waits on the way: 30 frames of the start-up scene, the 3-second logo movie and the
// title's 0.7-second fade-in.
// BM_TitleSceneFrame draws what a frame of the faded-in title draws (clear, the looping title
// movie over the screen, the title picture in its sky strips and its land, the logo card, the
// menu's window and its six lines of text in the game's bitmap font, present) on the same
// device; the CPU column again leaves out the movie decode.
// BM_LogoSceneFrame draws what a frame of the logo scene draws (clear, the movie quad through the
// sprite bracket, present) on the game's 800 x 600 software device while the logo movie plays on
// its own threads; the CPU column is the drawing thread's alone, without the movie decode.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <memory>
#include <thread>

#include "engine/font/OxBitmapFont.h"
#include "engine/font/OxBitmapFontLoader.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/movie/TheoraPlayer.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/IOrvexSpriteDraw.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/IOrvexTextureManager.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/audio/AudioEngine.h"
#include "platform/audio/MasteringVoice.h"
#include "platform/kernel/ChildProcess.h"
#include "platform/kernel/NativeFile.h"

namespace {

namespace fs = std::filesystem;

using Clock = std::chrono::steady_clock;

fs::path prepareRunDirectory() {
    const fs::path directory = Platform::Kernel::makeTemporaryDirectory("fenwarrow-bench");
    for (const auto& entry : fs::directory_iterator(ORVEX_RUN_DIR)) {
        if (entry.is_regular_file()) {
            fs::copy_file(entry.path(), directory / entry.path().filename());
        }
    }
    return directory;
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        const fs::path directory = prepareRunDirectory();
        const fs::path firstFrame = directory / "frame1.png";
        Platform::Kernel::ChildOptions options;
        options.workingDirectory = directory;
        options.environment = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "ORVEX_CAPTURE_FRAMES=1",
                               "ORVEX_CAPTURE_DIR=" + directory.string()};
        Platform::Kernel::ChildProcess program;
        const auto start = Clock::now();
        if (!program.start(FENWARROW_PROGRAM, options)) {
            fs::remove_all(directory);
            state.SkipWithError(program.error().c_str());
            break;
        }
        const auto limit = start + std::chrono::seconds(20);
        while (!fs::exists(firstFrame) && Clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        program.kill();
        fs::remove_all(directory);
        if (seconds >= 20.0) {
            state.SkipWithError("no frame was presented");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_StartupToFirstFrame)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void BM_StartupToTitle(benchmark::State& state) {
    constexpr double kScriptedWaits = 30.0 / 60.0 + 3.0 + 0.7;
    double setUpMs = 0.0;
    double beyondWaits = 0.0;
    for (auto _ : state) {
        const fs::path directory = prepareRunDirectory();
        const fs::path log = directory / "run.log";
        Platform::Kernel::ChildOptions options;
        options.workingDirectory = directory;
        options.environment = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "ORVEX_DEBUG_OUTPUT=1"};
        options.output = Platform::Kernel::ChildOutput::kFile;
        options.errors = Platform::Kernel::ChildOutput::kFile;
        options.outputFile = log;
        Platform::Kernel::ChildProcess program;
        const auto start = Clock::now();
        if (!program.start(FENWARROW_PROGRAM, options)) {
            fs::remove_all(directory);
            state.SkipWithError(program.error().c_str());
            break;
        }
        const auto limit = start + std::chrono::seconds(30);
        std::string text;
        while ((text = readText(log)).find("Title faded in.") == std::string::npos && Clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        // The frame after the fade's end is the first one drawn without it.
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count() + 1.0 / 60.0;
        program.kill();
        fs::remove_all(directory);
        if (Clock::now() >= limit) {
            state.SkipWithError("the title did not fade in");
            break;
        }
        unsigned milliseconds = 0;
        const std::size_t line = text.find("Title set up in ");
        if (line != std::string::npos) {
            std::sscanf(text.c_str() + line, "Title set up in %u ms.", &milliseconds);
        }
        setUpMs += milliseconds;
        beyondWaits += seconds - kScriptedWaits;
        state.SetIterationTime(seconds);
    }
    const double runs = static_cast<double>(state.iterations());
    if (runs > 0) {
        state.counters["titleSetUpMs"] = setUpMs / runs;
        state.counters["beyondWaitsMs"] = beyondWaits * 1000.0 / runs;
    }
}
BENCHMARK(BM_StartupToTitle)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The run folder's seven archives, opened as the game opens them.
std::shared_ptr<Orvex::FileArchiver::OxPackedStreamReader> openRunArchives() {
    auto reader = std::make_shared<Orvex::FileArchiver::OxPackedStreamReader>();
    Orvex::FileArchiver::OxArchiveOptions archiveOptions{};
    archiveOptions.lowerCaseNames = 1;
    const std::string run = ORVEX_RUN_DIR;
    std::vector<std::u16string> archives;
    for (const char* name :
         {"/d000.bin", "/d100.bin", "/d200.bin", "/d300.bin", "/d400.bin", "/d500.bin", "/d900.bin"}) {
        const std::string path = run + name;
        archives.emplace_back(path.begin(), path.end());
    }
    reader->openArchives(archives, archiveOptions);
    return reader;
}

void BM_TitleSceneFrame(benchmark::State& state) {
    using Orvex::Graphics::OxRect;
    Orvex::Graphics::IOrvexGraphics* graphics = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
    Orvex::Graphics::OxGraphicsParameters parameters;
    parameters.width = 800;
    parameters.height = 600;
    Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
    if (graphics == nullptr || graphics->initialize(0, &parameters) < 0 || graphics->createRenderer(&renderer) < 0) {
        state.SkipWithError("no graphics");
        return;
    }
    {
        auto reader = openRunArchives();
        auto movieReader = openRunArchives();
        const auto texture = [&](const std::u16string& path) {
            Orvex::Graphics::IOrvexTexture* made = nullptr;
            if (reader->open(path)) {
                renderer->getTextureManager()->createTexture(&made, reader.get());
                reader->close();
            }
            return Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(made);
        };
        const auto picture = texture(u"Menu/Title/title.png");
        const auto logo = texture(u"Menu/Title/logo.png");
        auto fontLoader = std::make_shared<Orvex::FontLib::OxBitmapFontLoader>(renderer, reader);
        fontLoader->setRootDirectory(u"Font");
        auto font = std::make_shared<Orvex::FontLib::OxBitmapFont>(fontLoader);
        const bool fontLoaded = static_cast<int32_t>(font->load(u"font_01")) >= 0;
        Orvex::FontLib::OxFontRenderer text(renderer, font);
        auto player = std::make_unique<Theora::TheoraPlayer>(graphics->getDevice(), nullptr);
        player->setLoop(true);
        if (!fontLoaded || picture == nullptr || logo == nullptr ||
            !player->open(u"Movie/title.ogv", movieReader.get(), 0, 0, 800, 600)) {
            state.SkipWithError("the title's pictures or movie did not open");
        }
        const char16_t* const entries[] = {u"はじめから", u"ロード", u"セーブ", u"リプレイ", u"おまけ", u"おわる"};
        Orvex::Graphics::IOrvexSpriteDraw* sprite = renderer->getSpriteDraw();
        for (auto _ : state) {
            renderer->clear(5, 0xFF000000u, 1.0f, 0);
            renderer->beginScene();
            sprite->begin();
            player->draw();
            for (int i = 0; i < 12; ++i) {
                const OxRect strip{0, i * 20.0f, 800, (i + 1) * 20.0f};
                sprite->setDiffuseColor(1, 1, 1, 0.6f + 0.4f * (i + 1) / 12.0f);
                sprite->draw(picture.get(), &strip, &strip);
            }
            const OxRect land{0, 240, 800, 600};
            sprite->setDiffuseColor(1, 1, 1, 1);
            sprite->draw(picture.get(), &land, &land);
            const OxRect card{144, 40, 656, 168};
            const OxRect cardSource{0, 0, 512, 128};
            sprite->draw(logo.get(), &card, &cardSource);
            const float window[4] = {0.1f, 0.12f, 0.22f, 0.85f};
            const OxRect menu{280, 300, 520, 580};
            sprite->drawFill(window, &menu);
            for (int i = 0; i < 6; ++i) {
                text.drawPlainText(entries[i], 312.0f, 320.0f + 40.0f * i);
            }
            sprite->end();
            renderer->endScene();
            renderer->present();
        }
        player->close();
    }
    renderer->shutdown();
    renderer->release();
    graphics->terminate();
    graphics->release();
}
BENCHMARK(BM_TitleSceneFrame)->Unit(benchmark::kMillisecond);

void BM_LogoSceneFrame(benchmark::State& state) {
    Orvex::Graphics::IOrvexGraphics* graphics = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
    Orvex::Graphics::OxGraphicsParameters parameters;
    parameters.width = 800;
    parameters.height = 600;
    Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
    if (graphics == nullptr || graphics->initialize(0, &parameters) < 0 || graphics->createRenderer(&renderer) < 0) {
        state.SkipWithError("no graphics");
        return;
    }
    // The logo has a sound track: it plays into an engine nobody listens to.
    Platform::Audio::EngineOptions options;
    options.mode = Platform::Audio::OutputMode::Manual;
    auto engine = Platform::Audio::AudioEngine::create(options);
    Platform::Audio::MasteringVoice* master = nullptr;
    engine->createMasteringVoice(&master);

    Orvex::FileArchiver::OxPackedStreamReader reader;
    Orvex::FileArchiver::OxArchiveOptions archiveOptions{};
    archiveOptions.lowerCaseNames = 1;
    const std::string run = ORVEX_RUN_DIR;
    std::vector<std::u16string> archives;
    for (const char* name :
         {"/d000.bin", "/d100.bin", "/d200.bin", "/d300.bin", "/d400.bin", "/d500.bin", "/d900.bin"}) {
        const std::string path = run + name;
        archives.emplace_back(path.begin(), path.end());
    }
    reader.openArchives(archives, archiveOptions);
    auto player = std::make_unique<Theora::TheoraPlayer>(graphics->getDevice(), engine.get());
    player->setLoop(true);
    if (!player->open(u"Movie/QuillmarkLogo.ogv", &reader, 0, 0, 800, 600)) {
        state.SkipWithError("the logo movie did not open");
    }
    Orvex::Graphics::IOrvexSpriteDraw* sprite = renderer->getSpriteDraw();
    for (auto _ : state) {
        renderer->clear(5, 0xFF000000u, 1.0f, 0);
        renderer->beginScene();
        sprite->begin();
        player->draw();
        sprite->end();
        renderer->endScene();
        renderer->present();
    }
    player->close();
    player.reset();
    if (master != nullptr) {
        master->destroyVoice();
    }
    renderer->shutdown();
    renderer->release();
    graphics->terminate();
    graphics->release();
}
BENCHMARK(BM_LogoSceneFrame)->Unit(benchmark::kMillisecond);

}  // namespace
