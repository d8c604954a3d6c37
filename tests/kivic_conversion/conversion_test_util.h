// Frames and targets for the conversion tests: converters that make packed frames of noise from the
// frame number alone (so any thread makes the same bytes), with optional delays that shuffle the order
// in which workers finish, and a failure on request.
#pragma once

#include <atomic>
#include <algorithm>
#include <climits>
#include <filesystem>
#include <stdexcept>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "KivIc/Conversion/FramePool.h"
#include "platform/vfw/vfw.h"
#include "platform/win32/bitmap.h"
#include "vfw/avi_test_util.h"

namespace convtest {

// A pseudo-random byte stream of a frame: the same for the same frame on every thread.
inline std::uint32_t Mix(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// The packed frame bitmap of frame n: a 40-byte header, then 3 x width x height bytes of a smooth
// picture (lossy compressors keep a good likeness of it) or, noisy, of noise over a ramp.
inline std::vector<BYTE> MakePackedFrame(long n, int width, int height, bool noisy = true) {
    std::vector<BYTE> frame(40 + static_cast<std::size_t>(width) * 3 * height);
    BITMAPINFOHEADER h{40, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(frame.data(), &h, sizeof h);
    BYTE* p = frame.data() + 40;
    if (!noisy) {
        const auto pixels = avitest::MakeFrame(width, height, static_cast<int>(n));
        std::memcpy(p, pixels.data(), pixels.size());
        return frame;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t noise =
                    Mix(static_cast<std::uint32_t>(n * 7919 + (y * width + x) * 3 + c)) % 24;
                *p++ = static_cast<BYTE>((x * 255 / width + y * 97 / height + c * 40 + n * 3 + noise) & 0xFF);
            }
        }
    }
    return frame;
}

struct ConverterScript {
    int width = 16;
    int height = 8;
    long failAt = LONG_MIN;   // the frame that cannot be converted
    bool throwAtFail = false; // throw instead of reporting
    // The failing frame waits until failReleased is set before it fails; failHeld tells that it waits.
    std::atomic<bool> failReleased{true};
    std::atomic<bool> failHeld{false};
    bool jitter = false; // sleep a little, differently per frame
    bool noisy = true;   // noise, or a smooth picture
    std::atomic<int> converted{0};
};

class TestConverter : public IFrameConverter {
public:
    explicit TestConverter(ConverterScript& script) : m_script(script) {}
    bool Convert(long frame, BYTE* buffer, std::size_t capacity, std::string* error) override {
        if (m_script.jitter)
            std::this_thread::sleep_for(
                std::chrono::microseconds(Mix(static_cast<std::uint32_t>(frame)) % 3000));
        if (frame == m_script.failAt) {
            m_script.failHeld = true;
            while (!m_script.failReleased)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (m_script.throwAtFail)
                throw std::runtime_error("frame " + std::to_string(frame) + " exploded");
            *error = "frame " + std::to_string(frame) + " is missing";
            return false;
        }
        const auto bytes = MakePackedFrame(frame, m_script.width, m_script.height, m_script.noisy);
        if (capacity < bytes.size()) {
            *error = "buffer too small";
            return false;
        }
        std::memcpy(buffer, bytes.data(), bytes.size());
        ++m_script.converted;
        return true;
    }

private:
    ConverterScript& m_script;
};

// The 'txts' chunk of a movie's video stream; "<none>" when the movie or the chunk cannot be read.
inline std::string ReadTxts(const std::string& path) {
    constexpr DWORD kTxts = mmioFOURCC('t', 'x', 't', 's');
    std::string text = "<none>";
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK)
        return text;
    PAVISTREAM stream = nullptr;
    LONG size = 0;
    if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK &&
        AVIStreamReadData(stream, kTxts, nullptr, &size) == AVIERR_OK) {
        std::string data(static_cast<std::size_t>(size), '\0');
        if (AVIStreamReadData(stream, kTxts, data.data(), &size) == AVIERR_OK)
            text = data;
    }
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    return text;
}

// The names in a folder, sorted.
inline std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs the frames first..last through a pool of `workers` into output and waits for its end.
inline CFramePool::State RunPool(IFrameOutput& output, ConverterScript& script, long first, long last,
                                 int workers, std::string* error = nullptr, long* committed = nullptr,
                                 long cancelAfter = -1) {
    FramePoolSettings settings;
    settings.first = first;
    settings.last = last;
    settings.frameBytes = 40 + static_cast<std::size_t>(script.width) * 3 * script.height;
    CFramePool pool(settings, output);
    std::string text;
    for (int i = 0; i < workers; ++i) {
        if (!pool.AddWorker(std::make_unique<TestConverter>(script), &text)) {
            if (error)
                *error = text;
            return CFramePool::State::Failed;
        }
    }
    if (!pool.Start(&text)) {
        if (error)
            *error = text;
        return CFramePool::State::Failed;
    }
    while (!pool.Wait(20)) {
        if (cancelAfter >= 0 && pool.Committed() >= cancelAfter)
            pool.Cancel();
    }
    const CFramePool::State state = pool.Join();
    if (error)
        *error = pool.Error();
    if (committed)
        *committed = pool.Committed();
    return state;
}

} // namespace convtest
