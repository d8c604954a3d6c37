#include "Matching/CalcTest.h"

#include "platform/ipl/ipl.h"

#include <cstdint>
#include <cstring>

// The images are built with rows of exactly 3 x width and width bytes (no padding), so the caller's
// unpadded rows go in and come out whole for every width.
void CalcTest::RgbToGray(const unsigned char* rgb, int width, int height, unsigned char* gray) {
    if (rgb == nullptr || gray == nullptr || width < 1 || height < 1) {
        return;
    }
    IplImage* colour =
        iplCreateImageHeader(3, 0, IPL_DEPTH_8U, "RGB", "BGR", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_BL, 1, width,
                             height, nullptr, nullptr, nullptr, nullptr);
    IplImage* mono =
        iplCreateImageHeader(1, 0, IPL_DEPTH_8U, "GRAY", "GRAY", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_BL, 1,
                             width, height, nullptr, nullptr, nullptr, nullptr);
    if (colour != nullptr && mono != nullptr) {
        iplAllocateImage(colour, 0, 0);
        iplAllocateImage(mono, 0, 0);
    }
    if (colour != nullptr && mono != nullptr && colour->imageData != nullptr && mono->imageData != nullptr) {
        std::memcpy(colour->imageData, rgb, static_cast<std::size_t>(width) * 3 * height);
        iplColorToGray(colour, mono);
        std::memcpy(gray, mono->imageData, static_cast<std::size_t>(width) * height);
    }
    iplDeallocate(colour, IPL_IMAGE_ALL);
    iplDeallocate(mono, IPL_IMAGE_ALL);
}
