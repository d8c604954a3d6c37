// Speed of the colour pipeline on one thread: unpack + demosaic + conversion of whole frames.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <vector>

#include "fc/WqFc/BremIc.h"
#include "fc/WqFc/WqFcPath.h"

namespace {

enum Settings { kDefault, kEnhance3Chroma150 };

std::vector<std::uint8_t> Frame(int w, int h) {
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> value(0, 160);
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(w) * h);
    for (auto& b : raw)
        b = static_cast<std::uint8_t>(value(rng));
    return raw;
}

BremIc Pipeline(int w, int h, Settings settings) {
    BremIcRecording rec;
    rec.width = w;
    rec.height = h;
    rec.cameraVer = 200;
    rec.recChroma = 5;
    // No parameter file: the built-in defaults.
    BremIc p(rec, "/nonexistent/wqfc-bench/BREMFC.zop");
    if (settings == kEnhance3Chroma150) {
        p.SetEnhance(6);
        p.SetChroma(150);
    }
    return p;
}

// Times one frame's work; the total feeds the milliseconds-per-frame counter.
template <class Work> void Timed(double& totalMs, Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void SetCounters(benchmark::State& state, int w, int h, double totalMs) {
    state.counters["ms/frame"] = benchmark::Counter(totalMs, benchmark::Counter::kAvgIterations);
    state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * w * h / 1e6,
                                                  benchmark::Counter::kIsRate);
}

// args: width, height, settings, path
void BM_Pipeline(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    WqFcForcePath(static_cast<WqFcPath>(state.range(3)));
    BremIc p = Pipeline(w, h, static_cast<Settings>(state.range(2)));
    const std::vector<std::uint8_t> raw = Frame(w, h);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h * 3);
    double totalMs = 0;
    for (auto _ : state) {
        Timed(totalMs, [&] { p.Convert(raw.data(), out.data()); });
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, w, h, totalMs);
    WqFcForcePath(WqFcPath::Auto);
}

// The two halves on their own, at default settings: unpack + demosaic, then the conversion.
void BM_UnpackOnly(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    BremIc p = Pipeline(w, h, kDefault);
    const std::vector<std::uint8_t> raw = Frame(w, h);
    double totalMs = 0;
    for (auto _ : state) {
        Timed(totalMs, [&] { p.Unpack(raw.data()); });
        benchmark::ClobberMemory();
    }
    SetCounters(state, w, h, totalMs);
}

void BM_ConvertOnly(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    BremIc p = Pipeline(w, h, static_cast<Settings>(state.range(2)));
    const std::vector<std::uint8_t> raw = Frame(w, h);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h * 3);
    p.Unpack(raw.data());
    double totalMs = 0;
    for (auto _ : state) {
        Timed(totalMs, [&] { p.Convert(out.data()); });
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, w, h, totalMs);
}

void PipelineArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h", "enh3chroma150", "path"});
    for (WqFcPath path : {WqFcPath::Auto, WqFcPath::Sse2, WqFcPath::Plain})
        for (int settings : {kDefault, kEnhance3Chroma150}) {
            b->Args({512, 480, settings, static_cast<int>(path)});
            b->Args({1024, 1024, settings, static_cast<int>(path)});
        }
}

} // namespace

BENCHMARK(BM_Pipeline)->Apply(PipelineArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackOnly)->Args({512, 480})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertOnly)
    ->Args({512, 480, kDefault})
    ->Args({512, 480, kEnhance3Chroma150})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
