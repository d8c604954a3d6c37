// fuzz_seeds <folder>: writes valid files of every kind that the fuzz targets read, one folder per
// target, with the project's own writers. These are the fuzzers' starting points.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tools/cm8gen/cm8_writer.h"

#if HAVE_VOM_IMAGE
#include "vomLib/Image/BmpImgObject.h"
#include "vomLib/Image/TiffFile.h"
#endif
#if HAVE_VOM_AVILIB
#include "vomLib/avilib/MjpgCodec.h"
#include "vomLib/avilib/Notes.h"
#endif
#if HAVE_AVIBLOCKS_LIB
#include "tools/aviblocks/aviblocks_blocks.h"
#include "tools/aviblocks/aviblocks_frames.h"
#include "tools/aviblocks/aviblocks_riff.h"
#endif
#if HAVE_VOM_JPEG
#include "vomLib/Jpeg/jpglib32.h"
#endif
#include "platform/vfw/vfw.h"
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
// A picture of ramps, so neighbouring pixels differ a little, as in real images.
std::vector<std::uint8_t> Ramp(std::size_t bytes) {
    std::vector<std::uint8_t> pixels(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 7 + i / 13);
    return pixels;
}

#if HAVE_VOM_IMAGE
void TiffImages() {
    const std::string dir = Folder("tiff");
    struct Kind {
        const char* name;
        DWORD width, height;
        WORD samples, bits;
    };
    const Kind kinds[] = {{"grey8", 7, 5, 1, 8},   {"rgb24", 6, 4, 3, 24},  {"rgb48", 3, 3, 3, 48},
                          {"grey16", 5, 2, 1, 16}, {"rgba32", 4, 2, 4, 32}, {"grey32", 2, 2, 1, 32}};
    for (const Kind& k : kinds) {
        const std::vector<std::uint8_t> pixels = Ramp(std::size_t{k.width} * k.height * k.bits / 8);
        TiffFile file;
        if (file.SetImage(k.width, k.height, k.samples, k.bits, pixels.data()))
            file.SaveFile((dir + "/" + k.name + ".tif").c_str());
    }
}

// A .bmp file of an image object: headers, the object's palette, then its rows padded to 4 bytes.
void WriteBmp(const std::string& path, const BmpImgObject& image) {
    const WORD bits = image.GetBitsPerPixel();
    const DWORD colours = bits <= 8 && image.GetPalette() ? 1u << bits : 0;
    const std::uint64_t rows = IMGObject::Rows(image.GetHeight());
    const std::uint64_t packed = image.RowBytes();
    const std::uint64_t padded = DibRowBytes(image.GetWidth(), bits);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + colours * 4;
    std::vector<std::uint8_t> file(offset + padded * rows, 0);
    const BITMAPFILEHEADER fh{MAKEWORD('B', 'M'), static_cast<DWORD>(file.size()), 0, 0, offset};
    const BITMAPINFOHEADER ih{sizeof(BITMAPINFOHEADER),
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
    std::memcpy(file.data(), &fh, sizeof fh);
    std::memcpy(file.data() + sizeof fh, &ih, sizeof ih);
    if (colours)
        std::memcpy(file.data() + sizeof fh + sizeof ih, image.GetPalette(), colours * 4);
    for (std::uint64_t r = 0; r < rows; ++r)
        std::memcpy(file.data() + offset + r * padded, image.GetData() + r * packed, packed);
    WriteText(path, std::string(file.begin(), file.end()));
}

void BmpImages() {
    const std::string dir = Folder("bmp");
    struct Kind {
        const char* name;
        DWORD width;
        int height;
        WORD samples, bits;
    };
    const Kind kinds[] = {{"grey8", 5, 3, 1, 8},   {"bgr24", 5, 3, 3, 24}, {"top_down24", 3, -2, 3, 24},
                          {"bgra32", 2, 2, 4, 32}, {"mono1", 13, 2, 1, 1}, {"four4", 5, 2, 1, 4},
                          {"word16", 3, 2, 1, 16}};
    for (const Kind& k : kinds) {
        const std::vector<std::uint8_t> pixels =
            Ramp(IMGObject::PackedRowBytes(k.width, k.bits) * IMGObject::Rows(k.height));
        BmpImgObject image;
        if (!image.SetImage(k.width, k.height, k.samples, k.bits, pixels.data()))
            continue;
        if (k.bits <= 8)
            image.MakeGreyPalette();
        WriteBmp(dir + "/" + k.name + ".bmp", image);
    }
}
#endif

#if HAVE_VOM_AVILIB
void NoteBlocks() {
    const std::string dir = Folder("notes");
    NOTES empty;
    empty.Reset(NOTES::kEntryCount);
    WriteText(dir + "/empty.note", empty.Build());
    NOTES full;
    full.Reset(NOTES::kEntryCount);
    full.SetCode(12);
    full.SetListSelection(2);
    full.SetTitle("run 7");
    full.SetCommentLine(1, "left wing");
    full.SetCommentLine(10, "last line");
    full.SetDate(2024, 2, 29, 23, 59);
    full.SetFlag(0);
    full.SetEntry(1, "Operator", "T.YAMADA");
    WriteText(dir + "/full.note", full.Build());
#if HAVE_AVIBLOCKS_LIB
    WriteText(dir + "/sample.note", aviblocks::BuildNoteBlock(aviblocks::SampleNoteEntries()));
#endif
}
#endif

#if HAVE_AVIBLOCKS_LIB
// The first byte is the number of records the caller expects.
void CstBlocks() {
    const std::string dir = Folder("cst");
    for (int records : {1, 2, 5})
        WriteText(dir + "/records" + std::to_string(records) + ".csts",
                  std::string(1, static_cast<char>(records)) + aviblocks::SampleCstBlock(records));
}

// Recording-system AVI files: the generator's variants, for every reader of AVI files.
void RecordingAvis(const std::vector<std::string>& targets) {
    struct Variant {
        const char* name;
        void (*change)(aviblocks::AviDescription&);
    };
    const Variant variants[] = {
        {"restart_split", [](aviblocks::AviDescription&) {}},
        {"two_images", [](aviblocks::AviDescription& s) { s.form = aviblocks::FieldForm::TwoImages; }},
        {"no_index", [](aviblocks::AviDescription& s) { s.index = false; }},
        {"no_info_streams",
         [](aviblocks::AviDescription& s) {
             s.noteStream = false;
             s.cstsStream = false;
         }},
        {"empty_info_streams", [](aviblocks::AviDescription& s) { s.emptyInfoStreams = true; }},
        {"no_info_chunks", [](aviblocks::AviDescription& s) { s.infoChunks = false; }},
    };
    for (const Variant& v : variants) {
        aviblocks::AviDescription desc;
        desc.width = 32;
        desc.height = 16;
        desc.frames = 2;
        desc.quality = 50;
        v.change(desc);
        std::string bytes;
        try {
            bytes = aviblocks::BuildAvi(desc);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "fuzz_seeds: %s: %s\n", v.name, e.what());
            continue;
        }
        for (const std::string& target : targets)
            WriteText(Folder(target.c_str()) + "/" + v.name + ".avi", bytes);
    }
}

// Single JPEG images and two-field frames as the recording system writes them. The jpeg target
// takes a first byte of options (inverse DCT, row layout); the frame sources take the frame alone.
void RecordingJpegs() {
    const int width = 24, height = 16;
    const std::vector<std::uint8_t> picture = aviblocks::MakeTestPicture(1, width, height);
    std::vector<std::pair<std::string, std::string>> frames;
    try {
        frames.emplace_back("single", aviblocks::EncodeJpeg(picture.data(), width, height, 3 * width, 60));
        frames.emplace_back(
            "restart_split",
            aviblocks::EncodeTwoFieldFrame(picture, width, height, 60, aviblocks::FieldForm::RestartSplit));
        frames.emplace_back("two_images", aviblocks::EncodeTwoFieldFrame(picture, width, height, 60,
                                                                         aviblocks::FieldForm::TwoImages));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_seeds: jpeg: %s\n", e.what());
    }
    for (const auto& [name, bytes] : frames) {
        WriteText(Folder("jpeg") + "/" + name + ".jpg", std::string(1, '\0') + bytes);
        WriteText(Folder("jpeg") + "/" + name + "_fast_packed.jpg", std::string(1, '\5') + bytes);
        WriteText(Folder("movie_jpeg") + "/" + name + ".jpg", bytes);
    }
}
#endif

#if HAVE_VOM_JPEG
// JPEG streams of the project's codec: one image and two fields, of 24-bit bottom-up rows.
void CodecJpegs() {
    const int width = 20, height = 12;
    const std::vector<std::uint8_t> pixels = Ramp(jpg_row_stride(width, 3, JpgRows::Padded4) * height);
    for (int fields : {1, 2}) {
        BYTE* block = nullptr;
        long length = 0;
        const int result = fields == 1 ? jpg_compress_rgb(pixels.data(), width, height, JpgRows::Padded4,
                                                          &block, &length, 80, JPG_DCT_ACCURATE)
                                       : jpg_compress_fields(pixels.data(), width, height, JpgRows::Padded4,
                                                             &block, &length, 80, JPG_DCT_ACCURATE, 0);
        if (result == JPG_OK && block) {
            const std::string bytes(reinterpret_cast<const char*>(block), static_cast<std::size_t>(length));
            const std::string name = fields == 1 ? "/codec_single" : "/codec_fields";
            WriteText(Folder("jpeg") + name + ".jpg", std::string(1, '\2') + bytes);
            WriteText(Folder("movie_jpeg") + name + ".jpg", bytes);
        }
        if (block)
            GlobalFree(block);
    }
}
#endif

// AVI files of the platform's writer: uncompressed 24-bit and 8-bit frames, and frames through each
// compressor ('MJPG', 'msvc'), with a stream data chunk.
bool WriteVfwAvi(const std::string& path, DWORD handler, WORD bits) {
    const int width = 16, height = 8, frames = 2;
    std::vector<BYTE> format(sizeof(BITMAPINFOHEADER) + (bits == 8 ? 256 * 4 : 0));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(format.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = bits;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(DibRowBytes(width, bits) * height);
    for (int i = 0; bits == 8 && i < 256; ++i)
        for (int k = 0; k < 3; ++k)
            format[sizeof(BITMAPINFOHEADER) + 4 * i + k] = static_cast<BYTE>(i);
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr) != AVIERR_OK)
        return false;
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 25;
    PAVISTREAM source = nullptr, stream = nullptr;
    bool ok = AVIFileCreateStreamA(file, &source, &info) == AVIERR_OK;
    if (ok && handler) {
        AVICOMPRESSOPTIONS options{streamtypeVIDEO, handler, 0,       7500, 0, AVICOMPRESSF_VALID,
                                   nullptr,         0,       nullptr, 0,    0};
        ok = AVIMakeCompressedStream(&stream, source, &options, nullptr) == AVIERR_OK;
    } else if (ok) {
        stream = source;
        AVIStreamAddRef(stream);
    }
    ok = ok && AVIStreamSetFormat(stream, 0, format.data(), static_cast<LONG>(format.size())) == AVIERR_OK;
    char note[] = "seed";
    ok = ok && AVIStreamWriteData(source, mmioFOURCC('t', 'x', 't', 's'), note, sizeof note) == AVIERR_OK;
    for (int i = 0; ok && i < frames; ++i) {
        std::vector<std::uint8_t> pixels = Ramp(header->biSizeImage);
        pixels[0] = static_cast<std::uint8_t>(i);
        ok = AVIStreamWrite(stream, i, 1, pixels.data(), static_cast<LONG>(pixels.size()), AVIIF_KEYFRAME,
                            nullptr, nullptr) == AVIERR_OK;
    }
    AVIStreamRelease(stream);
    AVIStreamRelease(source);
    AVIFileRelease(file);
    return ok;
}

void VfwAvis(const std::vector<std::string>& targets) {
    struct Kind {
        const char* name;
        DWORD handler;
        WORD bits;
    };
    const Kind kinds[] = {{"dib24", 0, 24},
                          {"dib8", 0, 8},
                          {"mjpg", mmioFOURCC('M', 'J', 'P', 'G'), 24},
                          {"msvc8", mmioFOURCC('m', 's', 'v', 'c'), 8},
                          {"msvc16", mmioFOURCC('m', 's', 'v', 'c'), 24}};
    const std::string temp = g_root + "/writer.avi";
    for (const Kind& k : kinds) {
        if (!WriteVfwAvi(temp, k.handler, k.bits)) {
            std::fprintf(stderr, "fuzz_seeds: AVI writer refused %s\n", k.name);
            continue;
        }
        for (const std::string& target : targets)
            fs::copy_file(temp, Folder(target.c_str()) + "/writer_" + k.name + ".avi",
                          fs::copy_options::overwrite_existing);
    }
    fs::remove(temp);
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
        WriteText(dir + "/job.txt",
                  "[Tracking]\r\nValue1=1\r\nValue2=2\r\nValue3=3\r\nPoints=2\r\n"
                  "Point1=1,1,1,3,0.000000,1,10,10,5,5,0,0,0,0\r\n"
                  "Point2=2,1,1,3,0.500000,1,10,10,5,5,0,0,0,0,2,2,3,0.7,0,5,5,3,3,1,10,1,0\r\n"
                  "Info1=" +
                      std::string(1021, 'x') + "\\\r\nrest\\\\\r\n");
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
#if HAVE_VOM_IMAGE
    TiffImages();
    BmpImages();
#endif
#if HAVE_VOM_AVILIB
    NoteBlocks();
#endif
#if HAVE_AVIBLOCKS_LIB
    CstBlocks();
    RecordingAvis({"info_chunks", "avifile", "movie_jpeg"});
    RecordingJpegs();
#endif
#if HAVE_VOM_JPEG
    CodecJpegs();
#endif
#if HAVE_VOM_AVILIB
    InstallMjpgCodec(); // the programs that write Motion-JPEG files install it the same way
#endif
    VfwAvis({"avifile", "movie_jpeg", "info_chunks"});
    return 0;
}
