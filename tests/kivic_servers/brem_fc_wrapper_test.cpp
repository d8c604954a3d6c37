// The program's wrapper of the raw camera file server, against the real module.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "KivIc/Servers/brem_fc.h"
#include "fc/BREM_FC/BREMF.h"
#include "fc/WqFc/BremIc.h"
#include "fc/WqFc/PipelineSettings.h"
#include "tools/cm8gen/cm8_writer.h"

namespace {
class BremFcWrapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/kivic_wrap_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        setenv("KIVIC_REGISTRY", (m_dir + "/test.reg").c_str(), 1);
        setenv("KIVIC_BREMFC_PARAM", (m_dir + "/absent.zop").c_str(), 1);
        std::string error;
        ASSERT_EQ(ComRegisterModule(BREM_FC_MODULE_PATH, false, &error), S_OK) << error;
    }
    void TearDown() override {
        unsetenv("KIVIC_REGISTRY");
        unsetenv("KIVIC_BREMFC_PARAM");
        std::system(("rm -rf '" + m_dir + "'").c_str());
    }
    std::string m_dir;
};
} // namespace

TEST_F(BremFcWrapperTest, OpensSelectsAndConvertsThroughTheWrapper) {
    cm8::Recording rec;
    rec.width = 64;
    rec.height = 32;
    rec.frames = 5;
    rec.begin = -2;
    rec.rate = 2000;
    const std::string path = m_dir + "/a.cm8";
    std::string error;
    ASSERT_TRUE(cm8::WriteRecording(path, rec, error)) << error;

    IBremFc server;
    ASSERT_TRUE(server.CreateDispatch("BREM_FC.BremFc"));
    server.Open(path.c_str());
    EXPECT_EQ(server.GetBitmapSize(), 64 * 32 * 3 + 40);
    EXPECT_EQ(server.GetRecordedBegin(), -2);
    EXPECT_EQ(server.GetRecordedEnd(), 2);
    EXPECT_EQ(server.GetFrameRate(), 2000);
    EXPECT_EQ(server.GetFramePixels(), 64 * 65536 + 32);
    EXPECT_STREQ(static_cast<LPCTSTR>(server.GetTriggerTime()), "2026.12.08 19:45:00.123");
    server.SetGamma(4);
    EXPECT_EQ(server.GetGamma(), 4);
    server.SetCurrentFrame(1);

    std::vector<BYTE> frame(static_cast<std::size_t>(server.GetBitmapSize()));
    server.ConvertBitmap(frame.data(), frame.size());
    // The pipeline's settings arrive as plain bytes; the program's own pipeline converts like the server.
    const std::vector<BYTE> record = server.ClonePipeline();
    std::string why;
    std::unique_ptr<BremIc> mine = PipelineFromSettings(record.data(), record.size(), &why);
    ASSERT_TRUE(mine) << why;
    EXPECT_EQ(mine->Gamma(), 4);
    BREMF reader(path.c_str(), 1);
    std::vector<BYTE> converted(frame.size());
    mine->FillBitmapHeader(converted.data());
    mine->Convert(reader.ReadFrame(1), converted.data() + 40);
    EXPECT_EQ(converted, frame);

    server.Close();
    try {
        server.GetBitmapSize();
        FAIL() << "no exception";
    } catch (COleDispatchException* e) {
        EXPECT_STREQ(static_cast<LPCTSTR>(e->m_strDescription), "not initialized");
        e->Delete();
    }
}
