// The streams of an AVI file and the stream functions.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/vfw/avi_objects.h"

namespace kivic::vfw {

namespace {

class FileStream : public IAVIStream {
public:
    FileStream(AviFile* file, int index) : file_(file), index_(index) { AVIFileAddRef(file_); }
    ~FileStream() override { AVIFileRelease(file_); }

    HRESULT Info(AVISTREAMINFOA* info) override {
        std::lock_guard lock(file_->mutex);
        *info = file_->StreamAt(index_).info;
        info->dwLength = static_cast<DWORD>(Stream().Length());
        return AVIERR_OK;
    }

    HRESULT ReadFormat(LONG, void* format, LONG* size) override {
        std::lock_guard lock(file_->mutex);
        const auto& f = Stream().format;
        const LONG needed = static_cast<LONG>(f.size());
        if (format) {
            const LONG n = std::min(needed, std::max<LONG>(*size, 0));
            std::memcpy(format, f.data(), static_cast<std::size_t>(n));
        }
        *size = needed;
        return AVIERR_OK;
    }

    HRESULT SetFormat(LONG, const void* format, LONG size) override {
        std::lock_guard lock(file_->mutex);
        if (!file_->Writable())
            return AVIERR_READONLY;
        auto& f = file_->writer->Stream(index_).format;
        const BYTE* p = static_cast<const BYTE*>(format);
        f.assign(p, p + size);
        return AVIERR_OK;
    }

    HRESULT Read(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
                 LONG* samplesRead) override {
        std::lock_guard lock(file_->mutex);
        if (file_->writer)
            return AVIERR_UNSUPPORTED; // samples of a file being written are read after it is finished
        const StreamContent& s = Stream();
        const std::int64_t first = static_cast<std::int64_t>(start) - s.info.dwStart;
        if (first < 0 || first >= s.Length())
            return AVIERR_NODATA;
        if (s.info.dwSampleSize == 0)
            return ReadChunk(s.samples[static_cast<std::size_t>(first)], buffer, bufferSize, bytes,
                             samplesRead);
        return ReadFixed(s, static_cast<std::uint64_t>(first), samples, buffer, bufferSize, bytes,
                         samplesRead);
    }

    HRESULT Write(LONG start, LONG samples, const void* data, LONG size, DWORD flags, LONG* samplesWritten,
                  LONG* bytesWritten) override {
        std::lock_guard lock(file_->mutex);
        if (!file_->Writable())
            return AVIERR_READONLY;
        AviWriter& w = *file_->writer;
        const StreamContent& s = w.Stream(index_);
        // The next position in 64 bits: a start given at creation may lie near the top of the range.
        const auto next = [&s] { return std::int64_t{s.info.dwStart} + s.Length(); };
        if (start >= 0 && start < next())
            return AVIERR_BADPARAM; // samples are appended in order
        // A gap before start is filled with empty samples, as a dropped frame would be.
        while (start > next() && s.info.dwSampleSize == 0) {
            const HRESULT hr = w.WriteSample(index_, nullptr, 0, 0);
            if (hr != AVIERR_OK)
                return hr;
        }
        const HRESULT hr = w.WriteSample(index_, data, static_cast<std::uint32_t>(size), flags);
        if (hr != AVIERR_OK)
            return hr;
        if (samplesWritten)
            *samplesWritten =
                s.info.dwSampleSize ? size / static_cast<LONG>(s.info.dwSampleSize) : std::max(samples, 1);
        if (bytesWritten)
            *bytesWritten = size;
        return AVIERR_OK;
    }

    HRESULT ReadData(DWORD ckid, void* data, LONG* size) override {
        std::lock_guard lock(file_->mutex);
        return ReadDataChunk(Stream().dataChunks, ckid, data, size);
    }

    HRESULT WriteData(DWORD ckid, const void* data, LONG size) override {
        std::lock_guard lock(file_->mutex);
        if (!file_->Writable())
            return AVIERR_READONLY;
        DataChunk chunk{ckid, {}};
        if (size > 0)
            chunk.data.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
        file_->writer->Stream(index_).dataChunks.push_back(std::move(chunk));
        return AVIERR_OK;
    }

    LONG Start() override {
        std::lock_guard lock(file_->mutex);
        return static_cast<LONG>(Stream().info.dwStart);
    }

    LONG Length() override {
        std::lock_guard lock(file_->mutex);
        return Stream().Length();
    }

    bool IsKeyFrame(LONG position) override {
        std::lock_guard lock(file_->mutex);
        const StreamContent& s = Stream();
        const std::int64_t i = static_cast<std::int64_t>(position) - s.info.dwStart;
        if (s.info.dwSampleSize != 0 || i < 0 || i >= static_cast<std::int64_t>(s.samples.size()))
            return true;
        return s.samples[static_cast<std::size_t>(i)].keyFrame;
    }

    void SetHandler(FOURCC handler) override {
        std::lock_guard lock(file_->mutex);
        if (file_->Writable())
            file_->writer->Stream(index_).info.fccHandler = handler;
    }

private:
    const StreamContent& Stream() const { return file_->StreamAt(index_); }

    HRESULT ReadChunk(const SampleEntry& e, void* buffer, LONG bufferSize, LONG* bytes, LONG* samplesRead) {
        if (samplesRead)
            *samplesRead = 1;
        if (bytes)
            *bytes = static_cast<LONG>(e.size);
        if (!buffer)
            return AVIERR_OK;
        if (bufferSize < 0 || static_cast<std::uint32_t>(bufferSize) < e.size)
            return AVIERR_BUFFERTOOSMALL;
        if (e.size && !file_->file.ReadAt(e.position, buffer, e.size))
            return AVIERR_FILEREAD;
        return AVIERR_OK;
    }

    HRESULT ReadFixed(const StreamContent& s, std::uint64_t first, LONG samples, void* buffer,
                      LONG bufferSize, LONG* bytes, LONG* samplesRead) {
        const std::uint64_t unit = s.info.dwSampleSize;
        std::uint64_t from = first * unit;
        // The entry that holds the first byte.
        auto it = std::upper_bound(s.bytesBefore.begin(), s.bytesBefore.end(), from);
        std::size_t e = static_cast<std::size_t>(it - s.bytesBefore.begin()) - 1;
        std::uint64_t count;
        if (samples == AVISTREAMREAD_CONVENIENT || samples <= 0)
            count = std::max<std::uint64_t>((s.bytesBefore[e] + s.samples[e].size - from) / unit, 1);
        else
            count = static_cast<std::uint64_t>(samples);
        count = std::min(count, s.totalBytes / unit - first);
        if (buffer && bufferSize >= 0 && count * unit > static_cast<std::uint64_t>(bufferSize))
            count = static_cast<std::uint64_t>(bufferSize) / unit;
        if (bytes)
            *bytes = static_cast<LONG>(count * unit);
        if (samplesRead)
            *samplesRead = static_cast<LONG>(count);
        if (!buffer)
            return AVIERR_OK;
        if (count == 0)
            return AVIERR_BUFFERTOOSMALL;
        BYTE* out = static_cast<BYTE*>(buffer);
        std::uint64_t left = count * unit;
        while (left > 0 && e < s.samples.size()) {
            const std::uint64_t within = from - s.bytesBefore[e];
            const std::uint64_t n = std::min<std::uint64_t>(left, s.samples[e].size - within);
            if (n && !file_->file.ReadAt(s.samples[e].position + within, out, n))
                return AVIERR_FILEREAD;
            out += n;
            left -= n;
            from += n;
            ++e;
        }
        return AVIERR_OK;
    }

    AviFile* file_;
    int index_;
};

} // namespace

IAVIStream* NewFileStream(AviFile* file, int index) {
    IAVIStream* stream = new FileStream(file, index);
    RegisterHandle(stream);
    return stream;
}

} // namespace kivic::vfw

using kivic::vfw::IsLiveHandle;

ULONG AVIStreamAddRef(PAVISTREAM stream) {
    return kivic::vfw::AddRefHandle(stream);
}

ULONG AVIStreamRelease(PAVISTREAM stream) {
    return kivic::vfw::ReleaseHandle(stream);
}

HRESULT AVIStreamInfoA(PAVISTREAM stream, AVISTREAMINFOA* info, LONG size) {
    if (!IsLiveHandle(stream))
        return AVIERR_BADHANDLE;
    if (!info || size < 0)
        return AVIERR_BADPARAM;
    AVISTREAMINFOA i{};
    const HRESULT hr = stream->Info(&i);
    if (hr == AVIERR_OK)
        std::memcpy(info, &i, std::min<std::size_t>(sizeof i, static_cast<std::size_t>(size)));
    return hr;
}

HRESULT AVIStreamReadFormat(PAVISTREAM stream, LONG position, LPVOID format, LONG* formatSize) {
    if (!IsLiveHandle(stream))
        return AVIERR_BADHANDLE;
    if (!formatSize)
        return AVIERR_BADPARAM;
    return stream->ReadFormat(position, format, formatSize);
}

HRESULT AVIStreamSetFormat(PAVISTREAM stream, LONG position, LPVOID format, LONG formatSize) {
    if (!IsLiveHandle(stream))
        return AVIERR_BADHANDLE;
    if (!format || formatSize <= 0)
        return AVIERR_BADPARAM;
    return stream->SetFormat(position, format, formatSize);
}

HRESULT AVIStreamRead(PAVISTREAM stream, LONG start, LONG samples, LPVOID buffer, LONG bufferSize,
                      LONG* bytes, LONG* samplesRead) {
    if (!IsLiveHandle(stream))
        return AVIERR_BADHANDLE;
    return stream->Read(start, samples, buffer, bufferSize, bytes, samplesRead);
}

HRESULT AVIStreamReadData(PAVISTREAM stream, DWORD ckid, LPVOID data, LONG* size) {
    if (!IsLiveHandle(stream))
        return AVIERR_BADHANDLE;
    if (!size)
        return AVIERR_BADPARAM;
    return stream->ReadData(ckid, data, size);
}

HRESULT AVIStreamWriteData(PAVISTREAM stream, DWORD ckid, LPVOID data, LONG size) {
    if (!IsLiveHandle(stream))
        return AVIERR_BADHANDLE;
    if (size < 0 || (size > 0 && !data))
        return AVIERR_BADPARAM;
    return stream->WriteData(ckid, data, size);
}

HRESULT AVIStreamWrite(PAVISTREAM stream, LONG start, LONG samples, LPVOID buffer, LONG bufferSize,
                       DWORD flags, LONG* samplesWritten, LONG* bytesWritten) {
    if (!IsLiveHandle(stream))
        return AVIERR_BADHANDLE;
    if (bufferSize < 0 || (bufferSize > 0 && !buffer))
        return AVIERR_BADPARAM;
    return stream->Write(start, samples, buffer, bufferSize, flags, samplesWritten, bytesWritten);
}

LONG AVIStreamStart(PAVISTREAM stream) {
    return IsLiveHandle(stream) ? stream->Start() : -1;
}

LONG AVIStreamLength(PAVISTREAM stream) {
    return IsLiveHandle(stream) ? stream->Length() : -1;
}
