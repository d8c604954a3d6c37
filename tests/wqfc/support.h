// Helpers of the colour pipeline tests: temporary parameter files, frames, and the reference's view
// of a pipeline's settings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fc/WqFc/BremIc.h"
#include "fc/WqFc/WqFcPath.h"
#include "reference.h"

namespace wqfc_test {

// A folder under the temp folder, removed with its contents at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    // Writes text to a file of this folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path m_path;
};

// A parameter file path that does not exist: every key takes its default.
std::string NoParameterFile();

BremIcRecording Recording(int width, int height, DWORD cameraVer = 200);

// A raw frame in the camera's row-pair interleave holding the given picture (row-major, w x h).
std::vector<std::uint8_t> Interleave(const std::vector<std::uint8_t>& picture, int w, int h);
std::vector<std::uint8_t> RandomFrame(int w, int h, std::mt19937& rng);

// The reference's settings for what a pipeline holds now.
ref::Settings SettingsOf(const BremIc& pipeline);

// Runs a piece of code with a path forced, restoring the normal choice after.
class ForcedPath {
public:
    explicit ForcedPath(WqFcPath path) { WqFcForcePath(path); }
    ~ForcedPath() { WqFcForcePath(WqFcPath::Auto); }
};

const char* PathName(WqFcPath path);

} // namespace wqfc_test
