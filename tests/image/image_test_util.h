// Helpers of the image tests: a temporary folder, files, the checking tools and pixel read-back.
#pragma once

#include <string>
#include <vector>

#include "vomLib/Image/BmpImgObject.h"

namespace imagetest {

using Bytes = std::vector<BYTE>;

// A fresh folder under the temp folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

Bytes ReadAll(const std::string& path);
void WriteAll(const std::string& path, const Bytes& bytes);
bool Exists(const std::string& path);

// Runs a shell command; returns its standard output (and error, when merged) and exit status.
std::string Shell(const std::string& command, int* status = nullptr, bool mergeErrors = false);
bool HaveTool(const char* name);

// The pixels of an image file as top-down RGB bytes, read by ImageMagick.
Bytes MagickRgb(const std::string& path);
// A binary PPM of top-down RGB pixels.
void WritePpm(const std::string& path, int width, int height, const Bytes& rgb);
// A test picture: width x height top-down RGB pixels with the given number of distinct colours.
Bytes Pattern(int width, int height, int colours);

// An image object written as a .bmp file: headers, its palette (up to 8 bits) and its rows padded.
void WriteBmp(const std::string& path, const BmpImgObject& image);
// The pixels of a device bitmap as top-down RGB bytes.
Bytes BitmapRgb(HBITMAP bitmap);

} // namespace imagetest
