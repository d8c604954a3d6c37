#include "vomCom/Ovisk/WinAviFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

WinAviFile::WinAviFile() {
    AVIFileInit();
}

WinAviFile::~WinAviFile() {
    Reset();
    AVIFileExit();
}

void WinAviFile::Reset() {
    AVIStreamGetFrameClose(m_getter);
    m_getter = nullptr;
    m_getterStream = -1;
    m_format.clear();
    for (PAVISTREAM s : m_all)
        AVIStreamRelease(s);
    m_all.clear();
    m_video.clear();
    m_videoInfo.clear();
    AVIFileRelease(m_file);
    m_file = nullptr;
    m_scale = m_rate = m_width = m_height = 0;
    m_frameWidth = m_frameHeight = 0;
    m_error = AVIERR_OK;
}

BOOL WinAviFile::Open(const char* path) {
    Reset();
    PAVIFILE file = nullptr;
    const HRESULT hr = AVIFileOpenA(&file, path, OF_READ, &CLSID_AVIFile);
    if (FAILED(hr)) {
        m_error = hr;
        return FALSE;
    }
    m_file = file;
    return ScanStreams();
}

BOOL WinAviFile::ScanStreams() {
    AVIFILEINFOA info{};
    HRESULT hr = AVIFileInfoA(m_file, &info, sizeof info);
    if (FAILED(hr) || info.dwStreams == 0) {
        m_error = FAILED(hr) ? hr : AVIERR_NODATA;
        return FALSE;
    }
    m_scale = info.dwScale;
    m_rate = info.dwRate;
    m_width = info.dwWidth;
    m_height = info.dwHeight;
    for (DWORD i = 0; i < info.dwStreams; ++i) {
        PAVISTREAM stream = nullptr;
        hr = AVIFileGetStream(m_file, &stream, 0, static_cast<LONG>(i));
        if (FAILED(hr)) {
            m_error = hr;
            return FALSE;
        }
        AVISTREAMINFOA si{};
        if (FAILED(AVIStreamInfoA(stream, &si, sizeof si))) {
            AVIStreamRelease(stream);
            continue;
        }
        m_all.push_back(stream);
        if (si.fccType == streamtypeVIDEO) {
            m_videoInfo.push_back(si);
            m_video.push_back(stream);
        }
    }
    return TRUE;
}

bool WinAviFile::ValidVideo(int index) {
    if (!m_file) {
        m_error = kErrNoFile;
        return false;
    }
    if (index < 0 || index >= VideoCount()) {
        m_error = kErrBadStream;
        return false;
    }
    return true;
}

BOOL WinAviFile::SetupStream(int index) {
    if (!ValidVideo(index))
        return FALSE;
    PAVISTREAM stream = m_video[static_cast<std::size_t>(index)];
    LONG size = 0;
    HRESULT hr = AVIStreamReadFormat(stream, AVIStreamStart(stream), nullptr, &size);
    if (FAILED(hr) || size < static_cast<LONG>(sizeof(BITMAPINFOHEADER))) {
        m_error = FAILED(hr) ? hr : AVIERR_BADFORMAT;
        return FALSE;
    }
    std::vector<BYTE> format(static_cast<std::size_t>(size));
    hr = AVIStreamReadFormat(stream, AVIStreamStart(stream), format.data(), &size);
    if (FAILED(hr)) {
        m_error = hr;
        return FALSE;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, format.data(), sizeof header);
    // A getter belongs to one stream: selecting another scene replaces it.
    if (m_getter && m_getterStream != index) {
        AVIStreamGetFrameClose(m_getter);
        m_getter = nullptr;
    }
    if (!m_getter) {
        m_getter = AVIStreamGetFrameOpen(stream, nullptr);
        if (!m_getter) {
            m_error = kErrNoFile;
            return FALSE;
        }
        m_getterStream = index;
    }
    m_format = std::move(format);
    m_frameWidth = header.biWidth;
    m_frameHeight = std::abs(header.biHeight);
    return TRUE;
}

BOOL WinAviFile::GetRange(int index, LONG* start, LONG* end) {
    if (!ValidVideo(index))
        return FALSE;
    return StreamRange(m_video[static_cast<std::size_t>(index)], start, end) ? TRUE : FALSE;
}

bool WinAviFile::StreamRange(PAVISTREAM stream, LONG* start, LONG* end) {
    const LONG first = AVIStreamStart(stream);
    const LONG length = AVIStreamLength(stream);
    if (first < 0 || length < 0) {
        m_error = AVIERR_BADHANDLE;
        return false;
    }
    // Frame numbers are 32-bit values, the end of the range too.
    const std::int64_t after = std::int64_t{first} + length;
    if (after > INT32_MAX) {
        m_error = AVIERR_BADFORMAT;
        return false;
    }
    *start = first;
    *end = static_cast<LONG>(after);
    return true;
}

LPBITMAPINFOHEADER WinAviFile::ReadFrame(int index, LONG frame, DWORD* imageSize) {
    if (!ValidVideo(index))
        return nullptr;
    if (m_getterStream != index && !SetupStream(index))
        return nullptr;
    auto* header = static_cast<LPBITMAPINFOHEADER>(AVIStreamGetFrame(m_getter, frame));
    if (!header) {
        m_error = kErrNoFile;
        return nullptr;
    }
    if (imageSize)
        *imageSize = header->biSizeImage;
    return header;
}

BOOL WinAviFile::ReadExtraData(int index, DWORD ckid, void* buffer, LONG* length) {
    if (!ValidVideo(index))
        return FALSE;
    const HRESULT hr = AVIStreamReadData(m_video[static_cast<std::size_t>(index)], ckid, buffer, length);
    if (FAILED(hr)) {
        m_error = hr;
        return FALSE;
    }
    return TRUE;
}
