// Speed of the matching methods on the tracking job's usual sizes, one thread.
#include "Matching/MakeMatchingClass.h"
#ifdef KIVIC_HAVE_TEMPLATE_SETS
#include "Matching/TemplateInfo.h"
#endif

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

std::vector<unsigned char> Texture(int w, int h, unsigned seed) {
    std::vector<unsigned char> p(static_cast<std::size_t>(w) * h);
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> d(0, 255);
    for (auto& v : p) {
        v = static_cast<unsigned char>(d(gen));
    }
    // Smooth it a little so it looks more like a picture than noise.
    for (int y = 0; y < h; ++y) {
        for (int x = 1; x < w; ++x) {
            p[static_cast<std::size_t>(y) * w + x] = static_cast<unsigned char>(
                (p[static_cast<std::size_t>(y) * w + x] + p[static_cast<std::size_t>(y) * w + x - 1]) / 2);
        }
    }
    return p;
}

std::vector<unsigned char> Cut(const std::vector<unsigned char>& frame, int frameWidth, int x, int y, int w,
                               int h) {
    std::vector<unsigned char> out;
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            out.push_back(frame[static_cast<std::size_t>(y + j) * frameWidth + x + i]);
        }
    }
    return out;
}

// args: method, template radius, search margin, templates per point
void BM_Match(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    const int radius = static_cast<int>(state.range(1));
    const int margin = static_cast<int>(state.range(2));
    const int templates = static_cast<int>(state.range(3));
    const int t = 2 * radius + 1;
    const int s = 2 * (radius + margin) + 1;
    const int frameSize = s + 40;
    const auto frame = Texture(frameSize, frameSize, 1);
    std::vector<std::vector<unsigned char>> set;
#ifdef KIVIC_HAVE_TEMPLATE_SETS
    if (templates > 1) {
        // A rotated set as the tracking job makes it: 5-degree steps from the base image around the point.
        const int b = CTemplateInfo::BaseSize(radius);
        const int centre = 20 + margin + radius;
        CTemplateInfo info;
        const auto base = Cut(frame, frameSize, centre - b / 2, centre - b / 2, b, b);
        info.GetBaseImage()->Set(base.data(), b, b, 1);
        MatchingParam mp;
        mp.rotate = 1;
        mp.rotationStep = 7;
        info.BuildRotatedTemplates(mp, t, t);
        for (int k = 0; k < info.GetTemplateCount() && k < templates; ++k) {
            const unsigned char* bits = info.GetTemplate(k)->GetBits();
            set.emplace_back(bits, bits + t * t);
        }
    }
#endif
    for (int k = static_cast<int>(set.size()); k < templates; ++k) {
        set.push_back(Cut(frame, frameSize, 20 + margin + k % 3, 20 + margin + k % 2, t, t));
    }
    MakeMatchingClass factory(method);
    Matching* m = factory.GetMatcher();
    m->SetImage(frame.data(), frameSize, frameSize);
    int x = 0;
    int y = 0;
    for (auto _ : state) {
        for (const auto& templ : set) {
            m->SetTemplate(templ.data(), t, t);
            benchmark::DoNotOptimize(m->Match(20, 20, s, s, &x, &y));
        }
    }
    state.SetLabel(MakeMatchingClass::MethodName(method));
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int method = 0; method <= 6; ++method) {
        b->Args({method, 10, 5, 1});
        b->Args({method, 10, 20, 1});
        b->Args({method, 10, 5, 72});
    }
}

void Large(benchmark::internal::Benchmark* b) {
    for (int method = 0; method <= 6; ++method) {
        b->Args({method, 100, 100, 1});
    }
}

#ifdef KIVIC_HAVE_TEMPLATE_SETS
// Making a rotated set of 72 templates of 21 x 21 from a 29 x 29 base.
void BM_BuildRotatedTemplates(benchmark::State& state) {
    const auto base = Texture(29, 29, 2);
    CTemplateInfo info;
    info.GetBaseImage()->Set(base.data(), 29, 29, 1);
    MatchingParam mp;
    mp.rotate = 1;
    mp.rotationStep = 7;
    for (auto _ : state) {
        info.BuildRotatedTemplates(mp, 21, 21);
        benchmark::DoNotOptimize(info.GetTemplateCount());
    }
}
BENCHMARK(BM_BuildRotatedTemplates)->Unit(benchmark::kMicrosecond);
#endif

} // namespace

BENCHMARK(BM_Match)
    ->ArgNames({"method", "radius", "margin", "templates"})
    ->Apply(Sizes)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Match)
    ->Name("BM_MatchLarge")
    ->ArgNames({"method", "radius", "margin", "templates"})
    ->Apply(Large)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);

BENCHMARK_MAIN();
