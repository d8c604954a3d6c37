#include "tools/aviblocks/aviblocks_riff.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "tools/aviblocks/aviblocks_blocks.h"

namespace aviblocks {

namespace {

constexpr std::uint32_t kHasIndex = 0x10;
constexpr std::uint32_t kKeyFrame = 0x10;
constexpr std::size_t kCstsRecords = 2;

struct StreamPlan {
    const char* type;
    const char* handler;
    std::string format;
    std::vector<std::string> samples;
    const char* chunkKind;
};

void PatchU32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

// Opens a chunk or list: returns where its size goes, patched by Close.
std::size_t Open(std::string& out, const char id[4], const char* listType = nullptr) {
    AppendFourcc(out, id);
    const std::size_t sizeAt = out.size();
    AppendU32(out, 0);
    if (listType != nullptr) {
        AppendFourcc(out, listType);
    }
    return sizeAt;
}

void Close(std::string& out, std::size_t sizeAt) {
    const std::size_t size = out.size() - sizeAt - 4;
    if (size > 0xFFFFFFFFu) {
        throw std::runtime_error("AVI chunk larger than 4 GiB");
    }
    PatchU32(out, sizeAt, static_cast<std::uint32_t>(size));
    if (size & 1) {
        out.push_back('\0');
    }
}

void AppendChunk(std::string& out, const char id[4], const std::string& data) {
    const std::size_t at = Open(out, id);
    out += data;
    Close(out, at);
}

std::string BitmapFormat(int width, int height) {
    std::string f;
    AppendU32(f, 40);
    AppendU32(f, static_cast<std::uint32_t>(width));
    AppendU32(f, static_cast<std::uint32_t>(height));
    AppendU16(f, 1);
    AppendU16(f, 24);
    AppendU32(f, 0); // BI_RGB
    AppendU32(f, static_cast<std::uint32_t>(width) * 3u * static_cast<std::uint32_t>(height));
    for (int i = 0; i < 4; ++i) {
        AppendU32(f, 0);
    }
    return f;
}

std::uint32_t LargestSample(const std::vector<std::string>& samples) {
    std::size_t largest = 0;
    for (const std::string& s : samples) {
        largest = std::max(largest, s.size());
    }
    return static_cast<std::uint32_t>(largest);
}

std::string StreamHeader(const StreamPlan& plan, const AviDescription& desc, bool video) {
    std::string h;
    AppendFourcc(h, plan.type);
    AppendFourcc(h, plan.handler);
    AppendU32(h, 0);                      // flags
    AppendU16(h, 0);                      // priority
    AppendU16(h, 0);                      // language
    AppendU32(h, 0);                      // initial frames
    AppendU32(h, video ? desc.scale : 1); // scale
    AppendU32(h, video ? desc.rate : 1);  // rate
    AppendU32(h, 0);                      // start
    AppendU32(h, static_cast<std::uint32_t>(plan.samples.size()));
    AppendU32(h, LargestSample(plan.samples)); // suggested buffer size
    AppendU32(h, video ? static_cast<std::uint32_t>(desc.quality) : 0);
    AppendU32(h, 0); // sample size: variable
    AppendU16(h, 0);
    AppendU16(h, 0);
    AppendU16(h, video ? static_cast<std::uint16_t>(desc.width) : 0);
    AppendU16(h, video ? static_cast<std::uint16_t>(desc.height) : 0);
    return h;
}

std::vector<std::string> VideoSamples(const AviDescription& desc) {
    if (!desc.samples.empty()) {
        return desc.samples;
    }
    std::vector<std::string> samples;
    for (int i = 0; i < desc.frames; ++i) {
        samples.push_back(EncodeTwoFieldFrame(MakeTestPicture(i, desc.width, desc.height), desc.width,
                                              desc.height, desc.quality, desc.form));
    }
    return samples;
}

std::string ChunkId(std::size_t stream, const char kind[2]) {
    std::string id;
    id.push_back(static_cast<char>('0' + stream / 10));
    id.push_back(static_cast<char>('0' + stream % 10));
    id.append(kind, 2);
    return id;
}

} // namespace

std::string BuildAvi(const AviDescription& desc, AviLayout* layout) {
    if (desc.width <= 0 || desc.height <= 0 || desc.width > 32767 || desc.height > 32767 || desc.rate == 0 ||
        desc.scale == 0) {
        throw std::runtime_error("bad picture size or rate");
    }
    AviLayout local;
    AviLayout& where = layout != nullptr ? *layout : local;
    where = AviLayout{};
    where.noteBlock = desc.noteBlock.empty() ? BuildNoteBlock(SampleNoteEntries()) : desc.noteBlock;
    where.cstsBlock = desc.cstsBlock.empty() ? SampleCstBlock(kCstsRecords) : desc.cstsBlock;
    where.videoSamples = VideoSamples(desc);

    std::vector<StreamPlan> plans;
    plans.push_back({"vids", "YRJQ", BitmapFormat(desc.width, desc.height), where.videoSamples, "db"});
    const auto infoSamples = [&](const std::string& block) {
        return desc.emptyInfoStreams ? std::vector<std::string>{} : std::vector<std::string>{block};
    };
    if (desc.noteStream) {
        plans.push_back({"NOTE", "\0\0\0\0", std::string(), infoSamples(where.noteBlock), "dc"});
    }
    if (desc.cstsStream) {
        plans.push_back({"CSTS", "\0\0\0\0", std::string(), infoSamples(where.cstsBlock), "dc"});
    }

    std::string out;
    const std::size_t riff = Open(out, "RIFF", "AVI ");
    const std::size_t hdrl = Open(out, "LIST", "hdrl");
    where.mainHeader = out.size();
    std::string avih;
    AppendU32(avih, static_cast<std::uint32_t>(1000000ull * desc.scale / desc.rate));
    AppendU32(avih, LargestSample(where.videoSamples) * desc.rate / desc.scale);
    AppendU32(avih, 0);
    AppendU32(avih, desc.index ? kHasIndex : 0);
    AppendU32(avih, static_cast<std::uint32_t>(where.videoSamples.size()));
    AppendU32(avih, 0);
    AppendU32(avih, static_cast<std::uint32_t>(plans.size()));
    AppendU32(avih, LargestSample(where.videoSamples));
    AppendU32(avih, static_cast<std::uint32_t>(desc.width));
    AppendU32(avih, static_cast<std::uint32_t>(desc.height));
    for (int i = 0; i < 4; ++i) {
        AppendU32(avih, 0);
    }
    AppendChunk(out, "avih", avih);

    for (std::size_t s = 0; s < plans.size(); ++s) {
        where.streamLists.push_back(out.size());
        const std::size_t strl = Open(out, "LIST", "strl");
        AppendChunk(out, "strh", StreamHeader(plans[s], desc, s == 0));
        AppendChunk(out, "strf", plans[s].format);
        if (desc.infoChunks) {
            const std::size_t strd = Open(out, "strd");
            // Inside the stream data the two blocks follow each other without pad bytes.
            where.cstsChunks.push_back(out.size());
            AppendFourcc(out, "CSTS");
            AppendU32(out, static_cast<std::uint32_t>(where.cstsBlock.size()));
            out += where.cstsBlock;
            where.noteChunks.push_back(out.size());
            AppendFourcc(out, "NOTE");
            AppendU32(out, static_cast<std::uint32_t>(where.noteBlock.size()));
            out += where.noteBlock;
            Close(out, strd);
        }
        Close(out, strl);
    }
    Close(out, hdrl);

    struct IndexEntry {
        std::string id;
        std::uint32_t offset;
        std::uint32_t size;
    };
    std::vector<IndexEntry> index;
    where.movi = out.size();
    const std::size_t movi = Open(out, "LIST", "movi");
    const std::size_t moviType = movi + 4;
    // Video frames first, then the single samples of the information streams.
    for (std::size_t s = 0; s < plans.size(); ++s) {
        const std::string id = ChunkId(s, plans[s].chunkKind);
        for (const std::string& sample : plans[s].samples) {
            index.push_back({id, static_cast<std::uint32_t>(out.size() - moviType),
                             static_cast<std::uint32_t>(sample.size())});
            AppendChunk(out, id.c_str(), sample);
        }
    }
    Close(out, movi);
    if (desc.index) {
        where.index = out.size();
        const std::size_t idx1 = Open(out, "idx1");
        for (const IndexEntry& e : index) {
            AppendFourcc(out, e.id.c_str());
            AppendU32(out, kKeyFrame);
            AppendU32(out, e.offset);
            AppendU32(out, e.size);
        }
        Close(out, idx1);
    }
    Close(out, riff);
    return out;
}

bool WriteAviFile(const std::string& path, const AviDescription& desc, AviLayout* layout,
                  std::string* error) {
    try {
        const std::string bytes = BuildAvi(desc, layout);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            throw std::runtime_error("cannot write " + path);
        }
        return true;
    } catch (const std::exception& e) {
        if (error != nullptr) {
            *error = e.what();
        }
        return false;
    }
}

} // namespace aviblocks
