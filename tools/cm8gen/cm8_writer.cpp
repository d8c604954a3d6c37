#include "tools/cm8gen/cm8_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tools/cm8gen/cm8_pattern.h"

namespace cm8 {
namespace {

static_assert(sizeof(long) >= 8, "positions past 4 GiB need a 64-bit long for fseek");

void Put32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

std::uint64_t DataStart(const Recording& rec) {
    return rec.headerless ? 0 : rec.dataOffset;
}

// Writes within the first `limit` bytes of the file only, so a cut file is written as if cut afterwards.
class ClippedFile {
public:
    ClippedFile(std::FILE* file, std::uint64_t limit) : m_file(file), m_limit(limit) {}

    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::uint64_t bytes) {
        if (offset >= m_limit) {
            return true;
        }
        bytes = std::min(bytes, m_limit - offset);
        if (std::fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0) {
            return false;
        }
        if (std::fwrite(data, 1, bytes, m_file) != bytes) {
            return false;
        }
        m_end = std::max(m_end, offset + bytes);
        return true;
    }

    // Gives the file its full length; what was never written stays a hole.
    bool Extend(std::uint64_t length) {
        length = std::min(length, m_limit);
        if (length <= m_end) {
            return true;
        }
        const std::uint8_t zero = 0;
        return WriteAt(length - 1, &zero, 1);
    }

private:
    std::FILE* m_file;
    std::uint64_t m_limit;
    std::uint64_t m_end = 0;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

std::array<std::uint8_t, kHeaderBytes> BuildHeader(const Recording& rec) {
    std::array<std::uint8_t, kHeaderBytes> h{};
    std::uint8_t* p = h.data();
    std::memcpy(p, rec.magic.data(), 4);
    Put32(p + 4, rec.dataOffset);
    Put32(p + 8, rec.reserved08);
    Put32(p + 12, rec.fileVer);
    const std::uint64_t dataBytes = std::uint64_t{rec.frames} * rec.FrameBytes();
    Put32(p + 20, rec.imageLength.value_or(static_cast<std::uint32_t>(dataBytes)));
    Put32(p + 24, rec.numFrames.value_or(rec.frames));
    Put32(p + 28, static_cast<std::uint32_t>(rec.begin));
    std::memcpy(p + 32, rec.triggerTime.data(), std::min<std::size_t>(16, rec.triggerTime.size()));
    p[48] = rec.segment;
    p[49] = rec.cameraId;
    p[50] = rec.zoom;
    Put32(p + 52, rec.rate);
    Put32(p + 56, rec.shutter);
    Put16(p + 60, rec.width);
    Put16(p + 62, rec.height);
    Put16(p + 66, rec.dispWidth.value_or(rec.width));
    Put16(p + 68, rec.dispHeight.value_or(rec.height));
    std::memcpy(p + 80, rec.cameraType.data(), 4);
    Put32(p + 84, rec.cameraVer);
    Put32(p + 88, rec.cameraSN);
    p[92] = rec.videoType;
    Put16(p + 94, static_cast<std::uint16_t>(rec.memorySize));
    p[96] = static_cast<std::uint8_t>(rec.recGain);
    Put16(p + 100, rec.scene);
    p[224] = rec.recWhiteBalance;
    p[225] = rec.recGamma;
    p[226] = rec.recEnhance;
    p[227] = rec.recChroma;
    return h;
}

std::uint64_t FullLength(const Recording& rec) {
    const std::uint64_t frames = DataStart(rec) + std::uint64_t{rec.frames} * rec.FrameBytes();
    return rec.headerless ? frames : std::max<std::uint64_t>(frames, kHeaderBytes);
}

bool WriteRecording(const std::string& path, const Recording& rec, std::string& error) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::uint64_t length = FullLength(rec);
    ClippedFile out(file.get(), rec.truncate.value_or(length));
    const auto failed = [&] {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    };

    const std::uint64_t frameBytes = rec.FrameBytes();
    const auto writeFrame = [&](std::uint32_t index) {
        const auto number = static_cast<std::int32_t>(static_cast<std::uint32_t>(rec.begin) + index);
        const std::vector<std::uint8_t> raw =
            MakeRawFrame(rec.width, rec.height, number, index, rec.GreenFirst());
        return out.WriteAt(DataStart(rec) + index * frameBytes, raw.data(), raw.size());
    };
    if (rec.onlyFrames.empty()) {
        for (std::uint32_t i = 0; i < rec.frames; ++i) {
            if (!writeFrame(i)) {
                return failed();
            }
        }
    } else {
        for (std::uint32_t i : rec.onlyFrames) {
            if (i < rec.frames && !writeFrame(i)) {
                return failed();
            }
        }
    }
    // The header goes last so that it wins over frames placed inside it by a small data offset.
    if (!rec.headerless) {
        const auto header = BuildHeader(rec);
        if (!out.WriteAt(0, header.data(), header.size())) {
            return failed();
        }
    }
    if (!out.Extend(length)) {
        return failed();
    }
    if (std::fflush(file.get()) != 0) {
        return failed();
    }
    return true;
}

} // namespace cm8
