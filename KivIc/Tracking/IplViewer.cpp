#include "KivIc/Tracking/IplViewer.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "KivIc/Play/GuiHandOff.h"
#include "KivIc/Tracking/IplViewerTable.h"
#include "platform/afx/afxwin.h"

namespace {

void Release(IplImage* image) {
    iplDeallocate(image, IPL_IMAGE_ALL);
}

// A copy whose values lie in 0..255: signed depths are shifted so that their lowest value becomes 0 and
// their highest 255 (8-bit ones end up even), wider unsigned depths keep their high byte.
IplImage* ScaledCopy(const IplImage* image) {
    iplSetErrStatus(IPL_StsOk);
    IplImage* copy = iplCloneImage(image);
    if (copy == nullptr)
        throw IplViewerException(0);
    switch (image->depth) {
    case IPL_DEPTH_8S:
        iplRShiftS(copy, copy, 1);
        iplAddS(copy, copy, 64);
        copy->depth = IPL_DEPTH_8U;
        iplLShiftS(copy, copy, 1);
        break;
    case IPL_DEPTH_16U:
        iplRShiftS(copy, copy, 8);
        break;
    case IPL_DEPTH_16S:
        iplRShiftS(copy, copy, 8);
        iplAddS(copy, copy, 128);
        break;
    case IPL_DEPTH_32S:
        iplRShiftS(copy, copy, 24);
        iplAddS(copy, copy, 128);
        break;
    default:
        break;
    }
    if (iplGetErrStatus() != IPL_StsOk) {
        Release(copy);
        throw IplViewerException(0);
    }
    return copy;
}

// The 8-bit image the window shows, in the source's channels and row order.
IplImage* DisplayImage(const IplImage* source, const IplImage* scaled) {
    IplImage* display =
        iplCreateImageHeader(source->nChannels, source->alphaChannel, IPL_DEPTH_8U, source->colorModel,
                             source->channelSeq, IPL_DATA_ORDER_PIXEL, source->origin, IPL_ALIGN_DWORD,
                             source->width, source->height, nullptr, nullptr, nullptr, nullptr);
    if (display == nullptr)
        throw IplViewerException(0);
    iplAllocateImage(display, 0, 0);
    if (display->imageData == nullptr) {
        Release(display);
        throw IplViewerException(1);
    }
    if (source->depth == IPL_DEPTH_1U)
        iplBitonalToGray(scaled, display, 0, 255);
    else
        iplConvert(scaled, display);
    if (iplGetErrStatus() != IPL_StsOk) {
        Release(display);
        throw IplViewerException(1);
    }
    return display;
}

bool Upper(char c, char expected) {
    return std::toupper(static_cast<unsigned char>(c)) == expected;
}

} // namespace

const char* IplViewerException::what() const noexcept {
    return code == 0 ? "The image cannot be shown at 8 bits." : "The image viewer cannot be opened.";
}

HANDLE ShowIplImage(IplImage* image, const char* title, bool modal) {
    if (image == nullptr)
        return nullptr;
    IplImage* scaled = ScaledCopy(image);
    IplImage* display = nullptr;
    try {
        display = DisplayImage(image, scaled);
    } catch (...) {
        Release(scaled);
        throw;
    }
    Release(scaled);

    IplViewerTable& table = IplViewerTable::Instance();
    HANDLE closed = nullptr;
    bool handedOver = false;
    // Without a quit event the call returns only once the work has run, so it may use this frame.
    if (!table.HandOff().Call(
            [&] {
                handedOver = true;
                closed = table.Open(display, title, modal);
            },
            nullptr)) {
        if (!handedOver)
            Release(display);
        throw IplViewerException(1);
    }
    if (closed == nullptr || !modal)
        return closed;
    if (table.HandOff().OnGuiThread())
        table.RunModal(closed);
    else
        WaitForSingleObject(closed, INFINITE);
    CloseHandle(closed);
    return nullptr;
}

int DrawIplImage(HDC dc, IplImage* image) {
    if (image == nullptr || image->imageData == nullptr)
        return -1;
    const char* model = image->colorModel;
    const bool rgb = Upper(model[0], 'R') && Upper(model[1], 'G') && Upper(model[2], 'B');
    const bool gray = !rgb && Upper(model[0], 'G');
    if (!rgb && !gray)
        return 0;
    if (gray ? image->nChannels != 1 : image->nChannels != 3 && image->nChannels != 4)
        return 0;
    if (image->depth != IPL_DEPTH_8U || image->dataOrder != IPL_DATA_ORDER_PIXEL || image->width < 1 ||
        image->height < 1)
        return 0;

    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = image->width;
    // Rows stored from the top go up the screen as a top-down bitmap.
    h.biHeight = image->origin == IPL_ORIGIN_BL ? image->height : -image->height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(8 * image->nChannels);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(image->imageSize);
    if (gray) {
        auto* palette = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }
    // The bitmap's rows are padded to 4 bytes; an image aligned otherwise is packed that way first.
    const auto stride = static_cast<std::size_t>(DibRowBytes(image->width, h.biBitCount));
    const auto* bits = reinterpret_cast<const BYTE*>(image->imageData);
    std::vector<BYTE> packed;
    if (static_cast<std::size_t>(image->widthStep) != stride) {
        const std::size_t used = static_cast<std::size_t>(image->width) * image->nChannels;
        packed.assign(stride * image->height, 0);
        for (int r = 0; r < image->height; ++r)
            std::memcpy(packed.data() + r * stride, bits + static_cast<std::size_t>(r) * image->widthStep,
                        used);
        bits = packed.data();
        h.biSizeImage = static_cast<DWORD>(packed.size());
    }
    const int lines = StretchDIBits(dc, 0, 0, image->width, image->height, 0, 0, image->width, image->height,
                                    bits, bmi, DIB_RGB_COLORS, SRCCOPY);
    return lines > 0 ? 1 : 0;
}
