#include "vomCom/Ovisk/AVIFilter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/win32/system.h"
#include "vomCom/Ovisk/OviskIds.h"
#include "vomCom/Ovisk/OviskStrings.h"

namespace {
const char* BaseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

void Trace(const char* file, int line, const char* text) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%s(%d):%s", BaseName(file), line, text);
    OutputDebugStringA(buffer);
}

// Bytes between the header and the pixels of a frame from the frame getter: the colour table of a
// picture of up to 8 bits (the count of colours used, else 2 to the bit count, at most 256 entries).
// Deeper pictures come without one.
std::size_t TableBytes(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8)
        return 0;
    const DWORD colours = h.biClrUsed != 0 ? std::min<DWORD>(h.biClrUsed, 256) : 1u << h.biBitCount;
    return 4u * static_cast<std::size_t>(colours);
}
} // namespace

ComModuleState& OviskModule() {
    static ComModuleState state;
    return state;
}

CAVIFilter::CAVIFilter() : DualObject(kOviskLibrary, kAviFilterProgId, &OviskModule()) {
    m_reader.reset(new (std::nothrow) WinAvi);
    if (!m_reader)
        Trace(__FILE__, __LINE__, OviskString(IDS_NO_MEMORY));
}

CAVIFilter::~CAVIFilter() {
    DrawDibClose(m_drawDib);
    m_drawDib = nullptr;
    m_reader.reset();
}

HRESULT CAVIFilter::Report(int id, const char* file, int line) {
    m_message = OviskString(id);
    Trace(file, line, m_message.c_str());
    return Error(m_message);
}

HRESULT CAVIFilter::NotOpened(const char* file, int line) {
    Report(IDS_NOT_OPENED, file, line);
    return E_FAIL;
}

HRESULT CAVIFilter::SetHandle(HDC lhDC) {
    return Run([&] {
        if (!lhDC)
            return OVISK_REPORT(IDS_INVALID_HANDLE);
        m_dc = lhDC;
        return S_OK;
    });
}

HRESULT CAVIFilter::Open(BSTR bstrFname) {
    return Run([&] { return OpenFile(Utf8FromBstr(bstrFname)); });
}

HRESULT CAVIFilter::GetFrameCount(LONG* lpFrameCount) {
    if (!lpFrameCount)
        return E_POINTER;
    return Run([&] {
        if (!Opened())
            return OVISK_NOT_OPENED();
        LONG begin = 0;
        LONG end = 0;
        if (!m_reader->GetRange(m_stream, &begin, &end))
            return OVISK_REPORT(IDS_INVALID_STREAM);
        *lpFrameCount = end - begin;
        return S_OK;
    });
}

HRESULT CAVIFilter::GetImageSize(LONG* lpWidth, LONG* lpHeight) {
    if (!lpWidth || !lpHeight)
        return E_POINTER;
    return Run([&] {
        *lpWidth = m_width;
        *lpHeight = m_height;
        return S_OK;
    });
}

HRESULT CAVIFilter::Draw() {
    return Run([&] {
        if (!Opened())
            return OVISK_NOT_OPENED();
        return DrawFrame(m_dc, m_rect[0], m_rect[1], m_rect[2], m_rect[3], m_frame);
    });
}

HRESULT CAVIFilter::SetDrawRect(LONG lX, LONG lY, LONG lWidth, LONG lHeight) {
    return Run([&] {
        if (!Opened())
            return OVISK_NOT_OPENED();
        m_rect[0] = lX;
        m_rect[1] = lY;
        m_rect[2] = lWidth;
        m_rect[3] = lHeight;
        return S_OK;
    });
}

HRESULT CAVIFilter::GetFrameRate(LONG* lpFrameRate) {
    if (!lpFrameRate)
        return E_POINTER;
    return Run([&] {
        *lpFrameRate = m_frameRate;
        return S_OK;
    });
}

HRESULT CAVIFilter::OpenFile(const std::string& name) {
    m_fileName.clear();
    if (!m_reader->Open(name.c_str())) {
        const HRESULT error = m_reader->LastError();
        m_reader->Reset();
        switch (error) {
        case REGDB_E_CLASSNOTREG:
            return OVISK_REPORT(IDS_NO_HANDLER);
        case AVIERR_MEMORY:
            return OVISK_REPORT(IDS_OPEN_MEMORY);
        case AVIERR_FILEREAD:
            return OVISK_REPORT(IDS_DISK_READ);
        case AVIERR_FILEOPEN:
            return OVISK_REPORT(IDS_DISK_OPEN);
        default:
            // AVIERR_BADFORMAT and anything else the file could not be read for.
            return OVISK_REPORT(IDS_BAD_FORMAT);
        }
    }
    m_streamCount = m_reader->VideoCount();
    m_stream = 0;
    m_frame = 0;
    if (!m_reader->SetupStream(0)) {
        MessageBoxA(nullptr, OviskString(IDS_DECODE_STREAM), OviskString(IDS_PROJNAME), MB_OK | MB_ICONERROR);
        m_reader->Reset();
        m_streamCount = 0;
        return OVISK_REPORT(IDS_DECODE_STREAM);
    }
    m_width = static_cast<LONG>(m_reader->Width());
    m_height = static_cast<LONG>(m_reader->Height());
    DrawDibClose(m_drawDib);
    m_drawDib = DrawDibOpen();
    if (!m_drawDib) {
        m_reader->Reset();
        return OVISK_REPORT(IDS_DIB_OPEN);
    }
    // A file without a time base has no rate; a rate beyond the value range is held at its top.
    const DWORD scale = m_reader->Scale();
    const double rate = scale == 0 ? 0.0 : static_cast<double>(m_reader->Rate()) / scale + 0.5;
    m_frameRate = rate >= 2147483647.0 ? 2147483647 : static_cast<LONG>(rate);
    m_fileName = name;
    char text[1100];
    std::snprintf(text, sizeof text, "File Open : %s", name.c_str());
    OutputDebugStringA(text);
    return S_OK;
}

HRESULT CAVIFilter::Close() {
    return Guard([&] {
        if (!m_reader) {
            OVISK_REPORT(IDS_NO_READER);
            return E_FAIL;
        }
        DrawDibClose(m_drawDib);
        m_drawDib = nullptr;
        m_reader->Reset();
        m_fileName.clear();
        m_streamCount = 0;
        m_stream = 0;
        m_frame = 0;
        m_scratch = {};
        return S_OK;
    });
}

bool CAVIFilter::FrameInRange(LONG frame) {
    LONG begin = 0;
    LONG end = 0;
    return m_reader->GetRange(m_stream, &begin, &end) && frame >= begin && frame <= end;
}

HRESULT CAVIFilter::Jump(LONG lFrame) {
    return Run([&] {
        if (!Opened() || !m_dc) {
            Trace(__FILE__, __LINE__, "No Opened.");
            return S_FALSE;
        }
        if (!FrameInRange(lFrame))
            return OVISK_REPORT(IDS_INVALID_FRAME);
        m_frame = lFrame;
        return S_OK;
    });
}

HRESULT CAVIFilter::get_SceneIndex(LONG* pVal) {
    if (!pVal)
        return E_POINTER;
    return Run([&] {
        *pVal = m_streamCount;
        return S_OK;
    });
}

HRESULT CAVIFilter::put_SceneIndex(LONG newVal) {
    return Run([&] {
        if (!Opened())
            return OVISK_NOT_OPENED();
        if (newVal < 0 || newVal >= m_streamCount)
            return OVISK_REPORT(IDS_INVALID_STREAM);
        if (!m_reader->SetupStream(newVal))
            return OVISK_REPORT(IDS_DECODE_STREAM);
        m_stream = newVal;
        return S_OK;
    });
}

HRESULT CAVIFilter::GetRange(LONG lStream, LONG* plBeg, LONG* plEnd) {
    if (!plBeg || !plEnd)
        return E_POINTER;
    return Run([&] {
        *plBeg = 0;
        *plEnd = 0;
        LONG first = 0;
        LONG last = 0;
        if (!Opened() || !m_reader->GetRange(lStream, &first, &last))
            return S_FALSE;
        *plBeg = first;
        *plEnd = last;
        return S_OK;
    });
}

BITMAPINFOHEADER CAVIFilter::DecodedHeader() const {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = m_reader->FrameWidth();
    h.biHeight = m_reader->FrameHeight();
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(m_reader->DecodedSize());
    return h;
}

bool CAVIFilter::DecodeToScratch(LONG frame) {
    m_scratch.resize(m_reader->DecodedSize());
    return m_reader->DecodeFrame(m_stream, frame, m_scratch.data(), m_scratch.size()) != FALSE;
}

HRESULT CAVIFilter::GetImage(LONG lFrame, ComBuffer pImage, LONG* pImageSize) {
    if (!pImageSize)
        return E_POINTER;
    return Run([&] {
        *pImageSize = 0;
        if (!Opened())
            return OVISK_NOT_OPENED();
        const LONG frame = FrameOrCurrent(lFrame);
        BYTE* buffer = static_cast<BYTE*>(pImage.pvData);
        const ULONG_PTR capacity = buffer ? pImage.cbCapacity : 0;
        if (m_reader->SelfDecode()) {
            const std::size_t needed = m_reader->DecodedSize();
            if (!buffer || capacity < needed)
                return OVISK_REPORT(IDS_READ_FRAME);
            if (!m_reader->DecodeFrame(m_stream, frame, buffer, capacity))
                return OVISK_REPORT(IDS_READ_FRAME);
            *pImageSize = static_cast<LONG>(needed);
            return S_OK;
        }
        DWORD imageSize = 0;
        const LPBITMAPINFOHEADER h = m_reader->ReadFrame(m_stream, frame, &imageSize);
        if (!h || !buffer || capacity < imageSize)
            return OVISK_REPORT(IDS_READ_FRAME);
        std::memcpy(buffer, reinterpret_cast<const BYTE*>(h) + h->biSize + TableBytes(*h), imageSize);
        *pImageSize = static_cast<LONG>(imageSize);
        return S_OK;
    });
}

HRESULT CAVIFilter::GetBitmap(LONG lFrame, ComBuffer lphBmp, LONG* lpImageSize) {
    if (!lpImageSize)
        return E_POINTER;
    return Run([&] {
        *lpImageSize = 0;
        if (!Opened())
            return OVISK_NOT_OPENED();
        const LONG frame = FrameOrCurrent(lFrame);
        BYTE* out = static_cast<BYTE*>(lphBmp.pvData);
        const ULONG_PTR capacity = out ? lphBmp.cbCapacity : 0;
        if (m_reader->SelfDecode()) {
            const BITMAPINFOHEADER header = DecodedHeader();
            const std::size_t total = sizeof header + header.biSizeImage;
            if (!out) {
                *lpImageSize = static_cast<LONG>(total);
                return S_OK;
            }
            if (capacity < total)
                return OVISK_REPORT(IDS_READ_FRAME);
            if (!m_reader->DecodeFrame(m_stream, frame, out + sizeof header, capacity - sizeof header))
                return OVISK_REPORT(IDS_READ_FRAME);
            std::memcpy(out, &header, sizeof header);
            *lpImageSize = static_cast<LONG>(total);
            return S_OK;
        }
        DWORD imageSize = 0;
        const LPBITMAPINFOHEADER h = m_reader->ReadFrame(m_stream, frame, &imageSize);
        if (!h)
            return OVISK_REPORT(IDS_READ_FRAME);
        const std::size_t total = h->biSize + TableBytes(*h) + imageSize;
        if (!out) {
            *lpImageSize = static_cast<LONG>(total);
            return S_OK;
        }
        if (capacity < total)
            return OVISK_REPORT(IDS_READ_FRAME);
        std::memcpy(out, h, total);
        *lpImageSize = static_cast<LONG>(total);
        return S_OK;
    });
}

HRESULT CAVIFilter::GetBitmapSize(LONG lFrame, LONG* lpSize) {
    if (!lpSize)
        return E_POINTER;
    return Run([&] {
        *lpSize = 0;
        if (!Opened())
            return OVISK_NOT_OPENED();
        DWORD imageSize = 0;
        const LPBITMAPINFOHEADER h = m_reader->ReadFrame(m_stream, FrameOrCurrent(lFrame), &imageSize);
        if (!h)
            return OVISK_REPORT(IDS_READ_FRAME);
        if (m_reader->SelfDecode())
            *lpSize = static_cast<LONG>(sizeof(BITMAPINFOHEADER) + m_reader->DecodedSize());
        else
            *lpSize = static_cast<LONG>(h->biSize + TableBytes(*h) + imageSize);
        return S_OK;
    });
}

HRESULT CAVIFilter::GetStreamOptionData(LONG fccType, ComBuffer lpData, LONG* lpLength) {
    if (!lpLength)
        return E_POINTER;
    return Run([&] {
        const LONG wanted = *lpLength;
        *lpLength = 0;
        if (!Opened())
            return S_FALSE;
        LONG size = 0;
        if (!m_reader->ReadExtraData(m_stream, static_cast<DWORD>(fccType), nullptr, &size) || size < 0 ||
            static_cast<DWORD>(size) == 0xFFFFFFFFu)
            return S_FALSE;
        if (!lpData.pvData) {
            *lpLength = size;
            return S_OK;
        }
        // The chunk must fit both the length the caller names and the block it passes.
        if (wanted < size || lpData.cbCapacity < static_cast<ULONG_PTR>(size))
            return S_FALSE;
        if (!m_reader->ReadExtraData(m_stream, static_cast<DWORD>(fccType), lpData.pvData, &size))
            return S_FALSE;
        *lpLength = size;
        return S_OK;
    });
}
