// Header values, sizes and frame selection through the server's properties.
#include "brem_fc_fixture.h"

#include <cstring>

#include "fc/BREM_FC/BREMF.h"
#include "fc/WqFc/BremIc.h"

TEST_F(BremFcTest, HeaderPropertiesWithSignExtensionAndByteOrder) {
    cm8::Recording rec;
    rec.width = 640;
    rec.height = 480;
    rec.dispWidth = 600;
    rec.dispHeight = 400;
    rec.frames = 3;
    rec.begin = -1;
    rec.rate = 250;
    rec.shutter = 4000;
    rec.memorySize = -5;
    rec.recGain = -3;
    rec.cameraType = {0x41, 0x42, 0x43, 0x44};
    rec.cameraVer = 130;
    rec.cameraSN = 123456;
    rec.cameraId = 7;
    rec.segment = 2;
    rec.zoom = 3;
    rec.videoType = 4;
    rec.scene = 9;
    rec.fileVer = 5;
    rec.triggerTime = "261208194500123";
    Open(Write(rec));

    EXPECT_EQ(GetI4(BREMFC_BITMAPSIZE), 600 * 400 * 3 + 40);
    EXPECT_EQ(GetI4(BREMFC_FRAMEPIXELS), 640 * 65536 + 480);
    EXPECT_EQ(GetI4(BREMFC_DISPPIXELS), 600 * 65536 + 400);
    EXPECT_EQ(GetI4(BREMFC_FRAMELENGTH), 640 * 480);
    EXPECT_EQ(GetI4(BREMFC_MEMORYSIZE), -5);
    EXPECT_EQ(GetI2(BREMFC_RECGAIN), -3);
    EXPECT_EQ(GetI4(BREMFC_CAMERATYPE), 0x44434241);
    EXPECT_EQ(GetI4(BREMFC_CAMERAVER), 130);
    EXPECT_EQ(GetI4(BREMFC_CAMERASN), 123456);
    EXPECT_EQ(GetI2(BREMFC_CAMERAID), 7);
    EXPECT_EQ(GetI2(BREMFC_SEGMENTNO), 2);
    EXPECT_EQ(GetI2(BREMFC_ZOOM), 3);
    EXPECT_EQ(GetI2(BREMFC_VIDEOTYPE), 4);
    EXPECT_EQ(GetI2(BREMFC_SCENENO), 9);
    EXPECT_EQ(GetI4(BREMFC_FILEVER), 5);
    EXPECT_EQ(GetI4(BREMFC_FRAMERATE), 250);
    EXPECT_EQ(GetI4(BREMFC_NUMFRAMES), 3);
    EXPECT_EQ(GetI4(BREMFC_RECORDEDBEGIN), -1);
    EXPECT_EQ(GetI4(BREMFC_RECORDEDEND), 1);
    EXPECT_EQ(GetI4(BREMFC_IMAGELENGTH), 3 * 640 * 480);
    EXPECT_EQ(GetI4(BREMFC_FILELENGTH), 512 + 3 * 640 * 480);
    EXPECT_EQ(GetI4(BREMFC_SHUTTERSPEED), 0); // 4000 at 250 frames per second
    CString trigger;
    m_server.GetProperty(BREMFC_TRIGGERTIME, VT_BSTR, &trigger);
    EXPECT_STREQ(static_cast<LPCTSTR>(trigger), "2026.12.08 19:45:00.123");
    // Header values are read only.
    EXPECT_NE(Failure([&] { PutI4(BREMFC_FRAMERATE, 1); }), "(no failure)");
}

TEST_F(BremFcTest, BitmapSizeOfFullFrameAndShutterSpeed) {
    cm8::Recording rec;
    rec.frames = 1;
    rec.rate = 100;
    rec.shutter = 4000;
    Open(Write(rec));
    EXPECT_EQ(GetI4(BREMFC_BITMAPSIZE), 737320);
    EXPECT_EQ(GetI4(BREMFC_SHUTTERSPEED), 4000);
}

TEST_F(BremFcTest, CurrentFrameClampsAndConvertsThatFrameLikeThePipeline) {
    cm8::Recording rec;
    rec.width = 64;
    rec.height = 48;
    rec.begin = -100;
    rec.frames = 300;
    const std::string path = Write(rec);
    Open(path);
    EXPECT_EQ(GetI4(BREMFC_CURRENTFRAME), 0);
    PutI4(BREMFC_CURRENTFRAME, 500);
    EXPECT_EQ(GetI4(BREMFC_CURRENTFRAME), 199);
    const std::vector<BYTE> served = Convert();

    BREMF reader(path.c_str(), 1);
    BremIc pipeline(&reader);
    reader.ReadFrame(199);
    pipeline.Unpack();
    std::vector<BYTE> expected(pipeline.BitmapSize());
    pipeline.ConvertBitmap(expected.data());
    EXPECT_EQ(served, expected);
    BITMAPINFOHEADER header;
    std::memcpy(&header, served.data(), sizeof header);
    EXPECT_EQ(header.biWidth, 64);
    EXPECT_EQ(header.biHeight, 48);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biSizeImage, 0u);

    PutI4(BREMFC_CURRENTFRAME, -200);
    EXPECT_EQ(GetI4(BREMFC_CURRENTFRAME), -100);
    EXPECT_NE(Convert(), served);
}
