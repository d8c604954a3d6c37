// Helpers of the AVI tests: a temporary folder, synthetic frames, the external checkers (ffprobe and
// ffmpeg) and picture comparison.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace avitest {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivic_avi_XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

private:
    std::string path_;
};

// Runs a shell command; returns its standard output, and its exit status through status.
inline std::string Run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (status)
            *status = -1;
        return out;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status)
        *status = rc;
    return out;
}

inline bool HaveFfmpeg() {
    int status = 0;
    Run("ffprobe -version >/dev/null 2>&1 && ffmpeg -version >/dev/null 2>&1", &status);
    return status == 0;
}

// "key=value" lines of ffprobe's default writer without section wrappers.
inline std::map<std::string, std::string> Probe(const std::string& file, const std::string& stream = "v:0") {
    std::map<std::string, std::string> values;
    const std::string out =
        Run("ffprobe -v error -count_packets -select_streams " + stream +
            " -show_entries stream=codec_name,codec_type,width,height,r_frame_rate,nb_read_packets,"
            "pix_fmt -of default=nw=1 '" +
            file + "' 2>&1");
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

// The flags of every packet of the stream ("K__", "___", ...).
inline std::vector<std::string> PacketFlags(const std::string& file, const std::string& stream = "v:0") {
    std::vector<std::string> flags;
    std::istringstream lines(Run("ffprobe -v error -select_streams " + stream +
                                 " -show_entries packet=flags -of csv=p=0 '" + file + "'"));
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty())
            flags.push_back(line);
    return flags;
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// ffmpeg's decode of every frame as bgr24, rows top-down, frames one after another.
inline std::vector<uint8_t> FfmpegDecode(const std::string& file, const std::string& out,
                                         const std::string& extra = "") {
    int status = 0;
    Run("ffmpeg -v error -y -i '" + file + "' " + extra + " -f rawvideo -pix_fmt bgr24 '" + out + "' 2>&1",
        &status);
    return status == 0 ? ReadFile(out) : std::vector<uint8_t>{};
}

// A test picture: smooth gradients with some texture; the frame number moves it. Packed bottom-up rows.
inline std::vector<uint8_t> MakeFrame(int width, int height, int frame) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<uint8_t>((x * 255) / std::max(1, width - 1));
            p[1] = static_cast<uint8_t>((y * 255) / std::max(1, height - 1));
            const int t = ((x + y) * 4 + frame * 16) % 512;
            p[2] = static_cast<uint8_t>(t < 256 ? t : 511 - t);
            if (((x / 8) + (y / 8) + frame) % 5 == 0)
                p[1] = static_cast<uint8_t>(p[1] ^ 0x18); // some texture for the codecs
        }
    return pixels;
}

// Rows of `stride` bytes holding width * 3 pixel bytes each, copied into packed rows.
inline std::vector<uint8_t> Unpad(const uint8_t* rows, int width, int height, size_t stride) {
    std::vector<uint8_t> out(static_cast<size_t>(width) * 3 * height);
    for (int y = 0; y < height; ++y)
        std::copy_n(rows + stride * y, width * 3, out.begin() + static_cast<ptrdiff_t>(y) * width * 3);
    return out;
}

// Top-down packed rows turned bottom-up (and back).
inline std::vector<uint8_t> FlipRows(const uint8_t* rows, int width, int height) {
    std::vector<uint8_t> out(static_cast<size_t>(width) * 3 * height);
    for (int y = 0; y < height; ++y)
        std::copy_n(rows + static_cast<size_t>(height - 1 - y) * width * 3, width * 3,
                    out.begin() + static_cast<ptrdiff_t>(y) * width * 3);
    return out;
}

inline double Psnr(const uint8_t* a, const uint8_t* b, size_t size) {
    double sum = 0;
    for (size_t i = 0; i < size; ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    if (sum == 0)
        return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(size)));
}

} // namespace avitest
