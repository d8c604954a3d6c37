// The image-processing subset that tracking uses: image headers and their pixel memory, regions of
// interest, copies, single pixels, norms, products, colour-to-gray, depth conversion, shifts, constant
// addition and rotation.
//
// Images are rows of interleaved channels ("pixel" data order), row 0 first in memory, each row padded
// to the image's alignment. Pixel coordinates (x, y) always count columns and memory rows from the
// start of the pixel data, whatever the origin field says; the origin only tells a viewer how to show
// the rows. Operations that take a source and a destination work on the regions of interest of both
// (the whole image when an image has none) and on the smaller of the two sizes.
//
// Failures (null images, unsupported depths, out-of-memory) do not throw: the call does nothing and
// the calling thread's error status (iplGetErrStatus) records why. The status stays until it is set
// again with iplSetErrStatus, so a sequence of calls can be checked once at its end.
#pragma once

#include <cstdint>

// Depths: bits per channel, with the sign bit set for signed depths.
constexpr int IPL_DEPTH_SIGN = static_cast<int>(0x80000000u);
constexpr int IPL_DEPTH_1U = 1;
constexpr int IPL_DEPTH_8U = 8;
constexpr int IPL_DEPTH_16U = 16;
constexpr int IPL_DEPTH_32F = 32;
constexpr int IPL_DEPTH_8S = IPL_DEPTH_SIGN | 8;
constexpr int IPL_DEPTH_16S = IPL_DEPTH_SIGN | 16;
constexpr int IPL_DEPTH_32S = IPL_DEPTH_SIGN | 32;

constexpr int IPL_DATA_ORDER_PIXEL = 0;
constexpr int IPL_DATA_ORDER_PLANE = 1;
constexpr int IPL_ORIGIN_TL = 0;
constexpr int IPL_ORIGIN_BL = 1;
constexpr int IPL_ALIGN_4BYTES = 4;
constexpr int IPL_ALIGN_DWORD = IPL_ALIGN_4BYTES;
constexpr int IPL_ALIGN_8BYTES = 8;
constexpr int IPL_ALIGN_QWORD = IPL_ALIGN_8BYTES;
constexpr int IPL_ALIGN_16BYTES = 16;
constexpr int IPL_ALIGN_32BYTES = 32;

// What iplDeallocate releases.
constexpr int IPL_IMAGE_HEADER = 1;
constexpr int IPL_IMAGE_DATA = 2;
constexpr int IPL_IMAGE_ROI = 4;
constexpr int IPL_IMAGE_TILE = 8;
constexpr int IPL_IMAGE_MASK = 16;
constexpr int IPL_IMAGE_ALL =
    IPL_IMAGE_HEADER | IPL_IMAGE_DATA | IPL_IMAGE_ROI | IPL_IMAGE_TILE | IPL_IMAGE_MASK;
constexpr int IPL_IMAGE_ALL_WITHOUT_MASK = IPL_IMAGE_ALL & ~IPL_IMAGE_MASK;

// Norm kinds of iplNorm.
constexpr int IPL_C = 1;
constexpr int IPL_L1 = 2;
constexpr int IPL_L2 = 4;

// Interpolation modes of iplRotate.
constexpr int IPL_INTER_NN = 0;
constexpr int IPL_INTER_LINEAR = 1;

// Error status values.
constexpr int IPL_StsOk = 0;
constexpr int IPL_StsBackTrace = -1;
constexpr int IPL_StsError = -2;
constexpr int IPL_StsInternal = -3;
constexpr int IPL_StsNoMem = -4;
constexpr int IPL_StsBadArg = -5;
constexpr int IPL_StsNullPtr = -8;
constexpr int IPL_StsUnsupportedFormat = -12;

struct IplROI {
    int coi; // channel of interest, 0 = all channels
    int xOffset;
    int yOffset;
    int width;
    int height;
};

struct IplTileInfo; // tiled images are not supported; the pointer stays null

struct IplImage {
    int nSize; // sizeof(IplImage)
    int ID;    // 0
    int nChannels;
    int alphaChannel;
    int depth;          // an IPL_DEPTH_* value
    char colorModel[4]; // e.g. "GRAY", "RGB"
    char channelSeq[4]; // e.g. "GRAY", "BGR"
    int dataOrder;
    int origin;
    int align; // row alignment in bytes
    int width;
    int height;
    IplROI* roi;
    IplImage* maskROI;
    void* imageId;
    IplTileInfo* tileInfo;
    int imageSize; // bytes of pixel data: widthStep * height
    char* imageData;
    int widthStep; // bytes per row, padding included
    int BorderMode[4];
    int BorderConst[4];
    char* imageDataOrigin;
};

// Headers, memory and regions of interest.
IplImage* iplCreateImageHeader(int nChannels, int alphaChannel, int depth, const char* colorModel,
                               const char* channelSeq, int dataOrder, int origin, int align, int width,
                               int height, IplROI* roi, IplImage* maskROI, void* imageId,
                               IplTileInfo* tileInfo);
// Allocates the pixel data; fills every byte with fillValue's low byte when doFill is non-zero.
void iplAllocateImage(IplImage* image, int doFill, int fillValue);
void iplDeallocateImage(IplImage* image);
void iplDeallocate(IplImage* image, int flag);
IplImage* iplCloneImage(const IplImage* image);
IplROI* iplCreateROI(int coi, int xOffset, int yOffset, int width, int height);
void iplSetROI(IplROI* roi, int coi, int xOffset, int yOffset, int width, int height);
void iplDeleteROI(IplROI* roi);

// Pixels. `pixel` points at one pixel: nChannels values of the image's depth.
void iplPutPixel(IplImage* image, int x, int y, const void* pixel);
void iplGetPixel(const IplImage* image, int x, int y, void* pixel);

// Copies the source's region of interest into the destination's (same depth and channel count).
void iplCopy(const IplImage* src, IplImage* dst);

// Norm of an image (srcB null) or of the difference srcA - srcB over the regions of interest:
// IPL_L1 the sum of absolute values, IPL_L2 the square root of the sum of squares, IPL_C the largest
// absolute value. Integer depths sum exactly.
double iplNorm(const IplImage* srcA, const IplImage* srcB, int normType);

// dst = srcA * srcB per channel, saturated to the destination depth.
void iplMultiply(const IplImage* srcA, const IplImage* srcB, IplImage* dst);

// Colour to gray and back between depths.
void iplColorToGray(const IplImage* src, IplImage* dst);
void iplConvert(const IplImage* src, IplImage* dst);
void iplBitonalToGray(const IplImage* src, IplImage* dst, int zeroScale, int oneScale);

// Shifts and constant addition (integer depths, saturating).
void iplRShiftS(const IplImage* src, IplImage* dst, unsigned int nShift);
void iplLShiftS(const IplImage* src, IplImage* dst, unsigned int nShift);
void iplAddS(const IplImage* src, IplImage* dst, int value);

// Rotation: see rotate.cpp for the direction, the interpolation and the border rule.
void iplRotate(const IplImage* src, IplImage* dst, double angle, double xShift, double yShift,
               int interpolate);
void iplGetRotateShift(double xCenter, double yCenter, double angle, double* xShift, double* yShift);

int iplGetErrStatus();
int iplSetErrStatus(int status);
