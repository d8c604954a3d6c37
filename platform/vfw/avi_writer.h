// Writing an AVI file: samples go to the file as they come; headers and indexes are written when the
// file is finished (internal to the library).
#pragma once

#include "platform/vfw/avi_content.h"

namespace kivic::vfw {

class AviWriter {
public:
    AviWriter(RandomFile& file, std::uint64_t riffLimit);

    // Streams, formats and data chunks may be added until Finish; they live in the header list.
    int AddStream(const AVISTREAMINFOA& info);
    StreamContent& Stream(int index) { return content_.streams[index]; }
    const StreamContent& Stream(int index) const { return content_.streams[index]; }
    int StreamCount() const { return static_cast<int>(content_.streams.size()); }
    void AddFileData(DWORD ckid, const void* data, std::size_t size);

    HRESULT WriteSample(int stream, const void* data, std::uint32_t size, DWORD flags);
    // Writes the indexes and the headers; the file is complete afterwards.
    HRESULT Finish();

private:
    struct Segment {
        std::uint64_t riffStart = 0; // relative to dataStart_ (unused for the first RIFF)
        std::uint64_t moviStart = 0; // relative position of the 'LIST' header of its 'movi' list
        std::uint64_t moviEnd = 0;
        std::uint64_t end = 0;
        std::vector<std::size_t> firstSample; // per stream: the first sample index in this segment
    };
    struct Idx1Entry {
        DWORD ckid;
        DWORD flags;
        std::uint32_t offset;
        std::uint32_t size;
    };

    HRESULT Start();
    HRESULT StartSegment();
    HRESULT EndFirstSegment();
    bool Put(const void* data, std::size_t size);
    bool PutChunkHeader(FOURCC id, std::uint32_t size);
    std::vector<BYTE>
    BuildHeader(bool openDml, const std::vector<std::vector<std::pair<std::uint64_t, std::uint32_t>>>& super,
                std::size_t superReserve) const;
    FOURCC ChunkIdOf(int stream) const;
    HRESULT Shift(std::uint64_t distance);
    DWORD FirstSegmentFrames() const;

    RandomFile& file_;
    std::uint64_t riffLimit_;
    AviContent content_;
    bool started_ = false;
    bool failed_ = false;
    std::uint64_t dataStart_ = 0; // absolute position of the first 'movi' list
    std::uint64_t pos_ = 0;       // relative write position
    std::vector<Segment> segments_;
    std::vector<Idx1Entry> idx1_;
    std::vector<std::uint32_t> largest_;
};

} // namespace kivic::vfw
