#include "vomCom/Ovisk/WinAvi.h"

#include <algorithm>

#include "vomLib/Jpeg/jpglib32.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace {
constexpr DWORD kNote = mmioFOURCC('N', 'O', 'T', 'E');
constexpr DWORD kCsts = mmioFOURCC('C', 'S', 'T', 'S');

// Where the pixel data (here: the recorded JPEG data) of a packed bitmap from the frame getter starts:
// behind the header and, up to 8 bits, the colour table of at most 256 entries.
std::size_t BitsOffset(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8)
        return h.biSize;
    const DWORD colours = h.biClrUsed != 0 ? std::min<DWORD>(h.biClrUsed, 256) : 1u << h.biBitCount;
    return h.biSize + 4u * static_cast<std::size_t>(colours);
}
} // namespace

WinAvi::WinAvi() {
    // Files that are not self-decoded may hold Motion-JPEG frames.
    InstallMjpgCodec();
}

WinAvi::~WinAvi() {
    Reset();
}

void WinAvi::Reset() {
    AVIStreamRelease(m_csts);
    AVIStreamRelease(m_note);
    m_csts = m_note = nullptr;
    m_cstsInfo = {};
    m_noteInfo = {};
    m_cstsSample.clear();
    m_noteSample.clear();
    // The next file may have another frame size.
    m_work = {};
    m_selfDecode = false;
    WinAviFile::Reset();
}

bool WinAvi::ReadInfoStream(DWORD fcc, bool requireLength, PAVISTREAM& stream, AVISTREAMINFOA& info,
                            std::vector<BYTE>& sample) {
    HRESULT hr = AVIFileGetStream(m_file, &stream, fcc, 0);
    if (FAILED(hr)) {
        stream = nullptr;
        m_error = hr;
        return false;
    }
    hr = AVIStreamInfoA(stream, &info, sizeof info);
    if (FAILED(hr)) {
        m_error = hr;
        return false;
    }
    LONG start = 0;
    LONG end = 0;
    if (!StreamRange(stream, &start, &end))
        return false;
    if (requireLength && end <= start) {
        m_error = kErrEmptyStream;
        return false;
    }
    const LONG last = end - 1;
    LONG bytes = 0;
    hr = AVIStreamRead(stream, last, 1, nullptr, 0, &bytes, nullptr);
    if (FAILED(hr) || bytes < 0) {
        m_error = FAILED(hr) ? hr : AVIERR_BADSIZE;
        return false;
    }
    std::vector<BYTE> data(static_cast<std::size_t>(bytes));
    hr = AVIStreamRead(stream, last, 1, data.data(), bytes, &bytes, nullptr);
    if (FAILED(hr)) {
        m_error = hr;
        return false;
    }
    sample = std::move(data);
    return true;
}

BOOL WinAvi::ScanStreams() {
    m_selfDecode = true;
    AVIFILEINFOA info{};
    if (FAILED(AVIFileInfoA(m_file, &info, sizeof info)) || info.dwStreams == 0) {
        m_error = AVIERR_NODATA;
        m_selfDecode = false;
        return FALSE;
    }
    if (!ReadInfoStream(kNote, true, m_note, m_noteInfo, m_noteSample))
        m_selfDecode = false;
    if (!WinAviFile::ScanStreams()) {
        m_selfDecode = false;
        return FALSE;
    }
    if (!ReadInfoStream(kCsts, false, m_csts, m_cstsInfo, m_cstsSample))
        m_selfDecode = false;
    m_error = AVIERR_OK;
    return TRUE;
}

std::size_t WinAvi::DecodedSize() const {
    return jpg_row_stride(m_frameWidth, 3, JpgRows::Padded4) * static_cast<std::size_t>(m_frameHeight);
}

BOOL WinAvi::DecodeFrame(int index, LONG frame, BYTE* dest, std::size_t capacity) {
    DWORD imageSize = 0;
    const LPBITMAPINFOHEADER header = ReadFrame(index, frame, &imageSize);
    if (!header)
        return FALSE;
    const std::size_t offset = BitsOffset(*header);
    const BYTE* recorded = reinterpret_cast<const BYTE*>(header) + offset;
    if (offset < sizeof(BITMAPINFOHEADER) || !Parse(recorded, imageSize)) {
        m_error = AVIERR_BADFORMAT;
        return FALSE;
    }
    m_work.clear();
    Rebuild(m_work);

    JpgImageInfo jpeg;
    if (jpg_read_header(m_work.data(), static_cast<long>(m_work.size()), &jpeg) != JPG_OK ||
        jpeg.fields != 2 || jpeg.outputComponents != 3 || jpeg.width != m_frameWidth ||
        jpeg.height != m_frameHeight) {
        m_error = AVIERR_BADFORMAT;
        return FALSE;
    }
    const std::size_t needed = DecodedSize();
    if (!dest || capacity < needed) {
        m_error = AVIERR_BUFFERTOOSMALL;
        return FALSE;
    }
    if (jpg_decompress_dib(m_work.data(), dest, static_cast<long>(m_work.size()), JPG_DCT_ACCURATE, needed,
                           JpgRows::Padded4) != JPG_OK) {
        m_error = AVIERR_BADFORMAT;
        return FALSE;
    }
    return TRUE;
}
