// The AVI writer. Samples are written behind room reserved for the headers; when the file is finished
// the headers go into that room (the samples are moved further back in the rare case that the headers
// outgrew it). Past the switch-over size the first RIFF gets its idx1 and the file continues with
// 'AVIX' RIFFs; such files also get OpenDML standard indexes (written at the end) and super indexes.
#include <algorithm>
#include <cstring>

#include "platform/vfw/avi_writer.h"
#include "platform/vfw/riff_format.h"

namespace kivic::vfw {

namespace {

constexpr std::size_t kSuperIndexRoom = 32; // super index entries reserved per stream before the data
constexpr std::uint64_t kAlign = 512;

std::uint64_t RoundUp(std::uint64_t v, std::uint64_t a) {
    return (v + a - 1) / a * a;
}

} // namespace

AviWriter::AviWriter(RandomFile& file, std::uint64_t riffLimit) : file_(file), riffLimit_(riffLimit) {}

int AviWriter::AddStream(const AVISTREAMINFOA& info) {
    StreamContent stream;
    stream.info = info;
    stream.info.dwLength = 0;
    content_.streams.push_back(std::move(stream));
    largest_.push_back(0);
    for (auto& segment : segments_)
        segment.firstSample.push_back(0);
    return StreamCount() - 1;
}

void AviWriter::AddFileData(DWORD ckid, const void* data, std::size_t size) {
    DataChunk chunk{ckid, {}};
    chunk.data.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    content_.fileData.push_back(std::move(chunk));
}

bool AviWriter::Put(const void* data, std::size_t size) {
    if (size && !file_.WriteAt(dataStart_ + pos_, data, size)) {
        failed_ = true;
        return false;
    }
    pos_ += size;
    return true;
}

bool AviWriter::PutChunkHeader(FOURCC id, std::uint32_t size) {
    BYTE head[8];
    for (int i = 0; i < 4; ++i) {
        head[i] = static_cast<BYTE>(id >> (8 * i));
        head[4 + i] = static_cast<BYTE>(size >> (8 * i));
    }
    return Put(head, 8);
}

FOURCC AviWriter::ChunkIdOf(int stream) const {
    const StreamContent& s = content_.streams[stream];
    const char* kind = "dc";
    if (s.info.fccType == streamtypeVIDEO) {
        if (s.format.size() >= sizeof(BITMAPINFOHEADER)) {
            BITMAPINFOHEADER h;
            std::memcpy(&h, s.format.data(), sizeof h);
            if (h.biCompression == BI_RGB)
                kind = "db";
        }
    } else if (s.info.fccType == streamtypeAUDIO) {
        kind = "wb";
    } else if (s.info.fccType == streamtypeTEXT) {
        kind = "tx";
    }
    return StreamChunkId(stream, kind);
}

HRESULT AviWriter::Start() {
    const std::vector<std::vector<std::pair<std::uint64_t, std::uint32_t>>> none(content_.streams.size());
    const std::size_t estimate = BuildHeader(true, none, kSuperIndexRoom).size();
    dataStart_ = RoundUp(estimate + 1024, kAlign);
    pos_ = 0;
    started_ = true;
    segments_.clear();
    segments_.push_back({});
    Segment& first = segments_.back();
    first.firstSample.assign(content_.streams.size(), 0);
    first.moviStart = 0;
    const BYTE list[12] = {'L', 'I', 'S', 'T', 0, 0, 0, 0, 'm', 'o', 'v', 'i'};
    return Put(list, sizeof list) ? AVIERR_OK : AVIERR_FILEWRITE;
}

HRESULT AviWriter::StartSegment() {
    Segment segment;
    segment.riffStart = pos_;
    segment.moviStart = pos_ + 12;
    for (const auto& s : content_.streams)
        segment.firstSample.push_back(s.samples.size());
    const BYTE head[24] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', 'X',
                           'L', 'I', 'S', 'T', 0, 0, 0, 0, 'm', 'o', 'v', 'i'};
    segments_.push_back(std::move(segment));
    return Put(head, sizeof head) ? AVIERR_OK : AVIERR_FILEWRITE;
}

HRESULT AviWriter::EndFirstSegment() {
    Segment& first = segments_.front();
    first.moviEnd = pos_;
    ByteWriter idx;
    for (const auto& e : idx1_) {
        idx.U32(e.ckid);
        idx.U32(e.flags);
        idx.U32(e.offset);
        idx.U32(e.size);
    }
    if (!PutChunkHeader(kIdx1, static_cast<std::uint32_t>(idx.Size())) || !Put(idx.bytes.data(), idx.Size()))
        return AVIERR_FILEWRITE;
    first.end = pos_;
    return AVIERR_OK;
}

HRESULT AviWriter::WriteSample(int stream, const void* data, std::uint32_t size, DWORD flags) {
    if (failed_)
        return AVIERR_FILEWRITE;
    if (!started_) {
        const HRESULT hr = Start();
        if (hr != AVIERR_OK)
            return hr;
    }
    const std::uint64_t chunkBytes = 8ull + size + (size & 1u);
    const bool inFirst = segments_.size() == 1;
    const Segment& current = segments_.back();
    const std::uint64_t projected = inFirst ? dataStart_ + pos_ + chunkBytes + 8 + 16 * (idx1_.size() + 1)
                                            : pos_ + chunkBytes - current.riffStart;
    const bool segmentHasData = pos_ > current.moviStart + 12;
    if (projected > riffLimit_ && segmentHasData) {
        if (inFirst) {
            const HRESULT hr = EndFirstSegment();
            if (hr != AVIERR_OK)
                return hr;
        } else {
            segments_.back().moviEnd = pos_;
            segments_.back().end = pos_;
        }
        const HRESULT hr = StartSegment();
        if (hr != AVIERR_OK)
            return hr;
    }
    const FOURCC id = ChunkIdOf(stream);
    const std::uint64_t chunkAt = pos_;
    if (!PutChunkHeader(id, size) || !Put(data, size))
        return AVIERR_FILEWRITE;
    if (size & 1u) {
        const BYTE pad = 0;
        if (!Put(&pad, 1))
            return AVIERR_FILEWRITE;
    }
    StreamContent& s = content_.streams[stream];
    s.samples.push_back({chunkAt + 8, size, (flags & AVIIF_KEYFRAME) != 0});
    s.totalBytes += size;
    largest_[stream] = std::max(largest_[stream], size);
    if (segments_.size() == 1)
        idx1_.push_back(
            {id, flags & (AVIIF_KEYFRAME | AVIIF_NOTIME), static_cast<std::uint32_t>(chunkAt - 8), size});
    return AVIERR_OK;
}

DWORD AviWriter::FirstSegmentFrames() const {
    for (std::size_t s = 0; s < content_.streams.size(); ++s) {
        if (content_.streams[s].info.fccType != streamtypeVIDEO)
            continue;
        if (segments_.size() > 1)
            return static_cast<DWORD>(segments_[1].firstSample[s]);
        return static_cast<DWORD>(content_.streams[s].samples.size());
    }
    return 0;
}

std::vector<BYTE>
AviWriter::BuildHeader(bool openDml,
                       const std::vector<std::vector<std::pair<std::uint64_t, std::uint32_t>>>& super,
                       std::size_t superReserve) const {
    ByteWriter w;
    w.U32(kRiff);
    w.U32(0); // patched by the caller
    w.U32(kAvi);
    const std::size_t hdrl = w.OpenList(kHdrl);

    // The main header describes the first video stream.
    const StreamContent* video = nullptr;
    for (const auto& s : content_.streams)
        if (s.info.fccType == streamtypeVIDEO) {
            video = &s;
            break;
        }
    DWORD width = 0, height = 0, usPerFrame = 0, suggested = 0;
    if (video) {
        if (video->format.size() >= sizeof(BITMAPINFOHEADER)) {
            BITMAPINFOHEADER h;
            std::memcpy(&h, video->format.data(), sizeof h);
            width = static_cast<DWORD>(h.biWidth);
            height = static_cast<DWORD>(h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight);
        } else {
            width = static_cast<DWORD>(video->info.rcFrame.right - video->info.rcFrame.left);
            height = static_cast<DWORD>(video->info.rcFrame.bottom - video->info.rcFrame.top);
        }
        if (video->info.dwRate)
            usPerFrame = static_cast<DWORD>((1000000ull * video->info.dwScale + video->info.dwRate / 2) /
                                            video->info.dwRate);
    }
    std::uint64_t bytesPerSec = 0;
    for (std::size_t i = 0; i < content_.streams.size(); ++i) {
        const auto& s = content_.streams[i];
        suggested = std::max({suggested, s.info.dwSuggestedBufferSize, largest_[i]});
        if (s.info.dwScale)
            bytesPerSec += static_cast<std::uint64_t>(largest_[i]) * s.info.dwRate / s.info.dwScale;
    }
    w.U32(kAvih);
    w.U32(kMainHeaderSize);
    w.U32(usPerFrame);
    w.U32(static_cast<DWORD>(std::min<std::uint64_t>(bytesPerSec, 0xFFFFFFFFu)));
    w.U32(0);                    // padding granularity
    w.U32(AVIFILEINFO_HASINDEX); // AVIF_HASINDEX
    w.U32(FirstSegmentFrames()); // frames in the first RIFF
    w.U32(0);                    // initial frames
    w.U32(static_cast<DWORD>(content_.streams.size()));
    w.U32(suggested);
    w.U32(width);
    w.U32(height);
    w.Zeros(16);

    for (std::size_t i = 0; i < content_.streams.size(); ++i) {
        const auto& s = content_.streams[i];
        const std::size_t strl = w.OpenList(kStrl);
        w.U32(kStrh);
        w.U32(kStreamHeaderSize);
        w.U32(s.info.fccType);
        w.U32(s.info.fccHandler);
        w.U32(s.info.dwFlags);
        w.U16(s.info.wPriority);
        w.U16(s.info.wLanguage);
        w.U32(s.info.dwInitialFrames);
        w.U32(s.info.dwScale);
        w.U32(s.info.dwRate);
        w.U32(s.info.dwStart);
        w.U32(
            static_cast<DWORD>(s.info.dwSampleSize ? s.totalBytes / s.info.dwSampleSize : s.samples.size()));
        w.U32(std::max(s.info.dwSuggestedBufferSize, largest_[i]));
        w.U32(s.info.dwQuality);
        w.U32(s.info.dwSampleSize);
        w.U16(static_cast<std::uint16_t>(s.info.rcFrame.left));
        w.U16(static_cast<std::uint16_t>(s.info.rcFrame.top));
        w.U16(static_cast<std::uint16_t>(s.info.rcFrame.right));
        w.U16(static_cast<std::uint16_t>(s.info.rcFrame.bottom));
        w.Chunk(kStrf, s.format.data(), s.format.size());
        for (const auto& chunk : s.dataChunks)
            w.Chunk(chunk.ckid, chunk.data.data(), chunk.data.size());
        if (s.info.szName[0]) {
            const std::size_t n = strnlen(s.info.szName, sizeof s.info.szName);
            std::vector<BYTE> name(s.info.szName, s.info.szName + n);
            name.push_back(0);
            w.Chunk(kStrn, name.data(), name.size());
        }
        if (openDml) {
            const auto& entries = super[i];
            const std::size_t slots = std::max(entries.size(), superReserve);
            w.U32(kIndx);
            w.U32(static_cast<std::uint32_t>(kSuperIndexHeader + 16 * slots));
            w.U16(4);
            w.U8(0);
            w.U8(kIndexOfIndexes);
            w.U32(static_cast<std::uint32_t>(entries.size()));
            w.U32(ChunkIdOf(static_cast<int>(i)));
            w.Zeros(12);
            std::size_t first = 0;
            for (std::size_t e = 0; e < entries.size(); ++e) {
                w.U64(entries[e].first);
                w.U32(entries[e].second);
                // Duration: the samples that this standard index covers.
                std::size_t count = 0;
                for (std::size_t seg = first; seg < segments_.size(); ++seg) {
                    const std::size_t begin = segments_[seg].firstSample[i];
                    const std::size_t end =
                        seg + 1 < segments_.size() ? segments_[seg + 1].firstSample[i] : s.samples.size();
                    if (end > begin) {
                        count = end - begin;
                        first = seg + 1;
                        break;
                    }
                }
                w.U32(static_cast<std::uint32_t>(count));
            }
            w.Zeros(16 * (slots - entries.size()));
        }
        w.CloseList(strl);
    }
    if (openDml) {
        const std::size_t odml = w.OpenList(kOdml);
        w.U32(kDmlh);
        w.U32(248);
        DWORD total = 0;
        for (const auto& s : content_.streams)
            if (s.info.fccType == streamtypeVIDEO) {
                total = static_cast<DWORD>(s.samples.size());
                break;
            }
        w.U32(total);
        w.Zeros(244);
        w.CloseList(odml);
    }
    w.CloseList(hdrl);
    for (const auto& chunk : content_.fileData)
        w.Chunk(chunk.ckid, chunk.data.data(), chunk.data.size());
    return w.bytes;
}

HRESULT AviWriter::Shift(std::uint64_t distance) {
    std::vector<BYTE> block(1u << 20);
    std::uint64_t remaining = pos_;
    while (remaining > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, block.size()));
        const std::uint64_t from = dataStart_ + remaining - n;
        if (!file_.ReadAt(from, block.data(), n) || !file_.WriteAt(from + distance, block.data(), n))
            return AVIERR_FILEWRITE;
        remaining -= n;
    }
    dataStart_ += distance;
    return AVIERR_OK;
}

HRESULT AviWriter::Finish() {
    if (failed_)
        return AVIERR_FILEWRITE;
    if (!started_) {
        const HRESULT hr = Start();
        if (hr != AVIERR_OK)
            return hr;
    }
    const bool openDml = segments_.size() > 1;
    const std::size_t streams = content_.streams.size();

    // Which standard indexes there will be: one per stream and RIFF that holds samples of it.
    std::vector<std::vector<std::pair<std::uint64_t, std::uint32_t>>> super(streams);
    auto segmentRange = [&](std::size_t seg, std::size_t s) {
        const std::size_t begin = segments_[seg].firstSample[s];
        const std::size_t end = seg + 1 < segments_.size() ? segments_[seg + 1].firstSample[s]
                                                           : content_.streams[s].samples.size();
        return std::make_pair(begin, end);
    };
    if (openDml)
        for (std::size_t s = 0; s < streams; ++s)
            for (std::size_t seg = 0; seg < segments_.size(); ++seg) {
                const auto [begin, end] = segmentRange(seg, s);
                if (end > begin)
                    super[s].push_back(
                        {0, static_cast<std::uint32_t>(8 + kStdIndexHeader + 8 * (end - begin))});
            }

    // Make sure the headers fit in front of the data.
    const std::size_t headerSize = BuildHeader(openDml, super, 0).size();
    if (headerSize != dataStart_ && headerSize + 8 > dataStart_) {
        const HRESULT hr = Shift(RoundUp(headerSize + 8 - dataStart_, kAlign));
        if (hr != AVIERR_OK)
            return hr;
    }

    if (openDml) {
        // The standard indexes go at the end of the last 'movi' list.
        for (std::size_t s = 0; s < streams; ++s) {
            std::size_t entry = 0;
            for (std::size_t seg = 0; seg < segments_.size(); ++seg) {
                const auto [begin, end] = segmentRange(seg, s);
                if (end <= begin)
                    continue;
                const std::uint64_t base = dataStart_ + segments_[seg].moviStart;
                ByteWriter ix;
                ix.U16(2);
                ix.U8(0);
                ix.U8(kIndexOfChunks);
                ix.U32(static_cast<std::uint32_t>(end - begin));
                ix.U32(ChunkIdOf(static_cast<int>(s)));
                ix.U64(base);
                ix.U32(0);
                for (std::size_t k = begin; k < end; ++k) {
                    const SampleEntry& e = content_.streams[s].samples[k];
                    ix.U32(static_cast<std::uint32_t>(dataStart_ + e.position - base));
                    ix.U32(e.size | (e.keyFrame ? 0u : 0x80000000u));
                }
                super[s][entry++].first = dataStart_ + pos_;
                const FOURCC id = mmioFOURCC('i', 'x', '0' + (s / 10) % 10, '0' + s % 10);
                if (!PutChunkHeader(id, static_cast<std::uint32_t>(ix.Size())) ||
                    !Put(ix.bytes.data(), ix.Size()))
                    return AVIERR_FILEWRITE;
            }
        }
        segments_.back().moviEnd = pos_;
        segments_.back().end = pos_;
    } else {
        const HRESULT hr = EndFirstSegment();
        if (hr != AVIERR_OK)
            return hr;
    }

    // Sizes of the lists and RIFFs.
    auto patch = [&](std::uint64_t at, std::uint64_t value) {
        BYTE v[4];
        for (int i = 0; i < 4; ++i)
            v[i] = static_cast<BYTE>(value >> (8 * i));
        return file_.WriteAt(at, v, 4);
    };
    for (std::size_t seg = 0; seg < segments_.size(); ++seg) {
        const Segment& segment = segments_[seg];
        if (!patch(dataStart_ + segment.moviStart + 4, segment.moviEnd - segment.moviStart - 8))
            return AVIERR_FILEWRITE;
        if (seg > 0 && !patch(dataStart_ + segment.riffStart + 4, segment.end - segment.riffStart - 8))
            return AVIERR_FILEWRITE;
    }

    // The headers, then JUNK up to the data.
    ByteWriter header;
    header.bytes = BuildHeader(openDml, super, 0);
    header.Patch32(4, static_cast<std::uint32_t>(dataStart_ + segments_.front().end - 8));
    if (header.Size() < dataStart_) {
        header.U32(kJunk);
        header.U32(static_cast<std::uint32_t>(dataStart_ - header.Size() - 4));
        header.Zeros(dataStart_ - header.Size());
    }
    if (!file_.WriteAt(0, header.bytes.data(), header.Size()))
        return AVIERR_FILEWRITE;
    for (auto& s : content_.streams)
        s.Finish();
    return AVIERR_OK;
}

} // namespace kivic::vfw
