// Image headers, pixel memory, regions of interest, single pixels, copies and the error status.
#include "platform/ipl/ipl.h"
#include "platform/ipl/ipl_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace kivic::ipl {

namespace {
thread_local int g_status = IPL_StsOk;

// Pixel rows start 32-byte aligned so vector code may read them whole.
constexpr std::size_t kDataAlignment = 32;

// The four-character fields need no terminator: "GRAY" fills one whole.
void CopyText4(char (&to)[4], const char* from) {
    std::memset(to, 0, sizeof to);
    for (std::size_t i = 0; from != nullptr && i < sizeof to && from[i] != '\0'; ++i) {
        to[i] = from[i];
    }
}
} // namespace

void SetStatus(int status) {
    g_status = status;
}

int BytesPerValue(int depth) {
    switch (depth) {
    case IPL_DEPTH_8U:
    case IPL_DEPTH_8S:
        return 1;
    case IPL_DEPTH_16U:
    case IPL_DEPTH_16S:
        return 2;
    case IPL_DEPTH_32S:
    case IPL_DEPTH_32F:
        return 4;
    default:
        return 0;
    }
}

bool Usable(const IplImage* image) {
    if (image == nullptr || image->imageData == nullptr) {
        SetStatus(IPL_StsNullPtr);
        return false;
    }
    if (BytesPerValue(image->depth) == 0 || image->dataOrder != IPL_DATA_ORDER_PIXEL) {
        SetStatus(IPL_StsUnsupportedFormat);
        return false;
    }
    return true;
}

Area AreaOf(const IplImage* image) {
    Area area;
    area.width = image->width;
    area.height = image->height;
    area.channelCount = image->nChannels;
    if (const IplROI* roi = image->roi) {
        area.x = std::max(0, roi->xOffset);
        area.y = std::max(0, roi->yOffset);
        area.width = std::max(0, std::min(roi->width, image->width - area.x));
        area.height = std::max(0, std::min(roi->height, image->height - area.y));
        if (roi->coi > 0 && roi->coi <= image->nChannels) {
            area.firstChannel = roi->coi - 1;
            area.channelCount = 1;
        }
    }
    return area;
}

double ReadValue(const IplImage* image, int x, int y, int channel) {
    const unsigned char* p = ValueAddress(image, x, y, channel);
    switch (image->depth) {
    case IPL_DEPTH_8U:
        return *p;
    case IPL_DEPTH_8S:
        return *reinterpret_cast<const std::int8_t*>(p);
    case IPL_DEPTH_16U: {
        std::uint16_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    case IPL_DEPTH_16S: {
        std::int16_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    case IPL_DEPTH_32S: {
        std::int32_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    case IPL_DEPTH_32F: {
        float v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    default:
        return 0.0;
    }
}

namespace {
template <typename T> void StoreSaturated(unsigned char* p, double value) {
    double lo = static_cast<double>(std::numeric_limits<T>::min());
    double hi = static_cast<double>(std::numeric_limits<T>::max());
    double r = std::floor(value + 0.5);
    if (!(r >= lo)) { // NaN saturates low
        r = lo;
    }
    if (r > hi) {
        r = hi;
    }
    T v = static_cast<T>(r);
    std::memcpy(p, &v, sizeof v);
}
} // namespace

void WriteValue(IplImage* image, int x, int y, int channel, double value) {
    unsigned char* p = ValueAddress(image, x, y, channel);
    switch (image->depth) {
    case IPL_DEPTH_8U:
        StoreSaturated<std::uint8_t>(p, value);
        break;
    case IPL_DEPTH_8S:
        StoreSaturated<std::int8_t>(p, value);
        break;
    case IPL_DEPTH_16U:
        StoreSaturated<std::uint16_t>(p, value);
        break;
    case IPL_DEPTH_16S:
        StoreSaturated<std::int16_t>(p, value);
        break;
    case IPL_DEPTH_32S:
        StoreSaturated<std::int32_t>(p, value);
        break;
    case IPL_DEPTH_32F: {
        float v = static_cast<float>(value);
        std::memcpy(p, &v, sizeof v);
        break;
    }
    default:
        break;
    }
}

} // namespace kivic::ipl

using namespace kivic::ipl;

IplImage* iplCreateImageHeader(int nChannels, int alphaChannel, int depth, const char* colorModel,
                               const char* channelSeq, int dataOrder, int origin, int align, int width,
                               int height, IplROI* roi, IplImage* maskROI, void* imageId,
                               IplTileInfo* tileInfo) {
    bool knownDepth = depth == IPL_DEPTH_1U || BytesPerValue(depth) != 0;
    if (nChannels < 1 || width < 0 || height < 0 || !knownDepth || align <= 0 || (align & (align - 1)) != 0) {
        SetStatus(IPL_StsBadArg);
        return nullptr;
    }
    auto* image = new (std::nothrow) IplImage{};
    if (image == nullptr) {
        SetStatus(IPL_StsNoMem);
        return nullptr;
    }
    image->nSize = sizeof(IplImage);
    image->nChannels = nChannels;
    image->alphaChannel = alphaChannel;
    image->depth = depth;
    CopyText4(image->colorModel, colorModel);
    CopyText4(image->channelSeq, channelSeq);
    image->dataOrder = dataOrder;
    image->origin = origin;
    image->align = align;
    image->width = width;
    image->height = height;
    image->roi = roi;
    image->maskROI = maskROI;
    image->imageId = imageId;
    image->tileInfo = tileInfo;
    std::int64_t rowBits = static_cast<std::int64_t>(width) * nChannels * (depth & 0xFF);
    std::int64_t rowBytes = (rowBits + 7) / 8;
    std::int64_t step = (rowBytes + align - 1) / align * align;
    std::int64_t size = step * height;
    if (size > std::numeric_limits<int>::max()) {
        delete image;
        SetStatus(IPL_StsBadArg);
        return nullptr;
    }
    image->widthStep = static_cast<int>(step);
    image->imageSize = static_cast<int>(size);
    return image;
}

void iplAllocateImage(IplImage* image, int doFill, int fillValue) {
    if (image == nullptr) {
        SetStatus(IPL_StsNullPtr);
        return;
    }
    iplDeallocateImage(image);
    std::size_t bytes =
        (static_cast<std::size_t>(image->imageSize) + kDataAlignment - 1) / kDataAlignment * kDataAlignment;
    if (bytes == 0) {
        bytes = kDataAlignment;
    }
    void* data = std::aligned_alloc(kDataAlignment, bytes);
    if (data == nullptr) {
        SetStatus(IPL_StsNoMem);
        return;
    }
    if (doFill != 0) {
        std::memset(data, fillValue & 0xFF, bytes);
    }
    image->imageData = static_cast<char*>(data);
    image->imageDataOrigin = image->imageData;
}

void iplDeallocateImage(IplImage* image) {
    if (image == nullptr) {
        return;
    }
    std::free(image->imageDataOrigin);
    image->imageData = nullptr;
    image->imageDataOrigin = nullptr;
}

void iplDeallocate(IplImage* image, int flag) {
    if (image == nullptr) {
        return;
    }
    if ((flag & IPL_IMAGE_DATA) != 0) {
        iplDeallocateImage(image);
    }
    if ((flag & IPL_IMAGE_ROI) != 0) {
        iplDeleteROI(image->roi);
        image->roi = nullptr;
    }
    if ((flag & IPL_IMAGE_MASK) != 0 && image->maskROI != nullptr) {
        iplDeallocate(image->maskROI, IPL_IMAGE_ALL);
        image->maskROI = nullptr;
    }
    if ((flag & IPL_IMAGE_TILE) != 0) {
        image->tileInfo = nullptr;
    }
    if ((flag & IPL_IMAGE_HEADER) != 0) {
        delete image;
    }
}

IplImage* iplCloneImage(const IplImage* image) {
    if (image == nullptr) {
        SetStatus(IPL_StsNullPtr);
        return nullptr;
    }
    IplROI* roi = nullptr;
    if (image->roi != nullptr) {
        roi = iplCreateROI(image->roi->coi, image->roi->xOffset, image->roi->yOffset, image->roi->width,
                           image->roi->height);
        if (roi == nullptr) {
            return nullptr;
        }
    }
    IplImage* copy =
        iplCreateImageHeader(image->nChannels, image->alphaChannel, image->depth, image->colorModel,
                             image->channelSeq, image->dataOrder, image->origin, image->align, image->width,
                             image->height, roi, nullptr, image->imageId, nullptr);
    if (copy == nullptr) {
        iplDeleteROI(roi);
        return nullptr;
    }
    if (image->maskROI != nullptr) {
        copy->maskROI = iplCloneImage(image->maskROI);
    }
    std::memcpy(copy->BorderMode, image->BorderMode, sizeof copy->BorderMode);
    std::memcpy(copy->BorderConst, image->BorderConst, sizeof copy->BorderConst);
    if (image->imageData != nullptr) {
        iplAllocateImage(copy, 0, 0);
        if (copy->imageData == nullptr) {
            iplDeallocate(copy, IPL_IMAGE_ALL);
            return nullptr;
        }
        std::memcpy(copy->imageData, image->imageData, static_cast<std::size_t>(image->imageSize));
    }
    return copy;
}

IplROI* iplCreateROI(int coi, int xOffset, int yOffset, int width, int height) {
    auto* roi = new (std::nothrow) IplROI{coi, xOffset, yOffset, width, height};
    if (roi == nullptr) {
        SetStatus(IPL_StsNoMem);
    }
    return roi;
}

void iplSetROI(IplROI* roi, int coi, int xOffset, int yOffset, int width, int height) {
    if (roi == nullptr) {
        SetStatus(IPL_StsNullPtr);
        return;
    }
    *roi = IplROI{coi, xOffset, yOffset, width, height};
}

void iplDeleteROI(IplROI* roi) {
    delete roi;
}

void iplPutPixel(IplImage* image, int x, int y, const void* pixel) {
    if (!Usable(image) || pixel == nullptr) {
        return;
    }
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) {
        SetStatus(IPL_StsBadArg);
        return;
    }
    std::memcpy(ValueAddress(image, x, y, 0), pixel,
                static_cast<std::size_t>(image->nChannels) * BytesPerValue(image->depth));
}

void iplGetPixel(const IplImage* image, int x, int y, void* pixel) {
    if (!Usable(image) || pixel == nullptr) {
        return;
    }
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) {
        SetStatus(IPL_StsBadArg);
        return;
    }
    std::memcpy(pixel, ValueAddress(image, x, y, 0),
                static_cast<std::size_t>(image->nChannels) * BytesPerValue(image->depth));
}

void iplCopy(const IplImage* src, IplImage* dst) {
    if (!Usable(src) || !Usable(dst)) {
        return;
    }
    if (src->depth != dst->depth) {
        SetStatus(IPL_StsUnsupportedFormat);
        return;
    }
    Area a = AreaOf(src);
    Area b = AreaOf(dst);
    int width = std::min(a.width, b.width);
    int height = std::min(a.height, b.height);
    int bytes = BytesPerValue(src->depth);
    if (a.channelCount == src->nChannels && b.channelCount == dst->nChannels &&
        src->nChannels == dst->nChannels) {
        std::size_t rowBytes = static_cast<std::size_t>(width) * src->nChannels * bytes;
        for (int y = 0; y < height; ++y) {
            std::memcpy(ValueAddress(dst, b.x, b.y + y, 0), ValueAddress(src, a.x, a.y + y, 0), rowBytes);
        }
        return;
    }
    int channels = std::min(a.channelCount, b.channelCount);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                std::memcpy(ValueAddress(dst, b.x + x, b.y + y, b.firstChannel + c),
                            ValueAddress(src, a.x + x, a.y + y, a.firstChannel + c), bytes);
            }
        }
    }
}

int iplGetErrStatus() {
    return g_status;
}

int iplSetErrStatus(int status) {
    int old = g_status;
    g_status = status;
    return old;
}
