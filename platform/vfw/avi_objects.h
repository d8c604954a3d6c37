// The objects behind the AVI handles (internal to the library).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/vfw/avi_content.h"
#include "platform/vfw/avi_writer.h"

// A reference-counted object; the last Release deletes it.
struct AviRefCounted {
    virtual ~AviRefCounted() = default;
    std::atomic<ULONG> refs{1};
};

struct IAVIFile : AviRefCounted {};

struct IAVIStream : AviRefCounted {
    virtual HRESULT Info(AVISTREAMINFOA* info) = 0;
    virtual HRESULT ReadFormat(LONG position, void* format, LONG* size) = 0;
    virtual HRESULT SetFormat(LONG position, const void* format, LONG size) = 0;
    virtual HRESULT Read(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
                         LONG* samplesRead) = 0;
    virtual HRESULT Write(LONG start, LONG samples, const void* data, LONG size, DWORD flags,
                          LONG* samplesWritten, LONG* bytesWritten) = 0;
    virtual HRESULT ReadData(DWORD ckid, void* data, LONG* size) = 0;
    virtual HRESULT WriteData(DWORD ckid, const void* data, LONG size) = 0;
    virtual LONG Start() = 0;
    virtual LONG Length() = 0;
    // Whether the sample at position is a key frame (true when unknown).
    virtual bool IsKeyFrame(LONG position) = 0;
    // The compressor that fills this stream (kept in its header).
    virtual void SetHandler(FOURCC handler) = 0;
};

struct IGetFrame : AviRefCounted {
    virtual void* GetFrame(LONG position) = 0;
};

namespace kivic::vfw {

// Live handles, so a stale or foreign handle is refused instead of followed.
void RegisterHandle(const void* object);
void UnregisterHandle(const void* object);
bool IsLiveHandle(const void* object);
// AddRef and Release of a reference-counted handle: 0 for one that is not live.
ULONG AddRefHandle(AviRefCounted* object);
ULONG ReleaseHandle(AviRefCounted* object);

// ReadData of a file or a stream: the first chunk with ckid copied into data (its size alone when data
// is null); *size gets the chunk's size.
HRESULT ReadDataChunk(const std::vector<DataChunk>& chunks, DWORD ckid, void* data, LONG* size);

class AviFile : public IAVIFile {
public:
    ~AviFile() override;
    static HRESULT Open(const char* path, UINT mode, AviFile** file);

    std::mutex mutex;
    RandomFile file;
    AviContent content;                // files opened for reading
    std::unique_ptr<AviWriter> writer; // files opened for writing
    bool finished = false;
    HRESULT finishResult = AVIERR_OK;

    // Opened for writing and not finished yet: streams, samples, formats and data may still be added.
    bool Writable() const { return writer && !finished; }
    // Writes the headers and indexes once (mutex held); later calls return the first result.
    HRESULT Finish();
    int StreamCount() const;
    const StreamContent& StreamAt(int index) const;
};

// Creates the stream object for stream index of file (which it holds a reference to).
IAVIStream* NewFileStream(AviFile* file, int index);

ULONGLONG RiffSizeLimit();

} // namespace kivic::vfw
