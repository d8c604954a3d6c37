// fuzz_seeds <folder>: writes valid files of every kind that the fuzz targets read, one folder per
// target, with the project's own writers. These are the fuzzers' starting points.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/cm8gen/cm8_writer.h"

namespace fs = std::filesystem;

namespace {
std::string g_root;

std::string Folder(const char* target) {
    const std::string dir = g_root + "/" + target;
    fs::create_directories(dir);
    return dir;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

void Recordings() {
    const std::string dir = Folder("bremf");
    std::string error;
    cm8::Recording small;
    small.width = 32;
    small.height = 16;
    small.frames = 3;
    small.begin = -1;
    cm8::WriteRecording(dir + "/small.cm8", small, error);
    cm8::Recording old = small;
    old.cameraVer = 100;
    old.dispWidth = 30;
    old.dispHeight = 14;
    old.recWhiteBalance = 2;
    old.recGamma = 3;
    cm8::WriteRecording(dir + "/old_camera.cm8", old, error);
    cm8::Recording cut = small;
    cut.truncate = 512 + 32 * 16 + 100;
    cm8::WriteRecording(dir + "/cut.cm8", cut, error);
    cm8::Recording dump;
    dump.headerless = true;
    dump.width = 512;
    dump.height = 480;
    dump.frames = 1;
    cm8::WriteRecording(dir + "/dump.raw", dump, error);
}

void Profiles() {
    const std::string dir = Folder("profile");
    WriteText(dir + "/program.ini", "[OPTION]\r\nROOT_FOLDER=/tmp\r\n");
    WriteText(dir + "/params.zop", "; gains\n[DbGain]\n0=1\n6 = 2\n12=\"4\"\nD=1\n[Offset]\nR=-3\nG=0\nB=2\n"
                                   "[InputGain]\nR=1\n\n[empty]\n");
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    g_root = argv[1];
    Recordings();
    Profiles();
    return 0;
}
