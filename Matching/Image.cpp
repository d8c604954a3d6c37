#include "Matching/Image.h"

#include <cstring>
#include <new>

std::int64_t MatchingImage::ByteCount(int width, int height, int channels) {
    if (width <= 0 || height <= 0 || channels <= 0) {
        return 0;
    }
    return static_cast<std::int64_t>(width) * height * channels;
}

MatchingImage::MatchingImage(const unsigned char* pixels, int width, int height, int first, int second,
                             int channels, int bitsPerChannel)
    : first_(first), second_(second), width_(width), height_(height), channels_(channels),
      bitsPerChannel_(bitsPerChannel) {
    const std::int64_t bytes = ByteCount(width, height, channels);
    if (bytes > 0) {
        pixels_ = new unsigned char[static_cast<std::size_t>(bytes)];
        if (pixels != nullptr) {
            std::memcpy(pixels_, pixels, static_cast<std::size_t>(bytes));
        } else {
            std::memset(pixels_, 0, static_cast<std::size_t>(bytes));
        }
    }
}

MatchingImage::~MatchingImage() {
    delete[] pixels_;
}

void MatchingImage::Set(const unsigned char* pixels, int width, int height, int channels) {
    width_ = width;
    height_ = height;
    channels_ = channels;
    const std::int64_t bytes = ByteCount(width, height, channels);
    if (bytes > 0) {
        auto* copy = new unsigned char[static_cast<std::size_t>(bytes)];
        if (pixels != nullptr) {
            std::memcpy(copy, pixels, static_cast<std::size_t>(bytes));
        } else {
            std::memset(copy, 0, static_cast<std::size_t>(bytes));
        }
        delete[] pixels_;
        pixels_ = copy;
    }
}

unsigned char* MatchingImage::GetSize(int* width, int* height) const {
    *width = width_;
    *height = height_;
    return pixels_;
}
