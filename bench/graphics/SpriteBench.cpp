// Frame costs of the software device at 800 x 600: a dungeon-like frame through the renderer and
// the sprite drawer, and the 1:1 alpha-blended sprite path beside pixman's OVER compositing of
// the same sprites (when pixman is available).
#include <benchmark/benchmark.h>

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

constexpr uint32_t kWidth = 800;
constexpr uint32_t kHeight = 600;
constexpr int kSprites = 200;
constexpr int kSpriteSize = 64;

uint32_t spriteTexel(uint32_t x, uint32_t y) {
    // Soft-edged disc with some fully transparent and some opaque texels, as game sprites have.
    const int dx = int(x) - 32, dy = int(y) - 32;
    const int d2 = dx * dx + dy * dy;
    const uint32_t alpha = d2 > 900 ? 0 : d2 > 600 ? uint32_t(255 * (900 - d2) / 300) : 255;
    return alpha << 24 | (x * 4) << 16 | (y * 4) << 8 | 0x80;
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
    IOrvexTexture* makeTexture(uint32_t w, uint32_t h, uint32_t (*texel)(uint32_t, uint32_t)) {
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

void BM_DungeonFrame(benchmark::State& state) {
    Scene scene;
    IOrvexTexture* tile = scene.makeTexture(128, 128, [](uint32_t x, uint32_t y) {
        return ((x / 8 + y / 8) % 2 != 0 ? 0xFF806040u : 0xB0405060u) + ((x ^ y) & 7);
    });
    IOrvexTexture* sprite = scene.makeTexture(64, 64, spriteTexel);
    IOrvexTexture* font = scene.makeTexture(256, 256, [](uint32_t x, uint32_t y) {
        return ((x % 16) < 10 && (y % 16) < 12 && ((x * 7 + y * 3) % 5) < 3) ? 0xFFFFFFFFu : 0x00FFFFFFu;
    });
    IOrvexSpriteDraw* draw = scene.renderer->getSpriteDraw();
    const OxRect tileSource{0, 0, 80, 80};
    for (auto _ : state) {
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
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DungeonFrame)->Unit(benchmark::kMillisecond);

void BM_SpriteOver1to1(benchmark::State& state) {
    Scene scene;
    IOrvexTexture* sprite = scene.makeTexture(64, 64, spriteTexel);
    IOrvexSpriteDraw* draw = scene.renderer->getSpriteDraw();
    scene.renderer->beginScene();
    draw->begin();
    for (auto _ : state) {
        for (int i = 0; i < kSprites; ++i) {
            const float x = float(i * 53 % (kWidth - kSpriteSize)), y = float(i * 31 % (kHeight - kSpriteSize));
            const OxRect d{x, y, x + kSpriteSize, y + kSpriteSize};
            draw->draw(sprite, &d, nullptr);
        }
        benchmark::ClobberMemory();
    }
    draw->end();
    scene.renderer->endScene();
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_SpriteOver1to1)->Unit(benchmark::kMicrosecond);

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
// The same sprites composited with pixman's OVER (premultiplied, as pixman requires).
void BM_PixmanOver1to1(benchmark::State& state) {
    std::vector<uint32_t> target(size_t(kWidth) * kHeight, 0xFF000000u);
    std::vector<uint32_t> source(kSpriteSize * kSpriteSize);
    for (uint32_t y = 0; y < kSpriteSize; ++y) {
        for (uint32_t x = 0; x < kSpriteSize; ++x) {
            const uint32_t c = spriteTexel(x, y), a = c >> 24;
            auto pm = [a](uint32_t v) { return (v * a + 127) / 255; };
            source[y * kSpriteSize + x] = a << 24 | pm((c >> 16) & 255) << 16 | pm((c >> 8) & 255) << 8 | pm(c & 255);
        }
    }
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, target.data(), kWidth * 4);
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kSpriteSize, kSpriteSize, source.data(), kSpriteSize * 4);
    for (auto _ : state) {
        for (int i = 0; i < kSprites; ++i) {
            const int x = i * 53 % (kWidth - kSpriteSize), y = i * 31 % (kHeight - kSpriteSize);
            pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, x, y, kSpriteSize, kSpriteSize);
        }
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_PixmanOver1to1)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
