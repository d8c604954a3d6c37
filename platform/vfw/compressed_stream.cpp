// Compressed streams (frames written to them are compressed into their source stream) and the
// compression-options choice.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/vfw/avi_objects.h"
#include "platform/vfw/codecs_builtin.h"

namespace kivic::vfw {

namespace {

class CompressedStream : public IAVIStream {
public:
    CompressedStream(PAVISTREAM source, HIC hic, const AVICOMPRESSOPTIONS& options)
        : source_(source), hic_(hic), options_(options) {
        AVIStreamAddRef(source_);
    }
    ~CompressedStream() override {
        if (hic_) {
            if (begun_)
                ICCompressEnd(hic_);
            ICClose(hic_);
        }
        AVIStreamRelease(source_);
    }

    HRESULT Info(AVISTREAMINFOA* info) override {
        const HRESULT hr = AVIStreamInfoA(source_, info, sizeof *info);
        if (hr == AVIERR_OK && hic_)
            info->fccHandler = Handler();
        return hr;
    }

    HRESULT ReadFormat(LONG position, void* format, LONG* size) override {
        return AVIStreamReadFormat(source_, position, format, size);
    }

    // The format of the frames that will be written; the source gets the compressor's output format.
    HRESULT SetFormat(LONG position, const void* format, LONG size) override {
        if (!hic_) {
            begun_ = true;
            return AVIStreamSetFormat(source_, position, const_cast<void*>(format), size);
        }
        if (size < static_cast<LONG>(sizeof(BITMAPINFOHEADER)))
            return AVIERR_BADFORMAT;
        BITMAPINFOHEADER h;
        std::memcpy(&h, format, sizeof h);
        if (h.biSize < sizeof h || h.biSize > static_cast<DWORD>(size))
            return AVIERR_BADFORMAT;
        // Only the header and its colour table describe the frames (callers may pass more).
        const std::size_t described = std::min<std::size_t>(
            static_cast<std::size_t>(size), FormatSize(reinterpret_cast<const BITMAPINFO*>(&h)));
        std::vector<BYTE> in(static_cast<const BYTE*>(format), static_cast<const BYTE*>(format) + described);
        auto* inInfo = reinterpret_cast<BITMAPINFO*>(in.data());
        if (ICCompressQuery(hic_, inInfo, nullptr) != ICERR_OK)
            return AVIERR_BADFORMAT;
        const LRESULT outSize = ICCompressGetFormatSize(hic_, inInfo);
        if (outSize < static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)))
            return AVIERR_BADFORMAT;
        std::vector<BYTE> out(static_cast<std::size_t>(outSize));
        auto* outInfo = reinterpret_cast<BITMAPINFO*>(out.data());
        if (ICCompressGetFormat(hic_, inInfo, outInfo) < 0)
            return AVIERR_BADFORMAT;
        if (begun_)
            ICCompressEnd(hic_);
        begun_ = ICCompressBegin(hic_, inInfo, outInfo) == ICERR_OK;
        if (!begun_)
            return AVIERR_COMPRESSOR;
        const HRESULT hr = AVIStreamSetFormat(source_, position, out.data(), static_cast<LONG>(out.size()));
        if (hr != AVIERR_OK)
            return hr;
        source_->SetHandler(Handler());
        input_ = std::move(in);
        output_ = std::move(out);
        buffer_.resize(
            static_cast<std::size_t>(std::max<LRESULT>(ICCompressGetSize(hic_, inInfo, outInfo), 1)));
        return AVIERR_OK;
    }

    HRESULT Read(LONG, LONG, void*, LONG, LONG*, LONG*) override { return AVIERR_UNSUPPORTED; }

    HRESULT Write(LONG start, LONG samples, const void* data, LONG size, DWORD writeFlags,
                  LONG* samplesWritten, LONG* bytesWritten) override {
        if (!hic_) // no compressor: the samples go through as they are
            return AVIStreamWrite(source_, start, samples, const_cast<void*>(data), size, writeFlags,
                                  samplesWritten, bytesWritten);
        if (!begun_)
            return AVIERR_BADFORMAT;
        std::vector<BYTE> in(input_);
        BITMAPINFOHEADER h;
        std::memcpy(&h, in.data(), sizeof h);
        // Packed rows (3 x width) are told apart from padded ones by the size written.
        const std::uint64_t rows = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
        const std::uint64_t padded = DibRowBytes(h.biWidth, h.biBitCount) * rows;
        const std::uint64_t packed = (static_cast<std::uint64_t>(h.biWidth) * h.biBitCount + 7) / 8 * rows;
        const std::uint64_t given = static_cast<std::uint64_t>(size < 0 ? 0 : size);
        if (given >= padded)
            h.biSizeImage = static_cast<DWORD>(padded);
        else if (given == packed)
            h.biSizeImage = static_cast<DWORD>(packed);
        else
            return AVIERR_BADSIZE;
        std::memcpy(in.data(), &h, sizeof h);
        std::vector<BYTE> out(output_);
        auto* outHeader = reinterpret_cast<LPBITMAPINFOHEADER>(out.data());
        outHeader->biSizeImage = static_cast<DWORD>(buffer_.size());
        DWORD flags = 0;
        const LRESULT r = ICCompress(hic_, 0, outHeader, buffer_.data(),
                                     reinterpret_cast<LPBITMAPINFOHEADER>(in.data()), const_cast<void*>(data),
                                     nullptr, &flags, start, 0, options_.dwQuality, nullptr, nullptr);
        if (r != ICERR_OK)
            return AVIERR_COMPRESSOR;
        return AVIStreamWrite(source_, start, samples, buffer_.data(),
                              static_cast<LONG>(outHeader->biSizeImage), flags, samplesWritten, bytesWritten);
    }

    HRESULT ReadData(DWORD ckid, void* data, LONG* size) override {
        return AVIStreamReadData(source_, ckid, data, size);
    }
    HRESULT WriteData(DWORD ckid, const void* data, LONG size) override {
        return AVIStreamWriteData(source_, ckid, const_cast<void*>(data), size);
    }
    LONG Start() override { return AVIStreamStart(source_); }
    LONG Length() override { return AVIStreamLength(source_); }
    bool IsKeyFrame(LONG position) override { return source_->IsKeyFrame(position); }
    void SetHandler(FOURCC handler) override { source_->SetHandler(handler); }

private:
    FOURCC Handler() const { return options_.fccHandler; }

    PAVISTREAM source_;
    HIC hic_;
    AVICOMPRESSOPTIONS options_;
    bool begun_ = false;
    std::vector<BYTE> input_, output_, buffer_;
};

std::mutex& HookMutex() {
    static std::mutex m;
    return m;
}
AVISaveOptionsHook& Hook() {
    static AVISaveOptionsHook hook;
    return hook;
}

} // namespace

} // namespace kivic::vfw

HRESULT AVIMakeCompressedStream(PAVISTREAM* compressed, PAVISTREAM source, AVICOMPRESSOPTIONS* options,
                                const CLSID* handler) {
    if (!compressed)
        return AVIERR_BADPARAM;
    *compressed = nullptr;
    if (!kivic::vfw::IsLiveHandle(source))
        return AVIERR_BADHANDLE;
    if (!options)
        return AVIERR_BADPARAM;
    if (handler && *handler != CLSID_AVIFile)
        return REGDB_E_CLASSNOTREG;
    // Without a compressor (handler 0) the stream passes samples and format through unchanged, so data
    // that is already compressed (or declared uncompressed but holding other bytes) is written as it is.
    HIC hic = nullptr;
    if (options->fccHandler != 0) {
        hic = ICOpen(ICTYPE_VIDEO, options->fccHandler, ICMODE_COMPRESS);
        if (!hic)
            return AVIERR_NOCOMPRESSOR;
    }
    AVICOMPRESSOPTIONS kept = *options;
    kept.lpFormat = nullptr;
    kept.lpParms = nullptr;
    if (!(kept.dwFlags & AVICOMPRESSF_VALID))
        kept.dwQuality = ICQUALITY_DEFAULT;
    PAVISTREAM stream = new kivic::vfw::CompressedStream(source, hic, kept);
    kivic::vfw::RegisterHandle(stream);
    *compressed = stream;
    return AVIERR_OK;
}

INT_PTR AVISaveOptions(HWND owner, UINT flags, int streamCount, PAVISTREAM* streams,
                       LPAVICOMPRESSOPTIONS* options) {
    AVISaveOptionsHook hook;
    {
        std::lock_guard lock(kivic::vfw::HookMutex());
        hook = kivic::vfw::Hook();
    }
    if (hook)
        return hook(owner, flags, streamCount, streams, options);
    return TRUE; // no dialog here: the options stand as given
}

HRESULT AVISaveOptionsFree(int streamCount, LPAVICOMPRESSOPTIONS* options) {
    if (!options && streamCount > 0)
        return AVIERR_BADPARAM;
    for (int i = 0; i < streamCount; ++i) {
        AVICOMPRESSOPTIONS* o = options[i];
        if (!o)
            continue;
        delete[] static_cast<BYTE*>(o->lpFormat);
        delete[] static_cast<BYTE*>(o->lpParms);
        o->lpFormat = nullptr;
        o->cbFormat = 0;
        o->lpParms = nullptr;
        o->cbParms = 0;
    }
    return AVIERR_OK;
}

AVISaveOptionsHook AVISetSaveOptionsHook(AVISaveOptionsHook hook) {
    std::lock_guard lock(kivic::vfw::HookMutex());
    AVISaveOptionsHook previous = std::move(kivic::vfw::Hook());
    kivic::vfw::Hook() = std::move(hook);
    return previous;
}
