// fuzz_seeds <folder>: writes valid files of every kind that the fuzz targets read, one folder per
// target, with the project's own writers. These are the fuzzers' starting points.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/cm8gen/cm8_writer.h"

#if HAVE_ZOPDAT
#include "ZopDat/JobFile.h"
#include "ZopDat/PointFrame.h"
#include "ZopDat/TrackingJobPar.h"
#endif

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
#if HAVE_ZOPDAT
void TrackingFiles() {
    {
        const std::string dir = Folder("record_file");
        PointFrame table;
        for (int frame : {0, 1, 5}) {
            auto* record = new FrameRecord(frame, 0);
            for (int p = 0; p < 3; ++p) {
                auto* entry = new PointEntry;
                entry->x = 10 * p + frame;
                entry->y = 20 * p;
                record->AddEntry(entry);
            }
            table.PutFrame(frame, record);
        }
        table.Save((dir + "/three_frames.rec").c_str());
        PointFrame empty;
        empty.Save((dir + "/empty.rec").c_str());
    }
    {
        const std::string dir = Folder("job_file");
        WriteText(dir + "/job.txt", "[Tracking]\r\nValue1=1\r\nValue2=2\r\nValue3=3\r\nPoints=2\r\n"
                                    "Point1=1,1,1,3,0.000000,1,10,10,5,5,0,0,0,0\r\n"
                                    "Point2=2,1,1,3,0.500000,1,10,10,5,5,0,0,0,0,2,2,3,0.7,0,5,5,3,3,1,10,1,0\r\n"
                                    "Info1=" + std::string(1021, 'x') + "\\\r\nrest\\\\\r\n");
    }
    {
        const std::string dir = Folder("param_lines");
        WriteText(dir + "/one.txt", "1,1,1,3,0.000000,1,10,10,5,5,0,0,0,0");
        WriteText(dir + "/two.txt", "2,1,4");
        WriteText(dir + "/three.txt", ",5,5");
    }
    {
        const std::string dir = Folder("time_text");
        WriteText(dir + "/a.txt", "00:00:02.234/500\n-00:00:01.5/500");
        WriteText(dir + "/b.txt", "1:2:3.4/1000\n0:0:0.0/1000");
    }
}
#endif
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    g_root = argv[1];
    Recordings();
    Profiles();
#if HAVE_ZOPDAT
    TrackingFiles();
#endif
    return 0;
}
