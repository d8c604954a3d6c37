// Reading the structure of an AVI file: the header list, the streams and where their samples lie.
//
// The index comes from OpenDML indexes when the streams carry them (files past the first RIFF), else
// from idx1, else from a scan of the 'movi' lists. Nothing read from the file is trusted: every chunk
// must lie inside its parent and inside the file, and index entries must point into the file.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/vfw/avi_content.h"
#include "platform/vfw/dib_convert.h"
#include "platform/vfw/riff_format.h"

namespace kivic::vfw {

namespace {

constexpr int kMaxStreams = 100; // chunk ids carry the stream number in two digits

struct Chunk {
    FOURCC id = 0;
    std::uint32_t size = 0;
    std::uint64_t data = 0; // position of the data
    std::uint64_t End() const { return data + size; }
    std::uint64_t Next() const { return data + size + (size & 1u); }
};

class Parser {
public:
    Parser(const RandomFile& file, AviContent& content)
        : file_(file), content_(content), size_(file.Size()) {}

    HRESULT Run();

private:
    bool ReadChunk(std::uint64_t pos, std::uint64_t end, Chunk& chunk) const;
    bool ReadData(const Chunk& chunk, std::vector<BYTE>& data) const;
    HRESULT ParseHeaderList(std::uint64_t pos, std::uint64_t end);
    HRESULT ParseStreamList(std::uint64_t pos, std::uint64_t end, std::vector<BYTE>& superIndex);
    void ScanMovi(std::uint64_t pos, std::uint64_t end);
    HRESULT ReadIdx1();
    HRESULT ReadOdmlIndex(std::size_t stream, const std::vector<BYTE>& indx);
    HRESULT ReadStandardIndex(std::size_t stream, const BYTE* data, std::size_t size);

    const RandomFile& file_;
    AviContent& content_;
    std::uint64_t size_;
    DWORD declaredStreams_ = 0;
    bool haveMainHeader_ = false;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> movis_; // 'movi' fourcc position, end
    Chunk idx1_{};
    bool haveIdx1_ = false;
    std::vector<std::vector<BYTE>> superIndexes_;
};

bool Parser::ReadChunk(std::uint64_t pos, std::uint64_t end, Chunk& chunk) const {
    if (pos + 8 > end)
        return false;
    BYTE head[8];
    if (!file_.ReadAt(pos, head, 8))
        return false;
    chunk.id = Le32(head);
    chunk.size = Le32(head + 4);
    chunk.data = pos + 8;
    return true;
}

bool Parser::ReadData(const Chunk& chunk, std::vector<BYTE>& data) const {
    if (chunk.End() > size_)
        return false;
    data.resize(chunk.size);
    return chunk.size == 0 || file_.ReadAt(chunk.data, data.data(), chunk.size);
}

HRESULT Parser::Run() {
    if (size_ < 12)
        return AVIERR_BADFORMAT;
    BYTE head[12];
    if (!file_.ReadAt(0, head, 12))
        return AVIERR_FILEREAD;
    if (Le32(head) != kRiff || Le32(head + 8) != kAvi)
        return AVIERR_BADFORMAT;
    // A truncated file keeps what it holds: the RIFF ends at the file's end at the latest.
    const std::uint64_t riffEnd = std::min<std::uint64_t>(8ull + Le32(head + 4), size_);
    bool haveHeaderList = false;
    Chunk chunk;
    for (std::uint64_t pos = 12; ReadChunk(pos, riffEnd, chunk); pos = chunk.Next()) {
        if (chunk.id == kList) {
            if (chunk.size < 4)
                return AVIERR_BADFORMAT;
            BYTE type[4];
            if (!file_.ReadAt(chunk.data, type, 4))
                return AVIERR_FILEREAD;
            if (Le32(type) == kHdrl && !haveHeaderList) {
                if (chunk.End() > riffEnd)
                    return AVIERR_BADFORMAT;
                const HRESULT hr = ParseHeaderList(chunk.data + 4, chunk.End());
                if (hr != AVIERR_OK)
                    return hr;
                haveHeaderList = true;
            } else if (Le32(type) == kMovi) {
                movis_.emplace_back(chunk.data, std::min(chunk.End(), riffEnd));
            }
        } else if (chunk.id == kIdx1) {
            if (chunk.End() <= riffEnd) {
                idx1_ = chunk;
                haveIdx1_ = true;
            }
        } else if (chunk.id != kJunk && chunk.End() <= riffEnd) {
            DataChunk data{chunk.id, {}};
            if (!ReadData(chunk, data.data))
                return AVIERR_FILEREAD;
            content_.fileData.push_back(std::move(data));
        }
    }
    if (!haveHeaderList)
        return AVIERR_BADFORMAT;

    // OpenDML continuation RIFFs follow the first one.
    std::uint64_t pos = 8ull + Le32(head + 4);
    pos += pos & 1u;
    while (pos + 12 <= size_) {
        BYTE riff[12];
        if (!file_.ReadAt(pos, riff, 12) || Le32(riff) != kRiff || Le32(riff + 8) != kAvix)
            break;
        const std::uint64_t end = std::min<std::uint64_t>(pos + 8 + Le32(riff + 4), size_);
        for (std::uint64_t at = pos + 12; ReadChunk(at, end, chunk); at = chunk.Next()) {
            BYTE type[4];
            if (chunk.id == kList && chunk.size >= 4 && file_.ReadAt(chunk.data, type, 4) &&
                Le32(type) == kMovi)
                movis_.emplace_back(chunk.data, std::min(chunk.End(), end));
        }
        pos = pos + 8 + Le32(riff + 4);
        pos += pos & 1u;
    }

    // Where the samples are.
    bool indexed = false;
    for (std::size_t s = 0; s < content_.streams.size(); ++s) {
        if (superIndexes_[s].empty())
            continue;
        const HRESULT hr = ReadOdmlIndex(s, superIndexes_[s]);
        if (hr != AVIERR_OK)
            return hr;
        indexed = true;
    }
    if (!indexed && haveIdx1_) {
        const HRESULT hr = ReadIdx1();
        if (hr != AVIERR_OK)
            return hr;
        indexed = true;
    }
    if (!indexed)
        for (const auto& [start, end] : movis_)
            ScanMovi(start + 4, end);
    for (auto& stream : content_.streams) {
        stream.Finish();
        // Positions are 32-bit frame numbers: the end of a stream, one past its last sample, is one too.
        if (std::int64_t{stream.info.dwStart} + stream.Length() > INT32_MAX)
            return AVIERR_BADFORMAT;
    }
    return AVIERR_OK;
}

HRESULT Parser::ParseHeaderList(std::uint64_t pos, std::uint64_t end) {
    Chunk chunk;
    for (; ReadChunk(pos, end, chunk); pos = chunk.Next()) {
        if (chunk.End() > end)
            return AVIERR_BADFORMAT;
        if (chunk.id == kAvih) {
            if (chunk.size < kMainHeaderSize)
                return AVIERR_BADFORMAT;
            BYTE h[kMainHeaderSize];
            if (!file_.ReadAt(chunk.data, h, sizeof h))
                return AVIERR_FILEREAD;
            content_.microSecPerFrame = Le32(h);
            content_.maxBytesPerSec = Le32(h + 4);
            content_.flags = Le32(h + 12);
            declaredStreams_ = Le32(h + 24);
            content_.suggestedBufferSize = Le32(h + 28);
            content_.width = Le32(h + 32);
            content_.height = Le32(h + 36);
            haveMainHeader_ = true;
        } else if (chunk.id == kList && chunk.size >= 4) {
            BYTE type[4];
            if (!file_.ReadAt(chunk.data, type, 4))
                return AVIERR_FILEREAD;
            if (Le32(type) != kStrl)
                continue;
            if (static_cast<int>(content_.streams.size()) >= kMaxStreams)
                return AVIERR_BADFORMAT;
            std::vector<BYTE> superIndex;
            const HRESULT hr = ParseStreamList(chunk.data + 4, chunk.End(), superIndex);
            if (hr != AVIERR_OK)
                return hr;
            superIndexes_.push_back(std::move(superIndex));
        }
    }
    if (!haveMainHeader_ || declaredStreams_ > content_.streams.size() || content_.streams.empty())
        return AVIERR_BADFORMAT;
    return AVIERR_OK;
}

HRESULT Parser::ParseStreamList(std::uint64_t pos, std::uint64_t end, std::vector<BYTE>& superIndex) {
    StreamContent stream;
    bool haveHeader = false;
    Chunk chunk;
    for (; ReadChunk(pos, end, chunk); pos = chunk.Next()) {
        if (chunk.End() > end)
            return AVIERR_BADFORMAT;
        std::vector<BYTE> data;
        if (chunk.id != kJunk && !ReadData(chunk, data))
            return AVIERR_FILEREAD;
        if (chunk.id == kStrh) {
            if (data.size() < 48)
                return AVIERR_BADFORMAT;
            AVISTREAMINFOA& i = stream.info;
            const BYTE* h = data.data();
            i.fccType = Le32(h);
            i.fccHandler = Le32(h + 4);
            i.dwFlags = Le32(h + 8);
            i.wPriority = Le16(h + 12);
            i.wLanguage = Le16(h + 14);
            i.dwInitialFrames = Le32(h + 16);
            i.dwScale = Le32(h + 20);
            i.dwRate = Le32(h + 24);
            i.dwStart = Le32(h + 28);
            i.dwLength = Le32(h + 32);
            i.dwSuggestedBufferSize = Le32(h + 36);
            i.dwQuality = Le32(h + 40);
            i.dwSampleSize = Le32(h + 44);
            if (data.size() >= 56) {
                i.rcFrame.left = static_cast<std::int16_t>(Le16(h + 48));
                i.rcFrame.top = static_cast<std::int16_t>(Le16(h + 50));
                i.rcFrame.right = static_cast<std::int16_t>(Le16(h + 52));
                i.rcFrame.bottom = static_cast<std::int16_t>(Le16(h + 54));
            }
            haveHeader = true;
        } else if (chunk.id == kStrf) {
            stream.format = std::move(data);
        } else if (chunk.id == kStrn) {
            const std::size_t n = std::min<std::size_t>(data.size(), sizeof stream.info.szName - 1);
            std::copy_n(data.begin(), n, stream.info.szName);
            stream.info.szName[n] = 0;
        } else if (chunk.id == kIndx) {
            superIndex = std::move(data);
        } else if (chunk.id != kJunk) {
            stream.dataChunks.push_back({chunk.id, std::move(data)});
        }
    }
    if (!haveHeader)
        return AVIERR_BADFORMAT;
    if (stream.info.fccType == streamtypeVIDEO && stream.format.size() >= sizeof(BITMAPINFOHEADER)) {
        // A picture format must describe itself within its own bytes (its header size, and a colour
        // table no longer than its pixels can index) and a picture that can be shown.
        BITMAPINFOHEADER h;
        std::memcpy(&h, stream.format.data(), sizeof h);
        if (h.biSize < sizeof h || h.biSize > stream.format.size() ||
            (h.biBitCount <= 8 && h.biClrUsed > 256) || !IsShowablePicture(&h))
            return AVIERR_BADFORMAT;
    }
    content_.streams.push_back(std::move(stream));
    return AVIERR_OK;
}

void Parser::ScanMovi(std::uint64_t pos, std::uint64_t end) {
    Chunk chunk;
    while (ReadChunk(pos, end, chunk)) {
        if (chunk.id == kList) {
            // 'rec ' groups are entered; other lists are skipped.
            BYTE type[4];
            if (chunk.size >= 4 && file_.ReadAt(chunk.data, type, 4) && Le32(type) == kRec) {
                pos = chunk.data + 4;
                continue;
            }
        } else if (chunk.End() > end) {
            return; // truncated: the rest of the list is gone
        } else {
            const int s = StreamOfChunkId(chunk.id);
            if (s >= 0 && s < static_cast<int>(content_.streams.size()))
                content_.streams[s].samples.push_back({chunk.data, chunk.size, true});
        }
        pos = chunk.Next();
    }
}

HRESULT Parser::ReadIdx1() {
    if (movis_.empty())
        return AVIERR_BADFORMAT;
    std::vector<BYTE> raw;
    if (!ReadData(idx1_, raw))
        return AVIERR_FILEREAD;
    const std::size_t count = raw.size() / 16;
    // Offsets count from the 'movi' fourcc, or (in some writers' files) from the file start.
    std::uint64_t base = movis_.front().first;
    for (std::size_t e = 0; e < count; ++e) {
        const BYTE* entry = raw.data() + 16 * e;
        if (Le32(entry + 4) & AVIIF_LIST)
            continue;
        const std::uint64_t offset = Le32(entry + 8);
        BYTE id[4];
        if (file_.ReadAt(base + offset, id, 4) && Le32(id) == Le32(entry))
            break;
        if (file_.ReadAt(offset, id, 4) && Le32(id) == Le32(entry))
            base = 0;
        break;
    }
    for (std::size_t e = 0; e < count; ++e) {
        const BYTE* entry = raw.data() + 16 * e;
        const DWORD flags = Le32(entry + 4);
        const int s = StreamOfChunkId(Le32(entry));
        if ((flags & AVIIF_LIST) || s < 0 || s >= static_cast<int>(content_.streams.size()))
            continue;
        const std::uint64_t data = base + Le32(entry + 8) + 8;
        const std::uint32_t size = Le32(entry + 12);
        if (data + size > size_)
            return AVIERR_BADFORMAT;
        content_.streams[s].samples.push_back({data, size, (flags & AVIIF_KEYFRAME) != 0});
    }
    return AVIERR_OK;
}

HRESULT Parser::ReadOdmlIndex(std::size_t stream, const std::vector<BYTE>& indx) {
    if (indx.size() < kSuperIndexHeader)
        return AVIERR_BADFORMAT;
    const BYTE* h = indx.data();
    const std::uint16_t longsPerEntry = Le16(h);
    const std::uint8_t type = h[3];
    const std::uint32_t entries = Le32(h + 4);
    if (type == kIndexOfChunks)
        return ReadStandardIndex(stream, indx.data(), indx.size());
    if (type != kIndexOfIndexes || longsPerEntry != 4 || entries > (indx.size() - kSuperIndexHeader) / 16)
        return AVIERR_BADFORMAT;
    for (std::uint32_t e = 0; e < entries; ++e) {
        const BYTE* entry = h + kSuperIndexHeader + 16 * e;
        Chunk chunk;
        if (!ReadChunk(Le64(entry), size_, chunk))
            return AVIERR_BADFORMAT;
        std::vector<BYTE> data;
        if (!ReadData(chunk, data))
            return AVIERR_BADFORMAT;
        const HRESULT hr = ReadStandardIndex(stream, data.data(), data.size());
        if (hr != AVIERR_OK)
            return hr;
    }
    return AVIERR_OK;
}

HRESULT Parser::ReadStandardIndex(std::size_t stream, const BYTE* data, std::size_t size) {
    if (size < kStdIndexHeader)
        return AVIERR_BADFORMAT;
    const std::uint16_t longsPerEntry = Le16(data);
    const std::uint32_t entries = Le32(data + 4);
    if (data[3] != kIndexOfChunks || longsPerEntry != 2 || entries > (size - kStdIndexHeader) / 8)
        return AVIERR_BADFORMAT;
    const std::uint64_t base = Le64(data + 12);
    auto& samples = content_.streams[stream].samples;
    try {
        samples.reserve(samples.size() + entries);
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY;
    }
    for (std::uint32_t e = 0; e < entries; ++e) {
        const BYTE* entry = data + kStdIndexHeader + 8 * e;
        const std::uint64_t position = base + Le32(entry);
        const std::uint32_t sizeField = Le32(entry + 4);
        const std::uint32_t bytes = sizeField & 0x7FFFFFFFu;
        if (position + bytes > size_)
            return AVIERR_BADFORMAT;
        samples.push_back({position, bytes, (sizeField & 0x80000000u) == 0});
    }
    return AVIERR_OK;
}

} // namespace

LONG StreamContent::Length() const {
    if (info.dwSampleSize == 0)
        return static_cast<LONG>(std::min<std::size_t>(samples.size(), 0x7FFFFFFF));
    return static_cast<LONG>(std::min<std::uint64_t>(totalBytes / info.dwSampleSize, 0x7FFFFFFF));
}

void StreamContent::Finish() {
    bytesBefore.clear();
    totalBytes = 0;
    if (info.dwSampleSize != 0) {
        bytesBefore.reserve(samples.size());
        for (const auto& s : samples) {
            bytesBefore.push_back(totalBytes);
            totalBytes += s.size;
        }
    }
    info.dwLength = static_cast<DWORD>(Length());
}

HRESULT ReadAviContent(const RandomFile& file, AviContent& content) {
    try {
        Parser parser(file, content);
        return parser.Run();
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY;
    }
}

} // namespace kivic::vfw
