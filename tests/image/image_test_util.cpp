#include "image_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/gdi/gdiqt.h"

namespace imagetest {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/kivic_image_XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::string Shell(const std::string& command, int* status, bool mergeErrors) {
    const std::string full = command + (mergeErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(full.c_str(), "r");
    std::string output;
    if (!pipe) {
        if (status)
            *status = -1;
        return output;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output.append(buffer, n);
    const int rc = pclose(pipe);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return output;
}

bool HaveTool(const char* name) {
    int status = 0;
    Shell(std::string("command -v ") + name, &status);
    return status == 0;
}

Bytes MagickRgb(const std::string& path) {
    const std::string out = Shell("convert '" + path + "' -alpha off -depth 8 rgb:-");
    return Bytes(out.begin(), out.end());
}

void WritePpm(const std::string& path, int width, int height, const Bytes& rgb) {
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes file(header.begin(), header.end());
    file.insert(file.end(), rgb.begin(), rgb.end());
    WriteAll(path, file);
}

Bytes Pattern(int width, int height, int colours) {
    static const BYTE table[16][3] = {{0, 0, 0},       {255, 255, 255}, {200, 30, 40},   {20, 180, 60},
                                      {30, 40, 220},   {250, 230, 20},  {10, 200, 210},  {190, 20, 180},
                                      {128, 128, 128}, {90, 60, 30},    {255, 128, 0},   {0, 90, 40},
                                      {60, 0, 120},    {240, 170, 170}, {150, 240, 150}, {40, 40, 40}};
    Bytes rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (colours <= 16) {
                const BYTE* c = table[(x + 3 * y) % colours];
                rgb.insert(rgb.end(), c, c + 3);
            } else {
                rgb.push_back(static_cast<BYTE>(x * 37 + y));
                rgb.push_back(static_cast<BYTE>(y * 53 + 7));
                rgb.push_back(static_cast<BYTE>((x * y * 11) ^ 0x5A));
            }
        }
    return rgb;
}

void WriteBmp(const std::string& path, const BmpImgObject& image) {
    const WORD bits = image.GetBitsPerPixel();
    const DWORD colours = bits <= 8 ? 1u << bits : 0;
    const std::uint64_t rows = IMGObject::Rows(image.GetHeight());
    const std::uint64_t packed = image.RowBytes();
    const std::uint64_t padded = DibRowBytes(image.GetWidth(), bits);
    const DWORD offset = 54 + colours * 4;
    Bytes file(offset + padded * rows, 0);
    BITMAPFILEHEADER fh{MAKEWORD('B', 'M'), static_cast<DWORD>(file.size()), 0, 0, offset};
    BITMAPINFOHEADER ih{40,
                        static_cast<LONG>(image.GetWidth()),
                        image.GetHeight(),
                        1,
                        bits,
                        BI_RGB,
                        static_cast<DWORD>(padded * rows),
                        2835,
                        2835,
                        colours,
                        0};
    std::memcpy(file.data(), &fh, sizeof(fh));
    std::memcpy(file.data() + 14, &ih, sizeof(ih));
    if (colours && image.GetPalette())
        std::memcpy(file.data() + 54, image.GetPalette(), colours * 4);
    for (std::uint64_t r = 0; r < rows; ++r)
        std::memcpy(file.data() + offset + r * padded, image.GetData() + r * packed, packed);
    WriteAll(path, file);
}

Bytes BitmapRgb(HBITMAP bitmap) {
    const QImage* image = GetBitmapImage(bitmap);
    Bytes rgb;
    if (!image)
        return rgb;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x) {
            const QRgb p = image->pixel(x, y);
            rgb.push_back(static_cast<BYTE>(qRed(p)));
            rgb.push_back(static_cast<BYTE>(qGreen(p)));
            rgb.push_back(static_cast<BYTE>(qBlue(p)));
        }
    return rgb;
}

} // namespace imagetest
