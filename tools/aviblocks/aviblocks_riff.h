// Writes AVI files as the recording system makes them: a 'vids' stream whose format declares 24-bit
// BI_RGB pictures (handler 'YRJQ') but whose samples are two-field Motion-JPEG frames, a 'NOTE' and a
// 'CSTS' stream with one sample each, and in every stream header list, behind 'strh' and 'strf', a
// 'strd' chunk holding a 'CSTS' and a 'NOTE' chunk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/aviblocks/aviblocks_frames.h"

namespace aviblocks {

struct AviDescription {
    int width = 640;
    int height = 480;
    std::uint32_t scale = 1;
    std::uint32_t rate = 30;
    int frames = 3;
    int quality = 75;
    FieldForm form = FieldForm::RestartSplit;
    // Video samples to write instead of encoded test pictures (frames is then ignored).
    std::vector<std::string> samples;
    bool noteStream = true;
    bool cstsStream = true;
    // The 'NOTE' and 'CSTS' streams without their sample.
    bool emptyInfoStreams = false;
    // The 'strd' chunk with the 'CSTS' and 'NOTE' chunks in each stream header list.
    bool infoChunks = true;
    // The blocks; empty means the sample blocks (nine notes entries, two setting records).
    std::string noteBlock;
    std::string cstsBlock;
    bool index = true;
};

// Where the parts of a written file lie (byte offsets from the file start), for tests that change them.
struct AviLayout {
    std::uint64_t mainHeader = 0;           // the 'avih' chunk
    std::vector<std::uint64_t> streamLists; // each 'LIST' 'strl'
    std::vector<std::uint64_t> cstsChunks;  // each stream list's 'CSTS' chunk
    std::vector<std::uint64_t> noteChunks;  // each stream list's 'NOTE' chunk
    std::uint64_t movi = 0;                 // the 'LIST' 'movi'
    std::uint64_t index = 0;                // the 'idx1' chunk (0 without one); entries in stream order
    std::vector<std::string> videoSamples;  // as written
    std::string noteBlock;
    std::string cstsBlock;
};

// The whole file. Throws std::runtime_error on impossible descs.
std::string BuildAvi(const AviDescription& desc, AviLayout* layout = nullptr);

// Writes BuildAvi's bytes to path; false with a message on failure.
bool WriteAviFile(const std::string& path, const AviDescription& desc, AviLayout* layout = nullptr,
                  std::string* error = nullptr);

} // namespace aviblocks
