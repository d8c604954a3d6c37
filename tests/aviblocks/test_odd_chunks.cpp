// Pad bytes behind odd-sized chunks: both walkers of a file's RIFF structure (the AVI file reader of the
// platform and ReadInfoChunks) must step over them. Files come from hand-written RIFF bytes, with odd
// sizes in every place a walker steps through, and from the generator with blocks of every parity and
// no index, so the 'movi' list itself is walked.
#include <gtest/gtest.h>

#include <cstring>

#include "aviblocks/aviblocks_test_util.h"
#include "platform/vfw/vfw.h"
#include "tools/aviblocks/aviblocks_blocks.h"
#include "tools/aviblocks/aviblocks_riff.h"
#include "vomLib/avilib/MjpegInfoChunks.h"

namespace {

// A chunk: id, size, data and the pad byte behind an odd size. Without pad the byte is left out, for the
// last chunk of a list whose size leaves it out: List then writes it behind the list.
std::string Chunk(const char id[4], const std::string& data, bool pad = true) {
    std::string out(id, 4);
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    out += data;
    if (pad && data.size() % 2 != 0) {
        out.push_back('\0');
    }
    return out;
}

std::string List(const char kind[4], const char type[4], const std::string& body, bool pad = true) {
    return Chunk(kind, std::string(type, 4) + body, pad);
}

std::string Bytes(std::size_t size, char first) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        s[i] = static_cast<char>(first + static_cast<char>(i));
    }
    return s;
}

std::string StreamHeader(const char type[4], const char handler[4], std::uint32_t length) {
    std::string h(type, 4);
    h.append(handler, 4);
    for (std::uint32_t v : {0u, 0u, 0u, 1u, 25u, 0u, length, 0u, 0u, 0u}) {
        PutU32(h, v); // flags, priority and language, initial frames, scale, rate, start, length, ...
    }
    PutU32(h, 0); // rcFrame
    PutU32(h, 0);
    return h;
}

// The sample note block made odd or even in size: an entry that the parse carries unchanged is
// lengthened by one character when needed.
std::string NoteBlock(bool odd) {
    auto entries = aviblocks::SampleNoteEntries();
    if ((aviblocks::BuildNoteBlock(entries).size() % 2 != 0) != odd) {
        entries[6].value += "!";
    }
    return aviblocks::BuildNoteBlock(entries);
}

// One setting record whose name item has an odd character count; the head tells the lists apart.
std::string CstBlock(char camera, std::size_t nameLength) {
    std::string name(nameLength, camera);
    name.push_back('\0');
    return aviblocks::BuildCstRecord(std::string(62, camera),
                                     {{1002, 2, static_cast<std::uint32_t>(name.size()), name}});
}

// The 'CSTS' and 'NOTE' chunks as the recording system puts them into 'strd': one behind the other
// without a pad byte; padded, as a writer that treats them as RIFF chunks of their own puts them.
std::string InfoData(const std::string& csts, const std::string& note, bool padded) {
    std::string data = "CSTS";
    PutU32(data, static_cast<std::uint32_t>(csts.size()));
    data += csts;
    if (padded && csts.size() % 2 != 0) {
        data.push_back('\0');
    }
    data += "NOTE";
    PutU32(data, static_cast<std::uint32_t>(note.size()));
    return data + note;
}

struct HandMadeFile {
    std::string bytes;
    std::vector<std::string> frames;
    std::string note;
    std::vector<std::string> csts;   // per stream list
    std::vector<std::string> strd;   // per stream list
    std::vector<std::string> format; // per stream list
    std::vector<std::string> names;  // per stream list
    std::string fileData;
};

// RIFF 'AVI ' of odd size: an odd 'avih'; three stream lists (the first two of odd size, their pad
// behind the list) each with an odd or even format, an odd 'strd', an odd name and an odd 'JUNK'; an
// odd 'JUNK' closing the header list; an odd 'INFO' list, 'JUNK' and data chunk at the top level; odd
// frames and information samples in 'movi', some inside a 'rec ' list. Then an 'AVIX' RIFF with an odd
// 'JUNK' and two odd frames. No index anywhere.
HandMadeFile BuildHandMadeFile() {
    HandMadeFile f;
    f.frames = {Bytes(9, 'a'), Bytes(7, 'b'), Bytes(5, 'c'), Bytes(11, 'd'), Bytes(1, 'e')};
    f.note = NoteBlock(true);
    f.csts = {CstBlock('A', 2), CstBlock('B', 4), CstBlock('C', 6)};
    std::string bitmap;
    for (std::uint32_t v : {40u, 3u, 1u}) {
        PutU32(bitmap, v);
    }
    PutU16(bitmap, 1);
    PutU16(bitmap, 24);
    for (int i = 0; i < 6; ++i) {
        PutU32(bitmap, 0);
    }
    f.format = {bitmap, Bytes(3, 'F'), Bytes(5, 'G')};
    f.names = {"Pictures", "Note", "Camera"}; // with their zero: 9, 5 and 7 bytes
    const char* types[] = {"vids", "NOTE", "CSTS"};
    const char* handlers[] = {"DIB ", "\0\0\0\0", "\0\0\0\0"};
    const std::uint32_t lengths[] = {5, 1, 1};

    std::string header;
    std::string avih;
    for (std::uint32_t v : {40000u, 0u, 0u, 0u, 5u, 0u, 3u, 0u, 3u, 1u, 0u, 0u, 0u, 0u}) {
        PutU32(avih, v); // frames, streams 3, width 3, height 1, no index
    }
    avih.push_back('\x7F'); // 57 bytes
    header += Chunk("avih", avih);
    for (int s = 0; s < 3; ++s) {
        // The last list's blocks stand padded; every 'strd' is made odd (a byte behind the blocks).
        f.strd.push_back(InfoData(f.csts[s], f.note, s == 2));
        if (f.strd.back().size() % 2 == 0) {
            f.strd.back().push_back('\0');
        }
        const bool oddList = s < 2;
        const std::string body = Chunk("strh", StreamHeader(types[s], handlers[s], lengths[s])) +
                                 Chunk("strf", f.format[s]) + Chunk("strd", f.strd[s]) +
                                 Chunk("strn", f.names[s] + std::string(1, '\0')) +
                                 Chunk("JUNK", "j", !oddList);
        header += List("LIST", "strl", body);
    }
    header += Chunk("JUNK", "odd");
    const std::string info = List("LIST", "INFO", Chunk("ISFT", "kivic", false));
    f.fileData = "file data";
    const std::string movi =
        List("LIST", "movi",
             Chunk("00db", f.frames[0]) + Chunk("01dc", f.note) +
                 List("LIST", "rec ", Chunk("00db", f.frames[1]) + Chunk("02dc", f.csts[0], false)) +
                 Chunk("00db", f.frames[2], false),
             false);
    // The first RIFF's size is odd: its last byte is the last frame's; the pad byte lies behind it.
    f.bytes =
        List("RIFF", "AVI ",
             List("LIST", "hdrl", header) + info + Chunk("JUNK", "junk!") + Chunk("fdat", f.fileData) + movi);
    f.bytes += List("RIFF", "AVIX",
                    Chunk("JUNK", "x") +
                        List("LIST", "movi", Chunk("00db", f.frames[3]) + Chunk("00db", f.frames[4])));
    return f;
}

std::string ReadSample(PAVISTREAM stream, LONG position) {
    LONG bytes = 0;
    if (AVIStreamRead(stream, position, 1, nullptr, 0, &bytes, nullptr) != AVIERR_OK) {
        return "(no sample)";
    }
    std::string data(static_cast<std::size_t>(bytes), '\0');
    if (AVIStreamRead(stream, position, 1, data.data(), bytes, &bytes, nullptr) != AVIERR_OK) {
        return "(unreadable)";
    }
    return data;
}

std::string ReadStreamData(PAVISTREAM stream, DWORD ckid) {
    LONG size = 0;
    if (AVIStreamReadData(stream, ckid, nullptr, &size) != AVIERR_OK) {
        return "(missing)";
    }
    std::string data(static_cast<std::size_t>(size), '\0');
    return AVIStreamReadData(stream, ckid, data.data(), &size) == AVIERR_OK ? data : "(unreadable)";
}

class OddChunks : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes) {
        const std::string path = temp.Path("odd.avi").string();
        WriteFileBytes(path, bytes);
        return path;
    }

    TempFolder temp;
    MessageBoxRecorder boxes;
    DebugRecorder debug;
};

} // namespace

TEST_F(OddChunks, FileReaderStepsOverEveryPadByte) {
    const HandMadeFile f = BuildHandMadeFile();
    ASSERT_EQ(f.bytes.size() % 2, 0u);
    const std::string path = Write(f.bytes);

    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    AVIFILEINFOA fileInfo{};
    ASSERT_EQ(AVIFileInfoA(file, &fileInfo, sizeof fileInfo), AVIERR_OK);
    EXPECT_EQ(fileInfo.dwStreams, 3u);
    LONG size = 0;
    ASSERT_EQ(AVIFileReadData(file, mmioFOURCC('f', 'd', 'a', 't'), nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, static_cast<LONG>(f.fileData.size()));

    const LONG samples[] = {5, 1, 1};
    for (int s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        PAVISTREAM stream = nullptr;
        ASSERT_EQ(AVIFileGetStream(file, &stream, 0, s), AVIERR_OK);
        AVISTREAMINFOA info{};
        ASSERT_EQ(AVIStreamInfoA(stream, &info, sizeof info), AVIERR_OK);
        EXPECT_STREQ(info.szName, f.names[s].c_str());
        LONG formatSize = 0;
        ASSERT_EQ(AVIStreamReadFormat(stream, 0, nullptr, &formatSize), AVIERR_OK);
        EXPECT_EQ(formatSize, static_cast<LONG>(f.format[s].size()));
        EXPECT_EQ(ReadStreamData(stream, mmioFOURCC('s', 't', 'r', 'd')), f.strd[s]);
        EXPECT_EQ(AVIStreamLength(stream), samples[s]);
        AVIStreamRelease(stream);
    }

    PAVISTREAM video = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &video, streamtypeVIDEO, 0), AVIERR_OK);
    for (LONG i = 0; i < 5; ++i) {
        EXPECT_EQ(ReadSample(video, i), f.frames[static_cast<std::size_t>(i)]) << "frame " << i;
    }
    AVIStreamRelease(video);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, mmioFOURCC('N', 'O', 'T', 'E'), 0), AVIERR_OK);
    EXPECT_EQ(ReadSample(stream, 0), f.note);
    AVIStreamRelease(stream);
    ASSERT_EQ(AVIFileGetStream(file, &stream, mmioFOURCC('C', 'S', 'T', 'S'), 0), AVIERR_OK);
    EXPECT_EQ(ReadSample(stream, 0), f.csts[0]);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

TEST_F(OddChunks, InfoChunkWalkStepsOverEveryPadByte) {
    const HandMadeFile f = BuildHandMadeFile();
    std::vector<std::string> csts;
    std::vector<NOTES> notes;
    ASSERT_EQ(ReadInfoChunks(Write(f.bytes).c_str(), csts, notes), 0) << debug.Text();
    ASSERT_EQ(csts.size(), 3u);
    ASSERT_EQ(notes.size(), 3u);
    for (std::size_t s = 0; s < 3; ++s) {
        EXPECT_EQ(csts[s], f.csts[s]) << s;
        EXPECT_EQ(notes[s].RawBlock(), f.note) << s;
        EXPECT_EQ(notes[s].Title(), "Sled test 042") << s;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Generated files without an index, the blocks of each parity: odd video samples, odd information
// samples in 'movi', an odd 'strd' whenever exactly one block is odd.
class OddGeneratedBlocks : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(OddGeneratedBlocks, BothWalkersReadEveryBlockAndFrame) {
    const auto [oddCsts, oddNote] = GetParam();
    aviblocks::AviDescription desc;
    desc.index = false;
    desc.samples = {Bytes(9, 'p'), Bytes(6, 'q'), Bytes(13, 'r'), Bytes(1, 's')};
    desc.cstsBlock = CstBlock('K', oddCsts ? 2 : 3);
    desc.noteBlock = NoteBlock(oddNote);
    ASSERT_EQ(desc.cstsBlock.size() % 2 != 0, oddCsts);
    ASSERT_EQ(desc.noteBlock.size() % 2 != 0, oddNote);
    TempFolder temp;
    aviblocks::AviLayout layout;
    const std::string path = temp.Path("generated.avi").string();
    ASSERT_TRUE(aviblocks::WriteAviFile(path, desc, &layout));
    ASSERT_EQ(layout.index, 0u);

    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    ASSERT_EQ(AVIStreamLength(stream), 4);
    for (LONG i = 0; i < 4; ++i) {
        EXPECT_EQ(ReadSample(stream, i), desc.samples[static_cast<std::size_t>(i)]) << "frame " << i;
    }
    EXPECT_EQ(ReadStreamData(stream, mmioFOURCC('s', 't', 'r', 'd')),
              InfoData(desc.cstsBlock, desc.noteBlock, false));
    AVIStreamRelease(stream);
    ASSERT_EQ(AVIFileGetStream(file, &stream, mmioFOURCC('N', 'O', 'T', 'E'), 0), AVIERR_OK);
    EXPECT_EQ(ReadSample(stream, 0), desc.noteBlock);
    AVIStreamRelease(stream);
    ASSERT_EQ(AVIFileGetStream(file, &stream, mmioFOURCC('C', 'S', 'T', 'S'), 0), AVIERR_OK);
    EXPECT_EQ(ReadSample(stream, 0), desc.cstsBlock);
    AVIStreamRelease(stream);
    AVIFileRelease(file);

    std::vector<std::string> csts;
    std::vector<NOTES> notes;
    DebugRecorder debug;
    ASSERT_EQ(ReadInfoChunks(path.c_str(), csts, notes), 0) << debug.Text();
    ASSERT_EQ(csts.size(), 3u);
    ASSERT_EQ(notes.size(), 3u);
    for (std::size_t s = 0; s < 3; ++s) {
        EXPECT_EQ(csts[s], desc.cstsBlock) << s;
        EXPECT_EQ(notes[s].RawBlock(), desc.noteBlock) << s;
    }
}

INSTANTIATE_TEST_SUITE_P(Parities, OddGeneratedBlocks,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()), [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "OddCsts" : "EvenCsts") +
                                    (std::get<1>(info.param) ? "OddNote" : "EvenNote");
                         });
