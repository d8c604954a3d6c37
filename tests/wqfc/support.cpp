#include "support.h"

#include <atomic>
#include <fstream>

namespace wqfc_test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    static const unsigned run = std::random_device{}();
    m_path = std::filesystem::temp_directory_path() /
             ("wqfc_test_" + std::to_string(run) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& text) const {
    const std::string path = File(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string NoParameterFile() {
    return (std::filesystem::temp_directory_path() / "wqfc_test_no_such_folder" / "BREMFC.zop").string();
}

BremIcRecording Recording(int width, int height, DWORD cameraVer) {
    BremIcRecording rec;
    rec.width = width;
    rec.height = height;
    rec.cameraVer = cameraVer;
    rec.recChroma = 5; // chroma 100
    return rec;
}

std::vector<std::uint8_t> Interleave(const std::vector<std::uint8_t>& picture, int w, int h) {
    std::vector<std::uint8_t> raw;
    raw.reserve(picture.size());
    for (int y = 0; y < h; y += 2) {
        if (y + 1 == h) {
            raw.insert(raw.end(), picture.begin() + y * w, picture.begin() + (y + 1) * w);
            break;
        }
        for (int x = 0; x < w; x += 4) {
            const int n = std::min(4, w - x);
            for (int j = 0; j < n; ++j)
                raw.push_back(picture[static_cast<std::size_t>(y * w + x + j)]);
            for (int j = 0; j < n; ++j)
                raw.push_back(picture[static_cast<std::size_t>((y + 1) * w + x + j)]);
        }
    }
    return raw;
}

std::vector<std::uint8_t> RandomFrame(int w, int h, std::mt19937& rng) {
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(w * h));
    // Mostly mid-range with some saturating samples, so curves, clamps and chroma all get work.
    std::uniform_int_distribution<int> value(0, 255);
    std::uniform_int_distribution<int> pick(0, 9);
    for (auto& b : raw)
        b = static_cast<std::uint8_t>(pick(rng) == 0 ? value(rng) : value(rng) / 2);
    return raw;
}

ref::Settings SettingsOf(const BremIc& p) {
    ref::Settings s;
    s.width = p.Width();
    s.height = p.Height();
    s.gamma = p.Gamma();
    s.dbValue = p.DbValue();
    s.wbGain = {p.WBGainR(), p.WBGainG(), p.WBGainB()};
    s.enhanceLevel = p.EnhanceLevel();
    s.chroma = p.Chroma();
    s.brightness = p.Brightness();
    s.contrast = p.Contrast();
    s.lowPass = p.EnableLPF();
    s.posX = p.Bayer().FilterPosX();
    s.posY = p.Bayer().FilterPosY();
    for (int c = 0; c < 3; ++c)
        for (int ph = 0; ph < 4; ++ph)
            for (int pos = 0; pos < 9; ++pos) {
                std::int16_t weight = 0;
                p.Bayer().GetFilter(c, ph, pos, weight);
                s.kernels[c][ph][pos] = weight;
            }
    s.dsp = p.Params();
    return s;
}

const char* PathName(WqFcPath path) {
    switch (path) {
    case WqFcPath::Plain:
        return "plain";
    case WqFcPath::Sse2:
        return "sse2";
    case WqFcPath::Avx2:
        return "avx2";
    default:
        return "auto";
    }
}

} // namespace wqfc_test
