// A move-and-draw pass over 2,000 sprites whose drawing goes to a renderer that does nothing:
// the sprite engine's own cost per sprite.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/KerbSprite.h"

namespace {
class TNullRenderer : public TKerbRenderer {
public:
    void SetBlendMode(int32_t) override {}
    void RenderQuad(const TKerbTexture&, const TQuad&) override {}
};

class TDriftSprite : public TSprite {
public:
    using TSprite::TSprite;
    void Move(float) override {
        SetX(X + 0.5f);
        SetY(Y - 0.25f);
        Angle += 1;
    }
};

void MoveAndDraw(benchmark::State& state) {
    TNullRenderer renderer;
    TImageListItem item;
    TPicture picture;
    picture.Format = TPicture::TFormat::Png;
    picture.Width = picture.Height = 64;
    picture.Pixels.assign(64 * 64, 0xFFFFFFFFu);
    item.SetPicture(picture);
    item.Renderer = &renderer;
    item.Texture = std::make_unique<TKerbTexture>();
    TKerbSprite engine;
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        auto* s = new TDriftSprite(&engine);
        s->SetImage(&item);
        s->SetZ(i % 17);
        s->SetX(static_cast<float>(i % 800));
        s->SetY(static_cast<float>(i % 600));
    }
    for (auto _ : state) {
        engine.Move(0);
        engine.Draw();
    }
    state.counters["ns_per_sprite"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
}  // namespace

BENCHMARK(MoveAndDraw)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
