// The pipeline's settings record as the server hands it out, and pictures the program converts from
// it with a reader and a pipeline of its own: byte for byte the server's, whatever was tuned.
#include "brem_fc_fixture.h"

#include <functional>

#include "fc/WqFc/FrameConverter.h"
#include "fc/WqFc/PipelineSettings.h"

namespace {

class BremFcRecordTest : public BremFcTest {
protected:
    void SetUp() override {
        BremFcTest::SetUp();
        cm8::Recording rec;
        rec.width = 50; // rows of 150 bytes: not a multiple of 4
        rec.height = 36;
        rec.frames = 7;
        rec.begin = -3;
        m_path = Write(rec);
        Open(m_path);
    }

    // As the program's wrapper asks: the size first, then the bytes.
    std::vector<BYTE> Record() {
        static const BYTE params[] = VTS_BUFFER;
        LONG size = 0;
        m_server.InvokeHelper(BREMFC_CLONEPIPELINE, DISPATCH_METHOD, VT_I4, &size, params,
                              static_cast<void*>(nullptr), size_t{0});
        std::vector<BYTE> record(static_cast<std::size_t>(size));
        LONG written = 0;
        m_server.InvokeHelper(BREMFC_CLONEPIPELINE, DISPATCH_METHOD, VT_I4, &written, params,
                              static_cast<void*>(record.data()), record.size());
        EXPECT_EQ(written, size);
        return record;
    }

    std::vector<BYTE> ProgramFrame(const std::vector<BYTE>& record, long frame) {
        FrameConverter converter;
        std::string error;
        EXPECT_TRUE(converter.Open(m_path, record.data(), record.size(), &error)) << error;
        std::vector<BYTE> bitmap(converter.BitmapSize());
        EXPECT_TRUE(converter.Convert(frame, bitmap.data(), bitmap.size(), &error)) << error;
        return bitmap;
    }

    std::vector<BYTE> ServerFrame(long frame) {
        PutI4(BREMFC_CURRENTFRAME, frame);
        return Convert();
    }

    void SetBayerFilter(int colour, int phase, int pos, int weight) {
        static const BYTE params[] = VTS_I4 VTS_I4 VTS_I4 VTS_I4;
        m_server.InvokeHelper(BREMFC_SETBAYERFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, params, colour,
                              phase, pos, weight);
    }
    void SetSamplePoint(SHORT x, SHORT y) {
        static const BYTE params[] = VTS_I2 VTS_I2;
        m_server.InvokeHelper(BREMFC_SETAWBSAMPLEPOS, DISPATCH_METHOD, VT_EMPTY, nullptr, params, x, y);
    }
    void PutRefI2(DISPID id, SHORT value) {
        static const BYTE params[] = VTS_I2;
        m_server.InvokeHelper(id, DISPATCH_PROPERTYPUTREF, VT_EMPTY, nullptr, params, value);
    }

    std::string m_path;
};

} // namespace

TEST_F(BremFcRecordTest, ProgramPicturesEqualTheServersAfterTuning) {
    const std::vector<BYTE> untuned = Record();
    PutI2(BREMFC_GAIN, 6);
    PutI2(BREMFC_GAMMA, 4);
    PutI2(BREMFC_ENHANCE, 4);
    PutI2(BREMFC_WHITEBALANCE, 0);
    PutI4(BREMFC_CURRENTFRAME, 1);
    SetSamplePoint(21, 14);
    PutI2(BREMFC_CHROMA, 140);
    PutI2(BREMFC_BRIGHTNESS, -10);
    PutI2(BREMFC_CONTRAST, 120);
    SetBayerFilter(0, 1, 3, 6);
    const std::vector<BYTE> record = Record();
    ASSERT_NE(record, untuned);

    // One converter walks the frames in order, as a conversion worker does.
    FrameConverter converter;
    std::string error;
    ASSERT_TRUE(converter.Open(m_path, record.data(), record.size(), &error)) << error;
    ASSERT_EQ(converter.BitmapSize(), static_cast<std::size_t>(GetI4(BREMFC_BITMAPSIZE)));
    for (long frame = GetI4(BREMFC_RECORDEDBEGIN); frame <= GetI4(BREMFC_RECORDEDEND); ++frame) {
        SCOPED_TRACE(frame);
        std::vector<BYTE> mine(converter.BitmapSize());
        ASSERT_TRUE(converter.Convert(frame, mine.data(), mine.size(), &error)) << error;
        const std::vector<BYTE> served = ServerFrame(frame);
        EXPECT_EQ(mine, served);
        EXPECT_NE(ProgramFrame(untuned, frame), served); // the tuning shows
    }
}

TEST_F(BremFcRecordTest, EachChangeThroughTheServerReachesTheProgramsPicture) {
    struct Change {
        const char* name;
        std::function<void()> apply;
    };
    const Change changes[] = {
        {"Gain 12", [&] { PutI2(BREMFC_GAIN, 12); }},
        {"Gamma 2", [&] { PutI2(BREMFC_GAMMA, 2); }},
        {"Enhance 6", [&] { PutI2(BREMFC_ENHANCE, 6); }},
        {"WhiteBalance 3", [&] { PutI2(BREMFC_WHITEBALANCE, 3); }},
        {"WBGainR", [&] { PutRefI2(BREMFC_WBGAINR, 180); }},
        {"WBGainB", [&] { PutRefI2(BREMFC_WBGAINB, 90); }},
        {"manual white balance", [&] { PutI2(BREMFC_WHITEBALANCE, 0); }},
        {"sample point", [&] { SetSamplePoint(30, 20); }},
        {"Chroma 60", [&] { PutI2(BREMFC_CHROMA, 60); }},
        {"Brightness 15", [&] { PutI2(BREMFC_BRIGHTNESS, 15); }},
        {"Contrast 90", [&] { PutI2(BREMFC_CONTRAST, 90); }},
        {"EnableLPF", [&] { PutI4(BREMFC_ENABLELPF, 1); }},
        {"Bayer filter", [&] { SetBayerFilter(2, 3, 4, 5); }},
        {"BayerPos 3", [&] { PutI2(BREMFC_BAYERPOS, 3); }},
    };
    PutI4(BREMFC_CURRENTFRAME, 2);
    std::vector<BYTE> previous = Record();
    std::vector<BYTE> previousPicture = Convert();
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        change.apply();
        const std::vector<BYTE> record = Record();
        EXPECT_NE(record, previous);
        const std::vector<BYTE> served = Convert();
        EXPECT_NE(served, previousPicture);
        EXPECT_EQ(ProgramFrame(record, 2), served);
        previous = record;
        previousPicture = served;
    }
}

TEST_F(BremFcRecordTest, SizeQueryShortBufferAndClosedServer) {
    const std::vector<BYTE> record = Record();
    PipelineSettings settings;
    std::string error;
    ASSERT_TRUE(ReadPipelineSettings(record.data(), record.size(), &settings, &error)) << error;
    EXPECT_EQ(settings.width, 50);
    EXPECT_EQ(settings.height, 36);

    static const BYTE params[] = VTS_BUFFER;
    std::vector<BYTE> small(record.size() - 1);
    LONG size = 0;
    EXPECT_EQ(Failure([&] {
                  m_server.InvokeHelper(BREMFC_CLONEPIPELINE, DISPATCH_METHOD, VT_I4, &size, params,
                                        static_cast<void*>(small.data()), small.size());
              }),
              "ClonePipeline: the buffer holds " + std::to_string(small.size()) +
                  " bytes, the settings record needs " + std::to_string(record.size()));

    static const BYTE none[] = VTS_NONE;
    m_server.InvokeHelper(BREMFC_CLOSE, DISPATCH_METHOD, VT_EMPTY, nullptr, none);
    EXPECT_EQ(Failure([&] { Record(); }), "not initialized");
}
