// Drawing a frame into the device context the client handed over.
#include <cstdio>

#include "platform/win32/errors.h"
#include "platform/win32/system.h"
#include "vomCom/Ovisk/AVIFilter.h"
#include "vomCom/Ovisk/OviskStrings.h"

HRESULT CAVIFilter::DrawFrame(HDC dc, LONG left, LONG top, LONG right, LONG bottom, LONG frame) {
    if (!Opened())
        return OVISK_NOT_OPENED();
    if (!FrameInRange(frame))
        return OVISK_REPORT(IDS_INVALID_FRAME);
    if (!m_drawDib)
        return OVISK_REPORT(IDS_NOT_OPENED);
    if (!dc)
        return OVISK_REPORT(IDS_INVALID_HANDLE);
    const LONG width = right - left;
    const LONG height = bottom - top;
    char text[256];
    try {
        if (m_reader->SelfDecode()) {
            if (!DecodeToScratch(frame))
                return OVISK_REPORT(IDS_READ_FRAME);
            BITMAPINFO info{};
            info.bmiHeader = DecodedHeader();
            SetStretchBltMode(dc, HALFTONE);
            StretchDIBits(dc, left, top, width, height, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight,
                          m_scratch.data(), &info, DIB_RGB_COLORS, SRCCOPY);
            return S_OK;
        }
        DWORD imageSize = 0;
        const LPBITMAPINFOHEADER h = m_reader->ReadFrame(m_stream, frame, &imageSize);
        if (!h)
            return OVISK_REPORT(IDS_READ_FRAME);
        const int sourceHeight = h->biHeight < 0 ? -h->biHeight : h->biHeight;
        if (!DrawDibDraw(m_drawDib, dc, left, top, width, height, h, nullptr, 0, 0, h->biWidth, sourceHeight,
                         0)) {
            // Shown to whoever looks at the message; the call itself succeeds.
            std::snprintf(text, sizeof text, "DrawDibDraw Error:%ld,%ld,%ld,%ld,0x%lX\n",
                          static_cast<long>(left), static_cast<long>(top), static_cast<long>(width),
                          static_cast<long>(height), static_cast<unsigned long>(GetLastError()));
            m_message = text;
            OutputDebugStringA(text);
        }
        return S_OK;
    } catch (...) {
        std::snprintf(text, sizeof text, "DrawFrame::Exception( ... ):0x%lX,0x%lX,%ld,%ld,%ld,%ld,0x%lX\n",
                      static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(m_drawDib)),
                      static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(dc)), static_cast<long>(left),
                      static_cast<long>(top), static_cast<long>(right), static_cast<long>(bottom),
                      static_cast<unsigned long>(GetLastError()));
        OutputDebugStringA(text);
        return OVISK_REPORT(IDS_DRAW_ERROR);
    }
}

HRESULT CAVIFilter::SetImageRect(LONG lX, LONG lY, LONG lWidth, LONG lHeight) {
    return Run([&] {
        if (!Opened())
            return OVISK_NOT_OPENED();
        if (!m_dc)
            return OVISK_REPORT(IDS_INVALID_HANDLE);
        const LONG frameWidth = m_reader->FrameWidth();
        const LONG frameHeight = m_reader->FrameHeight();
        // The whole frame at its own size, from which the area is cut.
        HDC memory = CreateCompatibleDC(m_dc);
        HBITMAP bitmap = CreateCompatibleBitmap(m_dc, frameWidth, frameHeight);
        if (!memory || !bitmap) {
            if (bitmap)
                DeleteObject(bitmap);
            if (memory)
                DeleteDC(memory);
            return OVISK_REPORT(IDS_DRAW_ERROR);
        }
        HGDIOBJ old = SelectObject(memory, bitmap);
        HRESULT hr = DrawFrame(memory, 0, 0, frameWidth, frameHeight, m_frame);
        if (SUCCEEDED(hr))
            BitBlt(m_dc, 0, 0, lWidth, lHeight, memory, lX, lY, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        if (FAILED(hr))
            return hr;
        m_rect[0] = lX;
        m_rect[1] = lY;
        m_rect[2] = lWidth;
        m_rect[3] = lHeight;
        return DrawFrame(m_dc, m_rect[0], m_rect[1], m_rect[2], m_rect[3], m_frame);
    });
}
