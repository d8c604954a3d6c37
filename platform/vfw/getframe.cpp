// The frame getter: samples of a video stream handed out as packed DIBs.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/vfw/avi_objects.h"
#include "platform/vfw/codecs_builtin.h"
#include "platform/vfw/dib_convert.h"

namespace kivic::vfw {

namespace {

class FrameGetter : public IGetFrame {
public:
    enum class Mode { PassThrough, DecodeRgb, Codec };

    ~FrameGetter() override {
        if (hic_) {
            ICDecompressEnd(hic_);
            ICClose(hic_);
        }
        AVIStreamRelease(stream_);
    }

    static FrameGetter* Open(PAVISTREAM stream, const BITMAPINFOHEADER* wanted) {
        LONG size = 0;
        if (AVIStreamReadFormat(stream, 0, nullptr, &size) != AVIERR_OK ||
            size < static_cast<LONG>(sizeof(BITMAPINFOHEADER)))
            return nullptr;
        std::vector<BYTE> format(static_cast<std::size_t>(size));
        if (AVIStreamReadFormat(stream, 0, format.data(), &size) != AVIERR_OK)
            return nullptr;
        BITMAPINFOHEADER h;
        std::memcpy(&h, format.data(), sizeof h);
        if (h.biSize < sizeof h || h.biSize > format.size())
            return nullptr;
        if (wanted &&
            (wanted->biCompression != BI_RGB || (wanted->biBitCount != 24 && wanted->biBitCount != 0)))
            return nullptr;
        // A decoded frame is sized by the declared width and height alone: one larger than a picture
        // can be is refused rather than allocated and cleared.
        const bool decodes = wanted || h.biCompression != BI_RGB;
        if (decodes && !HasPictureSize(&h))
            return nullptr;
        auto getter = std::make_unique<FrameGetter>();
        // Decoders may look at a full colour table; the bytes the file lacks read as zero.
        getter->formatSize_ = format.size();
        format.resize(std::max<std::size_t>(format.size(), h.biSize + 1024));
        getter->format_ = std::move(format);
        if (h.biCompression == BI_RGB) {
            if (!wanted) {
                getter->mode_ = Mode::PassThrough;
            } else {
                if (!CanDecodeRgbDib(&h))
                    return nullptr;
                getter->mode_ = Mode::DecodeRgb;
            }
        } else {
            AVISTREAMINFOA info{};
            AVIStreamInfoA(stream, &info, sizeof info);
            HIC hic = ICLocate(ICTYPE_VIDEO, h.biCompression, &h, nullptr, ICMODE_DECOMPRESS);
            if (!hic && info.fccHandler)
                hic = ICLocate(ICTYPE_VIDEO, info.fccHandler, &h, nullptr, ICMODE_DECOMPRESS);
            if (!hic)
                return nullptr;
            getter->hic_ = hic;
            auto* in = reinterpret_cast<BITMAPINFO*>(getter->format_.data());
            BITMAPINFO out{};
            if (ICDecompressGetFormat(hic, in, &out) < 0 || out.bmiHeader.biBitCount != 24 ||
                ICDecompressBegin(hic, in, &out) != ICERR_OK)
                return nullptr;
            getter->outHeader_ = out.bmiHeader;
            getter->mode_ = Mode::Codec;
        }
        AVIStreamAddRef(stream);
        getter->stream_ = stream;
        return getter.release();
    }

    void* GetFrame(LONG position) override {
        // The stream's end, one past its last sample, may lie beyond the positions a LONG can name.
        const LONG start = AVIStreamStart(stream_);
        if (position < start || position >= std::int64_t{start} + AVIStreamLength(stream_))
            return nullptr;
        if (mode_ == Mode::Codec && position != last_ + 1 && !stream_->IsKeyFrame(position)) {
            // A frame that depends on earlier ones: decode from the key frame before it.
            LONG key = position;
            while (key > start && !stream_->IsKeyFrame(key))
                --key;
            if (last_ >= key && last_ < position)
                key = last_ + 1;
            for (LONG p = key; p < position; ++p)
                if (!Decode(p))
                    return nullptr;
        }
        return Decode(position) ? frame_.data() : nullptr;
    }

private:
    bool ReadSample(LONG position) {
        LONG bytes = 0;
        if (AVIStreamRead(stream_, position, 1, nullptr, 0, &bytes, nullptr) != AVIERR_OK || bytes < 0)
            return false;
        sample_.resize(static_cast<std::size_t>(bytes));
        return bytes == 0 ||
               AVIStreamRead(stream_, position, 1, sample_.data(), bytes, &bytes, nullptr) == AVIERR_OK;
    }

    bool Decode(LONG position) {
        last_ = -2;
        if (!ReadSample(position))
            return false;
        const BITMAPINFOHEADER* in = reinterpret_cast<const BITMAPINFOHEADER*>(format_.data());
        switch (mode_) {
        case Mode::PassThrough: {
            // The stored bytes as they are behind the format, the image size saying how many there are.
            // Readers find the pixels behind the whole colour table the header implies; a format that
            // leaves (part of) it out gets black entries, so nobody reads past the block.
            const std::size_t described =
                std::max(formatSize_, FormatSize(reinterpret_cast<const BITMAPINFO*>(in)));
            frame_.assign(described + sample_.size(), 0);
            std::memcpy(frame_.data(), format_.data(), formatSize_);
            if (!sample_.empty())
                std::memcpy(frame_.data() + described, sample_.data(), sample_.size());
            const DWORD bytes = static_cast<DWORD>(sample_.size());
            std::memcpy(frame_.data() + offsetof(BITMAPINFOHEADER, biSizeImage), &bytes, sizeof bytes);
            break;
        }
        case Mode::DecodeRgb: {
            BITMAPINFOHEADER out{};
            out.biSize = sizeof out;
            out.biWidth = in->biWidth;
            out.biHeight = in->biHeight < 0 ? -in->biHeight : in->biHeight;
            out.biPlanes = 1;
            out.biBitCount = 24;
            out.biSizeImage = static_cast<DWORD>(Dib24Size(in));
            frame_.resize(sizeof out + out.biSizeImage);
            std::memcpy(frame_.data(), &out, sizeof out);
            if (!DecodeRgbDib(format_.data(), format_.size(), sample_.data(), sample_.size(),
                              frame_.data() + sizeof out))
                return false;
            break;
        }
        case Mode::Codec: {
            frame_.resize(sizeof outHeader_ + outHeader_.biSizeImage);
            std::memcpy(frame_.data(), &outHeader_, sizeof outHeader_);
            std::vector<BYTE> inHeader(format_);
            const DWORD bytes = static_cast<DWORD>(sample_.size());
            std::memcpy(inHeader.data() + offsetof(BITMAPINFOHEADER, biSizeImage), &bytes, sizeof bytes);
            static const BYTE empty = 0;
            const LRESULT r = static_cast<LONG>(ICDecompress(
                hic_, 0, reinterpret_cast<LPBITMAPINFOHEADER>(inHeader.data()),
                sample_.empty() ? const_cast<BYTE*>(&empty) : sample_.data(),
                reinterpret_cast<LPBITMAPINFOHEADER>(frame_.data()), frame_.data() + sizeof outHeader_));
            if (r != ICERR_OK)
                return false;
            break;
        }
        }
        last_ = position;
        return true;
    }

    Mode mode_ = Mode::PassThrough;
    PAVISTREAM stream_ = nullptr;
    HIC hic_ = nullptr;
    std::vector<BYTE> format_;
    std::size_t formatSize_ = 0;
    BITMAPINFOHEADER outHeader_{};
    std::vector<BYTE> sample_;
    std::vector<BYTE> frame_;
    LONG last_ = -2;
};

} // namespace

} // namespace kivic::vfw

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, LPBITMAPINFOHEADER wanted) {
    if (!kivic::vfw::IsLiveHandle(stream))
        return nullptr;
    PGETFRAME getter = kivic::vfw::FrameGetter::Open(stream, wanted);
    if (getter)
        kivic::vfw::RegisterHandle(getter);
    return getter;
}

LPVOID AVIStreamGetFrame(PGETFRAME getter, LONG position) {
    if (!kivic::vfw::IsLiveHandle(getter))
        return nullptr;
    return getter->GetFrame(position);
}

HRESULT AVIStreamGetFrameClose(PGETFRAME getter) {
    if (!kivic::vfw::IsLiveHandle(getter))
        return getter ? AVIERR_BADHANDLE : AVIERR_OK;
    kivic::vfw::UnregisterHandle(getter);
    delete getter;
    return AVIERR_OK;
}
