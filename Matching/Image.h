// An owned copy of an image's pixels with its size, plus two integers the creator keeps with it (the
// matching log keeps a search area's left and top there).
#pragma once

#include <cstdint>

class MatchingImage {
public:
    MatchingImage(const unsigned char* pixels, int width, int height, int first, int second, int channels,
                  int bitsPerChannel);
    MatchingImage(const MatchingImage&) = delete;
    MatchingImage& operator=(const MatchingImage&) = delete;
    virtual ~MatchingImage();

    // Takes the new size; copies the pixels when width * height * channels is positive.
    void Set(const unsigned char* pixels, int width, int height, int channels);
    unsigned char* GetSize(int* width, int* height) const;
    unsigned char* GetBits() const { return pixels_; }

    int GetFirst() const { return first_; }
    int GetSecond() const { return second_; }
    int GetChannels() const { return channels_; }
    int GetBitsPerChannel() const { return bitsPerChannel_; }

private:
    static std::int64_t ByteCount(int width, int height, int channels);

    unsigned char* pixels_ = nullptr;
    int first_ = 0;
    int second_ = 0;
    int width_ = 0;
    int height_ = 0;
    int channels_ = 0;
    int bitsPerChannel_ = 0;
};
