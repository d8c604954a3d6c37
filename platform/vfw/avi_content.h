// What the reader finds in an AVI file and the writer collects for one: streams with their headers,
// formats, data chunks and sample positions (internal to the library).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/vfw/avifile.h"

namespace kivic::vfw {

struct SampleEntry {
    std::uint64_t position = 0; // of the sample's data (behind its chunk header)
    std::uint32_t size = 0;
    bool keyFrame = true;
};

struct DataChunk {
    DWORD ckid = 0;
    std::vector<BYTE> data;
};

struct StreamContent {
    AVISTREAMINFOA info{};
    std::vector<BYTE> format;
    std::vector<DataChunk> dataChunks;
    std::vector<SampleEntry> samples;
    // For streams of fixed-size samples (dwSampleSize > 0): the bytes before each entry.
    std::vector<std::uint64_t> bytesBefore;
    std::uint64_t totalBytes = 0;

    // Samples of the stream: one per entry, or total bytes / sample size.
    LONG Length() const;
    // Builds bytesBefore and totalBytes from the entries.
    void Finish();
};

struct AviContent {
    DWORD microSecPerFrame = 0;
    DWORD maxBytesPerSec = 0;
    DWORD flags = 0;
    DWORD suggestedBufferSize = 0;
    DWORD width = 0;
    DWORD height = 0;
    std::vector<StreamContent> streams;
    std::vector<DataChunk> fileData;
};

// A file opened for reading or writing at explicit positions (POSIX descriptor).
class RandomFile {
public:
    RandomFile() = default;
    ~RandomFile();
    RandomFile(const RandomFile&) = delete;
    RandomFile& operator=(const RandomFile&) = delete;

    bool OpenRead(const std::string& path);
    // Creates or truncates.
    bool Create(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    std::uint64_t Size() const;
    bool ReadAt(std::uint64_t position, void* buffer, std::size_t size) const;
    bool WriteAt(std::uint64_t position, const void* data, std::size_t size);

private:
    int fd_ = -1;
    std::string path_;
};

// Reads the structure and index of an AVI file. AVIERR_BADFORMAT for anything that is not a well-formed
// RIFF AVI, AVIERR_FILEREAD when reading fails, AVIERR_MEMORY when the index cannot be held.
HRESULT ReadAviContent(const RandomFile& file, AviContent& content);

} // namespace kivic::vfw
