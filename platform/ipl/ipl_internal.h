// Helpers shared by the image-processing files: the error status, the rectangle an operation works
// on, and reading and writing one channel value of any supported depth.
#pragma once

#include "platform/ipl/ipl.h"

#include <cstdint>

namespace kivic::ipl {

void SetStatus(int status);

// The part of an image an operation touches: its region of interest, or the whole image.
struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int firstChannel = 0;
    int channelCount = 0;
};

Area AreaOf(const IplImage* image);

// Bytes per channel value; 0 for depths that are not byte-addressed (1 bit) or unknown.
int BytesPerValue(int depth);

// Whether the image can take part in a per-value operation (header, data, known byte depth).
bool Usable(const IplImage* image);

inline unsigned char* ValueAddress(const IplImage* image, int x, int y, int channel) {
    return reinterpret_cast<unsigned char*>(image->imageData) +
           static_cast<std::int64_t>(y) * image->widthStep +
           (static_cast<std::int64_t>(x) * image->nChannels + channel) * BytesPerValue(image->depth);
}

double ReadValue(const IplImage* image, int x, int y, int channel);
// Stores value rounded to nearest and saturated to the image's depth (float depths keep it as is).
void WriteValue(IplImage* image, int x, int y, int channel, double value);

} // namespace kivic::ipl
