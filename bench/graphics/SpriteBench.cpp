// Frame costs of the software device at 800 x 600: a dungeon-like frame through the renderer and
// the sprite drawer beside a memcpy of the bytes it touches, present beside a memcpy of the frame,
// and the 1:1 alpha-blended sprite path beside pixman's OVER compositing of the same sprites (when
// pixman is available). Each pair is measured interleaved, A, B, A, B, one iteration of each at a
// time (the sprites in chunks of a tenth), so that load on a shared machine hits both; both are
// timed in the thread's CPU time; the time column is A's, the `ratio` counter A's time over B's. Run pinned to one
// core, e.g.
//   taskset -c 3 bench_graphics --benchmark_repetitions=9 --benchmark_report_aggregates_only
// ORVEX_GPU_SPAN_WRITER=avx2 measures the AVX2 writer on a machine with AVX-512.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "graphics/OxDXTexture.h"
#include "graphics/OxGraphics.h"
#include "graphics/OxRenderer.h"
#include "graphics/OxTextureData.h"

#ifdef ORVEX_BENCH_PIXMAN
#include <pixman.h>
#endif

namespace {

using namespace Orvex::Graphics;
using namespace Platform::Gpu;

// Both sides of a pair are timed in the CPU time of this thread, so that time the core spends on
// other programs counts for neither.
struct Clock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }
};

double secondsSince(double start) { return Clock::now() - start; }

// Copies `bytes` bytes between two frame-sized buffers, a frame at a time: the memory bound of
// touching 2 x bytes the way a frame does.
struct MemcpyBound {
    std::vector<uint32_t> from, to;
    MemcpyBound() : from(800 * 600, 0x12345678u), to(800 * 600) {}
    double run(size_t bytes) {
        const auto start = Clock::now();
        const size_t frame = from.size() * 4;
        for (size_t done = 0; done < bytes; done += frame) {
            std::memcpy(to.data(), from.data(), std::min(frame, bytes - done));
            benchmark::ClobberMemory();
        }
        return secondsSince(start);
    }
};

// A's time as the benchmark's and the ratio of A's total to B's.
void reportPair(benchmark::State& state, double totalA, double totalB, const char* nameB) {
    state.counters[nameB] = benchmark::Counter(totalB * 1e3 / double(state.iterations()));
    state.counters["ratio"] = benchmark::Counter(totalB > 0 ? totalA / totalB : 0);
}

constexpr uint32_t kWidth = 800;
constexpr uint32_t kHeight = 600;
// A soft-edged disc of `size` texels with some fully transparent and some opaque texels, as game
// sprites have.
uint32_t spriteTexel(uint32_t size, uint32_t x, uint32_t y) {
    const int c = int(size / 2), dx = int(x) - c, dy = int(y) - c;
    const int d2 = (dx * dx + dy * dy) * 4096 / int(size * size);  // as on a 64-texel grid
    const uint32_t alpha = d2 > 900 ? 0 : d2 > 600 ? uint32_t(255 * (900 - d2) / 300) : 255;
    return alpha << 24 | (x * 256 / size) << 16 | (y * 256 / size) << 8 | 0x80;
}

// The engine root lives for the whole run: the graphics classes read its base directory.
Orvex::OxOrvexManager& engineRoot() {
    static Orvex::OxOrvexManager root;
    return root;
}

// A graphics object, renderer and textures made directly on the device.
struct Scene {
    IOrvexGraphics* graphics = new OxGraphics();
    OxRenderer* renderer = nullptr;
    std::vector<IOrvexTexture*> textures;

    Scene() {
        engineRoot();
        OxGraphicsParameters p;
        p.width = kWidth;
        p.height = kHeight;
        graphics->initialize(0, &p);
        IOrvexRenderer* r = nullptr;
        graphics->createRenderer(&r);
        renderer = static_cast<OxRenderer*>(r);
    }
    ~Scene() {
        for (IOrvexTexture* t : textures) {
            t->release();
        }
        renderer->shutdown();
        renderer->release();
        graphics->terminate();
        graphics->release();
    }
    // A render-target texture used as an ordinary texture, filled by `texel`.
    template <typename Texel>
    IOrvexTexture* makeTexture(uint32_t w, uint32_t h, Texel texel) {
        IOrvexTexture* t = nullptr;
        renderer->getTextureManager()->createRenderTargetTexture(&t, w, h, 0);
        GpuTexture* gpu = textureDataOf(t)->getDXTexture()->getTexture();
        // Render targets are X8 here; swap in an A8 texture of the same size for alpha.
        GpuTexture* alpha = nullptr;
        renderer->getDevice()->createTexture(w, h, 1, 0, kFormatA8R8G8B8, kPoolManaged, &alpha);
        textureDataOf(t)->getDXTexture()->attach(alpha);
        alpha->release();
        (void)gpu;
        PixelImage& image = *textureDataOf(t)->getDXTexture()->getTexture()->image();
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; ++x) {
                image.row(y)[x] = texel(x, y);
            }
        }
        textures.push_back(t);
        return t;
    }
};

// Clears, three layers of 80 x 80 tiles, 40 sprites of 64 x 64, 2,000 glyphs of 10 x 12, a fade
// over the screen, present. The bound copies as many bytes as the frame reads and writes: the
// clear writes the target and the 16-bit depth buffer, every target pixel drawn is read and
// written, every texel drawn read, the present copies read and write the frame twice (off-screen
// target to back buffer, back buffer to the presented frame).
void BM_DungeonFrame(benchmark::State& state) {
    Scene scene;
    IOrvexTexture* tile = scene.makeTexture(128, 128, [](uint32_t x, uint32_t y) {
        return ((x / 8 + y / 8) % 2 != 0 ? 0xFF806040u : 0xB0405060u) + ((x ^ y) & 7);
    });
    IOrvexTexture* sprite = scene.makeTexture(64, 64, [](uint32_t x, uint32_t y) { return spriteTexel(64, x, y); });
    IOrvexTexture* font = scene.makeTexture(256, 256, [](uint32_t x, uint32_t y) {
        return ((x % 16) < 10 && (y % 16) < 12 && ((x * 7 + y * 3) % 5) < 3) ? 0xFFFFFFFFu : 0x00FFFFFFu;
    });
    IOrvexSpriteDraw* draw = scene.renderer->getSpriteDraw();
    const OxRect tileSource{0, 0, 80, 80};
    constexpr size_t kFrame = size_t(kWidth) * kHeight * 4;
    constexpr size_t kDepth = size_t(kWidth) * kHeight * 2;
    const size_t touched = kFrame + kDepth        // clear of the target and the depth buffer
                           + 3 * 3 * kFrame       // tiles: texels, target read and write
                           + 40 * 64 * 64 * 12    // sprites
                           + 2000 * 10 * 12 * 12  // glyphs
                           + 2 * kFrame           // fade
                           + 2 * 2 * kFrame;      // present
    MemcpyBound bound;
    double frames = 0, copies = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        scene.renderer->clear(5, 0xFF000000u, 1, 0);
        scene.renderer->beginScene();
        draw->begin();
        for (int layer = 0; layer < 3; ++layer) {
            for (uint32_t y = 0; y < kHeight; y += 80) {
                for (uint32_t x = 0; x < kWidth; x += 80) {
                    const OxRect d{float(x), float(y), float(x + 80), float(y + 80)};
                    draw->draw(tile, &d, &tileSource);
                }
            }
        }
        for (int i = 0; i < 40; ++i) {
            const OxRect d{float(i * 19 % 736), float(i * 37 % 536), float(i * 19 % 736 + 64),
                           float(i * 37 % 536 + 64)};
            draw->draw(sprite, &d, nullptr);
        }
        for (int i = 0; i < 2000; ++i) {
            const float x = float(i % 80 * 10), y = float(i / 80 * 20 + 50);
            const OxRect d{x, y, x + 10, y + 12};
            const OxRect s{float(i % 16 * 16), float(i / 16 % 16 * 16), float(i % 16 * 16 + 10),
                           float(i / 16 % 16 * 16 + 12)};
            draw->draw(font, &d, &s);
        }
        const float fade[4] = {0, 0, 0, 0.3f};
        const OxRect all{0, 0, float(kWidth), float(kHeight)};
        draw->drawFill(fade, &all);
        draw->end();
        scene.renderer->endScene();
        scene.renderer->present();
        benchmark::ClobberMemory();
        const double frame = secondsSince(start);
        state.SetIterationTime(frame);
        frames += frame;
        copies += bound.run(touched / 2);
    }
    reportPair(state, frames, copies, "memcpy_bound_ms");
    state.counters["MB_touched"] = benchmark::Counter(double(touched) / 1e6);
}
BENCHMARK(BM_DungeonFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// Present of an 800 x 600 frame through the renderer (the off-screen target drawn to the back
// buffer, then handed over), beside a memcpy of the frame.
void BM_Present(benchmark::State& state) {
    Scene scene;
    MemcpyBound bound;
    double presents = 0, copies = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        scene.renderer->present();
        benchmark::ClobberMemory();
        const double present = secondsSince(start);
        state.SetIterationTime(present);
        presents += present;
        copies += bound.run(size_t(kWidth) * kHeight * 4);
    }
    reportPair(state, presents, copies, "memcpy_ms");
}
BENCHMARK(BM_Present)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_FillFullScreen(benchmark::State& state) {
    Scene scene;
    IOrvexSpriteDraw* draw = scene.renderer->getSpriteDraw();
    scene.renderer->beginScene();
    draw->begin();
    const float fade[4] = {0, 0, 0, 0.5f};
    const OxRect all{0, 0, float(kWidth), float(kHeight)};
    for (auto _ : state) {
        draw->drawFill(fade, &all);
        benchmark::ClobberMemory();
    }
    draw->end();
    scene.renderer->endScene();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FillFullScreen)->Unit(benchmark::kMicrosecond);

#ifdef ORVEX_BENCH_PIXMAN
// Sprites of size x size drawn 1:1 with alpha blending by the sprite drawer, beside pixman's
// OVER compositing of the same sprites (premultiplied, as pixman requires) at the same places:
// 200 sprites of 64 x 64, or 2,000 of 8 x 8, where the cost per draw dominates.
void BM_SpriteOverVsPixman(benchmark::State& state) {
    const uint32_t size = uint32_t(state.range(0));
    const int count = size >= 64 ? 200 : 2000;
    Scene scene;
    IOrvexTexture* sprite =
        scene.makeTexture(size, size, [size](uint32_t x, uint32_t y) { return spriteTexel(size, x, y); });
    IOrvexSpriteDraw* draw = scene.renderer->getSpriteDraw();

    std::vector<uint32_t> target(size_t(kWidth) * kHeight, 0xFF000000u);
    std::vector<uint32_t> source(size_t(size) * size);
    for (uint32_t y = 0; y < size; ++y) {
        for (uint32_t x = 0; x < size; ++x) {
            const uint32_t c = spriteTexel(size, x, y), a = c >> 24;
            auto pm = [a](uint32_t v) { return (v * a + 127) / 255; };
            source[y * size + x] = a << 24 | pm((c >> 16) & 255) << 16 | pm((c >> 8) & 255) << 8 | pm(c & 255);
        }
    }
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, target.data(), kWidth * 4);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, int(size), int(size), source.data(), int(size) * 4);
    auto place = [size](int i, int& x, int& y) {
        x = i * 53 % int(kWidth - size);
        y = i * 31 % int(kHeight - size);
    };
    scene.renderer->beginScene();
    draw->begin();
    // A and B alternate in chunks of a tenth of the sprites each.
    constexpr int kChunks = 10;
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        double drawn = 0;
        for (int chunk = 0; chunk < kChunks; ++chunk) {
            const int first = chunk * count / kChunks, last = (chunk + 1) * count / kChunks;
            auto start = Clock::now();
            for (int i = first; i < last; ++i) {
                int x, y;
                place(i, x, y);
                const OxRect d{float(x), float(y), float(x + int(size)), float(y + int(size))};
                draw->draw(sprite, &d, nullptr);
            }
            benchmark::ClobberMemory();
            drawn += secondsSince(start);
            start = Clock::now();
            for (int i = first; i < last; ++i) {
                int x, y;
                place(i, x, y);
                pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, x, y, int(size), int(size));
            }
            benchmark::ClobberMemory();
            theirs += secondsSince(start);
        }
        state.SetIterationTime(drawn);
        ours += drawn;
    }
    draw->end();
    scene.renderer->endScene();
    pixman_image_unref(src);
    pixman_image_unref(dst);
    reportPair(state, ours, theirs, "pixman_ms");
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SpriteOverVsPixman)->Arg(64)->Arg(8)->UseManualTime()->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
