// Frames converted with a reader and a pipeline of the converter's own, from a settings record: the
// bytes the server-side pipeline gives, on any number of threads, and clear failures.
#include <gtest/gtest.h>

#include <thread>

#include "fc/BREM_FC/BREMF.h"
#include "fc/WqFc/FrameConverter.h"
#include "fc/WqFc/PipelineSettings.h"
#include "support.h"
#include "tools/cm8gen/cm8_writer.h"

using namespace wqfc_test;

namespace {

using Bitmap = std::vector<std::uint8_t>;

class FrameConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No parameter file: the server side and the converter agree through the record alone.
        setenv("KIVIC_BREMFC_PARAM", m_dir.File("absent.zop").c_str(), 1);
        m_rec.width = 46; // rows of 138 bytes: not a multiple of 4
        m_rec.height = 30;
        m_rec.frames = 6;
        m_rec.begin = -2;
        m_path = Write(m_rec, "rec.cm8");
    }
    void TearDown() override { unsetenv("KIVIC_BREMFC_PARAM"); }

    std::string Write(const cm8::Recording& rec, const std::string& name) {
        const std::string path = m_dir.File(name);
        std::string error;
        EXPECT_TRUE(cm8::WriteRecording(path, rec, error)) << error;
        return path;
    }

    // What the server does for each frame: read it with the open reader, unpack, convert.
    std::vector<Bitmap> ServerFrames(BREMF& reader, BremIc& pipeline) {
        std::vector<Bitmap> frames;
        for (long n = reader.GetFirstFrame(); n <= reader.GetLastFrame(); ++n) {
            reader.ReadFrame(n);
            pipeline.Unpack();
            frames.emplace_back(pipeline.BitmapSize());
            pipeline.ConvertBitmap(frames.back().data());
        }
        return frames;
    }

    std::vector<Bitmap> ConverterFrames(FrameConverter& converter) {
        std::vector<Bitmap> frames;
        for (long n = converter.FirstFrame(); n <= converter.LastFrame(); ++n) {
            frames.emplace_back(converter.BitmapSize());
            std::string error;
            EXPECT_TRUE(converter.Convert(n, frames.back().data(), frames.back().size(), &error)) << error;
        }
        return frames;
    }

    TempDir m_dir;
    cm8::Recording m_rec;
    std::string m_path;
};

// A tuned server-side pipeline on the recording.
void Tune(BremIc& p, BREMF& reader) {
    p.SetGain(12);
    p.SetGamma(2);
    p.SetEnhance(4);
    p.SetChroma(130);
    p.SetBrightness(-12);
    p.SetContrast(115);
    p.SetBayerFilter(1, 0, 1, 3);
    p.SetWhiteBalance(0);
    reader.ReadFrame(1);
    p.Unpack();
    p.SetAwbSamplePos(20, 9);
}

} // namespace

TEST_F(FrameConverterTest, ConvertsEveryFrameAsTheServerSidePipelineDoes) {
    BREMF reader(m_path.c_str(), 1);
    BremIc pipeline(&reader);
    Tune(pipeline, reader);
    const std::vector<std::uint8_t> record = SavePipelineSettings(pipeline);
    const std::vector<Bitmap> expected = ServerFrames(reader, pipeline);
    ASSERT_EQ(expected.size(), 6u);
    EXPECT_NE(expected[0], expected[5]);

    FrameConverter converter;
    std::string error;
    ASSERT_TRUE(converter.Open(m_path, record.data(), record.size(), &error)) << error;
    EXPECT_EQ(converter.FirstFrame(), -2);
    EXPECT_EQ(converter.LastFrame(), 3);
    EXPECT_EQ(converter.BitmapSize(), std::size_t{46 * 30 * 3 + 40});
    EXPECT_EQ(ConverterFrames(converter), expected);

    // Backwards and repeated frames give the same bytes: nothing of one frame stays for the next.
    Bitmap again(converter.BitmapSize());
    ASSERT_TRUE(converter.Convert(0, again.data(), again.size(), &error)) << error;
    EXPECT_EQ(again, expected[2]);
    ASSERT_TRUE(converter.Convert(-2, again.data(), again.size() + 10, &error)) << error;
    EXPECT_EQ(again, expected[0]);
}

TEST_F(FrameConverterTest, ConvertersOnSeveralThreadsGiveTheSameBytes) {
    BREMF reader(m_path.c_str(), 1);
    BremIc pipeline(&reader);
    Tune(pipeline, reader);
    pipeline.SetEnableLPF(true);
    const std::vector<std::uint8_t> record = SavePipelineSettings(pipeline);
    const std::vector<Bitmap> expected = ServerFrames(reader, pipeline);

    constexpr int kThreads = 4;
    std::vector<std::vector<Bitmap>> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            FrameConverter converter;
            std::string error;
            if (!converter.Open(m_path, record.data(), record.size(), &error))
                return;
            // Each thread walks all frames several times.
            for (int round = 0; round < 3; ++round)
                results[static_cast<std::size_t>(t)] = ConverterFrames(converter);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (const std::vector<Bitmap>& frames : results)
        EXPECT_EQ(frames, expected);
}

TEST_F(FrameConverterTest, FailuresNameTheFrameAndTheFile) {
    BREMF reader(m_path.c_str(), 1);
    BremIc pipeline(&reader);
    const std::vector<std::uint8_t> record = SavePipelineSettings(pipeline);
    FrameConverter converter;
    Bitmap frame(46 * 30 * 3 + 40);
    std::string error;

    EXPECT_FALSE(converter.Convert(0, frame.data(), frame.size(), &error));
    EXPECT_EQ(error, "frame 0: no recording is open");

    ASSERT_TRUE(converter.Open(m_path, record.data(), record.size(), &error)) << error;
    EXPECT_FALSE(converter.Convert(4, frame.data(), frame.size(), &error));
    EXPECT_EQ(error, "frame 4 of " + m_path + ": the recording holds frames -2 to 3");
    EXPECT_FALSE(converter.Convert(-3, frame.data(), frame.size(), &error));
    EXPECT_FALSE(converter.Convert(0, frame.data(), frame.size() - 1, &error));
    EXPECT_EQ(error, "frame 0 of " + m_path + ": the buffer holds 4179 bytes, a converted frame needs 4180");
    EXPECT_FALSE(converter.Convert(0, nullptr, frame.size(), &error));
    EXPECT_EQ(error, "frame 0 of " + m_path + ": the buffer holds 0 bytes, a converted frame needs 4180");

    // Opening fails cleanly and leaves the converter closed.
    const std::string missing = m_dir.File("missing.cm8");
    EXPECT_FALSE(converter.Open(missing, record.data(), record.size(), &error));
    EXPECT_EQ(error, "cannot open the recording " + missing + ": can't open " + missing);
    EXPECT_FALSE(converter.IsOpen());
    EXPECT_FALSE(converter.Open(m_path, record.data(), 12, &error));
    EXPECT_EQ(error, "pipeline settings: the record holds 12 bytes, fewer than its 16-byte header");

    cm8::Recording other = m_rec;
    other.width = 48;
    const std::string otherPath = Write(other, "other.cm8");
    EXPECT_FALSE(converter.Open(otherPath, record.data(), record.size(), &error));
    EXPECT_EQ(error, "the pipeline settings are for pictures of 46 x 30, " + otherPath + " holds 48 x 30");
    EXPECT_FALSE(converter.IsOpen());
}

TEST_F(FrameConverterTest, AFrameCutShortFailsAndTheOthersStillConvert) {
    cm8::Recording cut = m_rec;
    cut.truncate = cm8::FullLength(cut) - 100; // the last frame loses its end
    const std::string path = Write(cut, "cut.cm8");
    BREMF reader(m_path.c_str(), 1);
    BremIc pipeline(&reader);
    const std::vector<std::uint8_t> record = SavePipelineSettings(pipeline);
    const std::vector<Bitmap> expected = ServerFrames(reader, pipeline);

    FrameConverter converter;
    std::string error;
    ASSERT_TRUE(converter.Open(path, record.data(), record.size(), &error)) << error;
    Bitmap frame(converter.BitmapSize());
    EXPECT_FALSE(converter.Convert(3, frame.data(), frame.size(), &error));
    EXPECT_EQ(error, "frame 3 of " + path + ": BREMF read error: the frame is missing or cut short");
    ASSERT_TRUE(converter.Convert(2, frame.data(), frame.size(), &error)) << error;
    EXPECT_EQ(frame, expected[4]);
}
