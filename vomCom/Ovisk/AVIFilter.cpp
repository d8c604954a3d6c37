#include "vomCom/Ovisk/AVIFilter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/win32/system.h"
#include "vomCom/Ovisk/OviskIds.h"
#include "vomCom/Ovisk/OviskStrings.h"

namespace {
constexpr DispMember kMembers[] = {
    {"SetHandle", AVIFILTER_SETHANDLE},
    {"Open", AVIFILTER_OPEN},
    {"Close", AVIFILTER_CLOSE},
    {"Jump", AVIFILTER_JUMP},
    {"GetFrameCount", AVIFILTER_GETFRAMECOUNT},
    {"GetImageSize", AVIFILTER_GETIMAGESIZE},
    {"Draw", AVIFILTER_DRAW},
    {"SetDrawRect", AVIFILTER_SETDRAWRECT},
    {"SetImageRect", AVIFILTER_SETIMAGERECT},
    {"SceneIndex", AVIFILTER_SCENEINDEX},
    {"GetFrameRate", AVIFILTER_GETFRAMERATE},
    {"GetRange", AVIFILTER_GETRANGE},
    {"GetImage", AVIFILTER_GETIMAGE},
    {"GetBitmap", AVIFILTER_GETBITMAP},
    {"GetBitmapSize", AVIFILTER_GETBITMAPSIZE},
    {"GetStreamOptionData", AVIFILTER_GETSTREAMOPTIONDATA},
};

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

CAVIFilter::CAVIFilter() : DispatchObject(IID_IAVIFilter, kMembers, kAviFilterProgId, &OviskModule()) {
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

HRESULT CAVIFilter::InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) {
    if (!m_reader) {
        const HRESULT hr = OVISK_REPORT(IDS_NO_READER);
        return id == AVIFILTER_CLOSE ? E_FAIL : hr;
    }
    switch (id) {
    case AVIFILTER_SETHANDLE:
        args.Expect(1);
        return SetHandle(args);
    case AVIFILTER_OPEN:
        args.Expect(1);
        return Open(args.Utf8(0));
    case AVIFILTER_CLOSE:
        return Close();
    case AVIFILTER_JUMP:
        args.Expect(1);
        return Jump(args.I4(0));
    case AVIFILTER_GETFRAMECOUNT: {
        args.Expect(1);
        LONG* count = args.RefI4(0);
        LONG begin = 0;
        LONG end = 0;
        if (!Opened()) {
            OVISK_REPORT(IDS_NOT_OPENED);
            return E_FAIL;
        }
        if (!m_reader->GetRange(m_stream, &begin, &end))
            return OVISK_REPORT(IDS_INVALID_STREAM);
        *count = end - begin;
        return S_OK;
    }
    case AVIFILTER_GETIMAGESIZE:
        args.Expect(2);
        *args.RefI4(0) = m_width;
        *args.RefI4(1) = m_height;
        return S_OK;
    case AVIFILTER_DRAW:
        if (!Opened()) {
            OVISK_REPORT(IDS_NOT_OPENED);
            return E_FAIL;
        }
        return DrawFrame(m_dc, m_rect[0], m_rect[1], m_rect[2], m_rect[3], m_frame);
    case AVIFILTER_SETDRAWRECT:
        args.Expect(4);
        if (!Opened()) {
            OVISK_REPORT(IDS_NOT_OPENED);
            return E_FAIL;
        }
        for (UINT i = 0; i < 4; ++i)
            m_rect[i] = args.I4(i);
        return S_OK;
    case AVIFILTER_SETIMAGERECT:
        args.Expect(4);
        return SetImageRect(args.I4(0), args.I4(1), args.I4(2), args.I4(3));
    case AVIFILTER_SCENEINDEX:
        return SceneIndex(flags, args, result);
    case AVIFILTER_GETFRAMERATE:
        args.Expect(1);
        *args.RefI4(0) = m_frameRate;
        return S_OK;
    case AVIFILTER_GETRANGE:
        args.Expect(3);
        return GetRange(args.I4(0), args.RefI4(1), args.RefI4(2));
    case AVIFILTER_GETIMAGE:
    case AVIFILTER_GETBITMAP:
    case AVIFILTER_GETSTREAMOPTIONDATA: {
        args.Expect(3);
        const LONG first = args.I4(0);
        ULONG_PTR capacity = 0;
        void* buffer = args.Buffer(1, &capacity);
        LONG* size = args.RefI4(2);
        if (id == AVIFILTER_GETIMAGE)
            return GetImage(first, buffer, capacity, size);
        if (id == AVIFILTER_GETBITMAP)
            return GetBitmap(first, buffer, capacity, size);
        return GetStreamOptionData(first, buffer, capacity, size);
    }
    case AVIFILTER_GETBITMAPSIZE:
        args.Expect(2);
        return GetBitmapSize(args.I4(0), args.RefI4(1));
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT CAVIFilter::SetHandle(const DispArgs& args) {
    // A device context is an address: it travels as a buffer argument. A plain 0 is taken too.
    HDC dc = nullptr;
    try {
        dc = static_cast<HDC>(args.Buffer(0, nullptr));
    } catch (const DispArgError&) {
        if (args.I4(0) != 0)
            throw DispArgError{DISP_E_TYPEMISMATCH, 0};
    }
    if (!dc)
        return OVISK_REPORT(IDS_INVALID_HANDLE);
    m_dc = dc;
    return S_OK;
}

HRESULT CAVIFilter::Open(const std::string& name) {
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
    DrawDibClose(m_drawDib);
    m_drawDib = nullptr;
    m_reader->Reset();
    m_fileName.clear();
    m_streamCount = 0;
    m_stream = 0;
    m_frame = 0;
    m_scratch = {};
    return S_OK;
}

bool CAVIFilter::FrameInRange(LONG frame) {
    LONG begin = 0;
    LONG end = 0;
    return m_reader->GetRange(m_stream, &begin, &end) && frame >= begin && frame <= end;
}

HRESULT CAVIFilter::Jump(LONG frame) {
    if (!Opened() || !m_dc) {
        Trace(__FILE__, __LINE__, "No Opened.");
        return S_FALSE;
    }
    if (!FrameInRange(frame))
        return OVISK_REPORT(IDS_INVALID_FRAME);
    m_frame = frame;
    return S_OK;
}

HRESULT CAVIFilter::SceneIndex(WORD flags, const DispArgs& args, VARIANT* result) {
    if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) == 0) {
        SetResultI4(result, m_streamCount);
        return S_OK;
    }
    const LONG index = args.PutI4();
    if (!Opened()) {
        OVISK_REPORT(IDS_NOT_OPENED);
        return E_FAIL;
    }
    if (index < 0 || index >= m_streamCount)
        return OVISK_REPORT(IDS_INVALID_STREAM);
    if (!m_reader->SetupStream(index))
        return OVISK_REPORT(IDS_DECODE_STREAM);
    m_stream = index;
    return S_OK;
}

HRESULT CAVIFilter::GetRange(LONG stream, LONG* begin, LONG* end) {
    *begin = 0;
    *end = 0;
    LONG first = 0;
    LONG last = 0;
    if (!Opened() || !m_reader->GetRange(stream, &first, &last))
        return S_FALSE;
    *begin = first;
    *end = last;
    return S_OK;
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

HRESULT CAVIFilter::GetImage(LONG frame, void* buffer, ULONG_PTR capacity, LONG* size) {
    *size = 0;
    if (!Opened()) {
        OVISK_REPORT(IDS_NOT_OPENED);
        return E_FAIL;
    }
    frame = FrameOrCurrent(frame);
    if (m_reader->SelfDecode()) {
        const std::size_t needed = m_reader->DecodedSize();
        if (!buffer || capacity < needed)
            return OVISK_REPORT(IDS_READ_FRAME);
        if (!m_reader->DecodeFrame(m_stream, frame, static_cast<BYTE*>(buffer), capacity))
            return OVISK_REPORT(IDS_READ_FRAME);
        *size = static_cast<LONG>(needed);
        return S_OK;
    }
    DWORD imageSize = 0;
    const LPBITMAPINFOHEADER h = m_reader->ReadFrame(m_stream, frame, &imageSize);
    if (!h || !buffer || capacity < imageSize)
        return OVISK_REPORT(IDS_READ_FRAME);
    std::memcpy(buffer, reinterpret_cast<const BYTE*>(h) + h->biSize + TableBytes(*h), imageSize);
    *size = static_cast<LONG>(imageSize);
    return S_OK;
}

HRESULT CAVIFilter::GetBitmap(LONG frame, void* buffer, ULONG_PTR capacity, LONG* size) {
    *size = 0;
    if (!Opened()) {
        OVISK_REPORT(IDS_NOT_OPENED);
        return E_FAIL;
    }
    frame = FrameOrCurrent(frame);
    if (m_reader->SelfDecode()) {
        const BITMAPINFOHEADER header = DecodedHeader();
        const std::size_t total = sizeof header + header.biSizeImage;
        if (!buffer) {
            *size = static_cast<LONG>(total);
            return S_OK;
        }
        if (capacity < total)
            return OVISK_REPORT(IDS_READ_FRAME);
        BYTE* out = static_cast<BYTE*>(buffer);
        if (!m_reader->DecodeFrame(m_stream, frame, out + sizeof header, capacity - sizeof header))
            return OVISK_REPORT(IDS_READ_FRAME);
        std::memcpy(out, &header, sizeof header);
        *size = static_cast<LONG>(total);
        return S_OK;
    }
    DWORD imageSize = 0;
    const LPBITMAPINFOHEADER h = m_reader->ReadFrame(m_stream, frame, &imageSize);
    if (!h)
        return OVISK_REPORT(IDS_READ_FRAME);
    const std::size_t total = h->biSize + TableBytes(*h) + imageSize;
    if (!buffer) {
        *size = static_cast<LONG>(total);
        return S_OK;
    }
    if (capacity < total)
        return OVISK_REPORT(IDS_READ_FRAME);
    std::memcpy(buffer, h, total);
    *size = static_cast<LONG>(total);
    return S_OK;
}

HRESULT CAVIFilter::GetBitmapSize(LONG frame, LONG* size) {
    *size = 0;
    if (!Opened()) {
        OVISK_REPORT(IDS_NOT_OPENED);
        return E_FAIL;
    }
    frame = FrameOrCurrent(frame);
    DWORD imageSize = 0;
    const LPBITMAPINFOHEADER h = m_reader->ReadFrame(m_stream, frame, &imageSize);
    if (!h)
        return OVISK_REPORT(IDS_READ_FRAME);
    if (m_reader->SelfDecode())
        *size = static_cast<LONG>(sizeof(BITMAPINFOHEADER) + m_reader->DecodedSize());
    else
        *size = static_cast<LONG>(h->biSize + TableBytes(*h) + imageSize);
    return S_OK;
}

HRESULT CAVIFilter::GetStreamOptionData(LONG fcc, void* buffer, ULONG_PTR capacity, LONG* length) {
    const LONG wanted = *length;
    *length = 0;
    if (!Opened())
        return S_FALSE;
    LONG size = 0;
    if (!m_reader->ReadExtraData(m_stream, static_cast<DWORD>(fcc), nullptr, &size) || size < 0 ||
        static_cast<DWORD>(size) == 0xFFFFFFFFu)
        return S_FALSE;
    if (!buffer) {
        *length = size;
        return S_OK;
    }
    // The chunk must fit both the length the caller names and the block it passes.
    if (wanted < size || capacity < static_cast<ULONG_PTR>(size))
        return S_FALSE;
    if (!m_reader->ReadExtraData(m_stream, static_cast<DWORD>(fcc), buffer, &size))
        return S_FALSE;
    *length = size;
    return S_OK;
}
