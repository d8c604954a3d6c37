// The pipeline on a recording read from disk: settings from the header, frames from the reader.
#include <gtest/gtest.h>

#include "fc/BREM_FC/BREMF.h"
#include "support.h"
#include "tools/cm8gen/cm8_writer.h"

using namespace wqfc_test;

TEST(WqFcReader, PipelineTakesSizeSettingsAndFramesFromTheRecording) {
    TempDir dir;
    cm8::Recording rec;
    rec.width = 64;
    rec.height = 32;
    rec.frames = 3;
    rec.cameraVer = 110;
    rec.recGamma = 2;
    rec.recEnhance = 3;
    rec.recChroma = 4;
    rec.recWhiteBalance = 3;
    const std::string path = dir.File("sample.cm8");
    std::string error;
    ASSERT_TRUE(cm8::WriteRecording(path, rec, error)) << error;
    setenv("KIVIC_BREMFC_PARAM", dir.File("BREMFC.zop").c_str(), 1);

    BREMF reader(path.c_str(), 1);
    BremIc p(&reader);
    unsetenv("KIVIC_BREMFC_PARAM");
    EXPECT_EQ(p.Width(), 64);
    EXPECT_EQ(p.Height(), 32);
    EXPECT_EQ(p.Gamma(), 2);
    EXPECT_EQ(p.EnhanceLevel(), 2);
    EXPECT_EQ(p.Chroma(), 75);
    EXPECT_EQ(p.WhiteBalance(), 3);
    EXPECT_EQ(p.WBGainR(), 193);
    EXPECT_EQ(p.Bayer().FilterPosX(), 1);

    // The copy is taken before the reader moves on; it converts the bytes it is handed.
    BremIc copy = p;
    std::vector<std::uint8_t> fromReader(p.BitmapSize()), fromBytes(64 * 32 * 3);
    const BYTE* frame = reader.ReadFrame(2);
    const std::vector<std::uint8_t> raw(frame, frame + 64 * 32);
    p.Unpack();
    p.ConvertBitmap(fromReader.data());
    copy.Convert(raw.data(), fromBytes.data());
    EXPECT_TRUE(std::equal(fromBytes.begin(), fromBytes.end(), fromReader.begin() + 40));
    EXPECT_EQ(fromBytes, ref::Convert(raw.data(), SettingsOf(p)));
}
