// Speed of the conversion: 300 frames of noise, 512 x 480, as a raw camera recording (".cm8") and as a
// raw Bayer dump. ffmpeg turns the dump into a Motion-JPEG AVI on one thread and on all; the program's
// conversion turns the recording into an 'MJPG' AVI with one worker and with one per processor, and
// also into a 'DIB ' AVI and a BMP sequence. Each run reports frames per second, the processor time
// it used per second of wall time (cores) and the machine's load average when it started.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "KivIc/Conversion/AviOutput.h"
#include "KivIc/Conversion/FramePool.h"
#include "KivIc/Conversion/RecordingConverter.h"
#include "KivIc/Conversion/SequenceOutput.h"
#include "fc/BREM_FC/BREMF.h"
#include "fc/WqFc/BremIc.h"
#include "fc/WqFc/PipelineSettings.h"
#include "tools/cm8gen/cm8_pattern.h"
#include "tools/cm8gen/cm8_writer.h"
#include "platform/vfw/avifile.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace {

constexpr int kWidth = 512, kHeight = 480, kFrames = 300;
constexpr DWORD kMjpg = mmioFOURCC('M', 'J', 'P', 'G');
constexpr DWORD kDib = mmioFOURCC('D', 'I', 'B', ' ');

// The recording, the dump and the settings record, made once.
struct Inputs {
    std::string folder;
    std::string recording;
    std::string dump;
    std::vector<BYTE> record;

    Inputs() {
        folder =
            (std::filesystem::temp_directory_path() / ("kivic_bench_conversion_" + std::to_string(getpid())))
                .string();
        std::filesystem::create_directories(folder);
        recording = folder + "/noise.cm8";
        dump = folder + "/noise.bayer";
        cm8::Recording rec;
        rec.width = kWidth;
        rec.height = kHeight;
        rec.frames = kFrames;
        const auto header = cm8::BuildHeader(rec);
        std::ofstream cm8file(recording, std::ios::binary);
        std::ofstream raw(dump, std::ios::binary);
        cm8file.write(reinterpret_cast<const char*>(header.data()),
                      static_cast<std::streamsize>(header.size()));
        std::mt19937 rng(7);
        std::vector<std::uint8_t> picture(static_cast<std::size_t>(kWidth) * kHeight), frame(picture.size());
        for (int f = 0; f < kFrames; ++f) {
            for (auto& b : picture)
                b = static_cast<std::uint8_t>(rng() & 0xFF);
            // The recording stores its rows interleaved; the dump as the picture is.
            cm8::Interleave(picture.data(), frame.data(), kWidth, kHeight);
            cm8file.write(reinterpret_cast<const char*>(frame.data()),
                          static_cast<std::streamsize>(frame.size()));
            raw.write(reinterpret_cast<const char*>(picture.data()),
                      static_cast<std::streamsize>(picture.size()));
        }
        cm8file.close();
        BREMF reader(recording.c_str(), 1);
        BremIc pipeline(&reader);
        const auto saved = SavePipelineSettings(pipeline);
        record.assign(saved.begin(), saved.end());
    }
    ~Inputs() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

Inputs& TheInputs() {
    static Inputs inputs;
    return inputs;
}

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double LoadAverage() {
    double load = 0;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = 0;
        std::fclose(f);
    }
    return load;
}

// Runs one conversion per iteration and reports its speed and load.
template <class Run> void Measure(benchmark::State& state, int who, Run&& run) {
    double wall = 0, cpu = 0, load = 0;
    for (auto _ : state) {
        load += LoadAverage();
        const double cpu0 = CpuSeconds(who);
        const auto t0 = std::chrono::steady_clock::now();
        if (!run()) {
            state.SkipWithError("the conversion failed");
            return;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        wall += seconds;
        cpu += CpuSeconds(who) - cpu0;
        state.SetIterationTime(seconds);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["fps"] = kFrames * n / wall;
    state.counters["cores"] = cpu / wall;
    state.counters["loadavg"] = load / n;
}

// args: threads (0: all)
void BM_Ffmpeg(benchmark::State& state) {
    Inputs& in = TheInputs();
    const std::string command = "ffmpeg -v error -y -f rawvideo -pix_fmt bayer_rggb8 -s " +
                                std::to_string(kWidth) + "x" + std::to_string(kHeight) + " -r 30 -i '" +
                                in.dump + "' -c:v mjpeg -threads " + std::to_string(state.range(0)) + " '" +
                                in.folder + "/ffmpeg.avi'";
    Measure(state, RUSAGE_CHILDREN, [&] { return std::system(command.c_str()) == 0; });
}

enum Target { kMjpgAvi, kDibAvi, kBmpSequence };

bool Convert(Target target, int workers) {
    Inputs& in = TheInputs();
    std::unique_ptr<IFrameOutput> output;
    CAviOutput* avi = nullptr;
    std::string error;
    if (target == kBmpSequence) {
        output = std::make_unique<CSequenceOutput>(SequenceKind::Bmp, in.folder + "/", "seq", ".bmp", 0);
    } else {
        AviOutputSettings s;
        s.target = in.folder + "/project.avi";
        s.width = kWidth;
        s.height = kHeight;
        s.handler = target == kMjpgAvi ? kMjpg : kDib;
        s.quality = 7500;
        s.infoText = "Rec Rate=1000\n";
        auto movie = std::make_unique<CAviOutput>(s);
        if (!movie->Open(&error))
            return false;
        avi = movie.get();
        output = std::move(movie);
    }
    FramePoolSettings settings;
    settings.first = 0;
    settings.last = kFrames - 1;
    settings.frameBytes = 40 + static_cast<std::size_t>(kWidth) * 3 * kHeight;
    const FrameConverterFactory factory = RecordingConverterFactory(in.recording, in.record);
    CFramePool pool(settings, *output);
    for (int i = 0; i < workers; ++i) {
        auto converter = factory(&error);
        if (!converter || !pool.AddWorker(std::move(converter), &error))
            return false;
    }
    if (!pool.Start(&error))
        return false;
    while (!pool.Wait(20)) {
    }
    const bool done = pool.Join() == CFramePool::State::Done;
    return (avi == nullptr || avi->Close(done, &error)) && done;
}

// args: target, workers (0: one per processor)
void BM_Project(benchmark::State& state) {
    InstallMjpgCodec();
    const auto target = static_cast<Target>(state.range(0));
    const int workers = state.range(1) > 0 ? static_cast<int>(state.range(1)) : CFramePool::DefaultWorkers();
    state.counters["workers"] = workers;
    Measure(state, RUSAGE_SELF, [&] { return Convert(target, workers); });
}

BENCHMARK(BM_Ffmpeg)->ArgName("threads")->Arg(1)->Arg(0)->Iterations(3)->UseManualTime()->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_Project)
    ->ArgNames({"target", "workers"})
    ->Args({kMjpgAvi, 1})
    ->Args({kMjpgAvi, 0})
    ->Args({kDibAvi, 1})
    ->Args({kDibAvi, 0})
    ->Args({kBmpSequence, 1})
    ->Args({kBmpSequence, 0})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
