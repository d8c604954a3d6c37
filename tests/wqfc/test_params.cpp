// The parameter file: keys, defaults, divisors, its place beside the program, the debug lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "fc/WqFc/DspParams.h"
#include "platform/win32/system.h"
#include "support.h"

using namespace wqfc_test;

namespace {

// Collects the debug output while alive.
class DebugCapture {
public:
    DebugCapture() {
        m_previous = SetDebugOutputSink([this](const char* text) { m_text += text; });
    }
    ~DebugCapture() { SetDebugOutputSink(m_previous); }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    DebugOutputSink m_previous;
};

} // namespace

TEST(WqFcParams, MissingFileGivesEveryDefault) {
    DspParams p;
    p.Read(NoParameterFile());
    EXPECT_EQ(p.SensorOffsX, 0);
    EXPECT_EQ(p.SensorOffsY, 0);
    EXPECT_EQ(p.DbGain0, 10);
    EXPECT_EQ(p.DbGain6, 20);
    EXPECT_EQ(p.DbGain12, 40);
    EXPECT_EQ(p.DbGainD, 10);
    EXPECT_EQ(p.InputGainR, 100);
    EXPECT_EQ(p.InputGainD, 100);
    EXPECT_EQ(p.YGainY, 64);
    EXPECT_EQ(p.YGainD, 64);
    EXPECT_EQ(p.SetupR + p.SetupG + p.SetupB + p.SetupY, 0);
    EXPECT_EQ(p.OffsetR + p.OffsetG + p.OffsetB, 0);
    EXPECT_EQ(p.CyGainR, 100);
    EXPECT_EQ(p.CyGainB, 100);
    EXPECT_EQ(p.CyClipR, 0);
    EXPECT_EQ(p.CyClipG, 0);
}

TEST(WqFcParams, EveryKeyIsReadFromItsSection) {
    TempDir dir;
    const std::string path = dir.Write("BREMFC.zop", "[Sensor]\r\nOffs.X=3\r\nOffs.Y=-4\r\n"
                                                     "[DbGain]\r\n0=11\r\n6=22\r\n12=44\r\nD=9\r\n"
                                                     "[InputGain]\r\nR=101\r\nG=102\r\nB=103\r\nD=104\r\n"
                                                     "[YGain]\r\nY=70\r\nD=60\r\n"
                                                     "[Setup]\r\nR=1\r\nG=2\r\nB=3\r\nY=-5\r\n"
                                                     "[Offset]\r\nR=-6\r\nG=7\r\nB=8\r\n"
                                                     "[CyGain]\r\nR=90\r\nB=110\r\n"
                                                     "[CyClip]\r\nR=4\r\nG=6\r\n");
    DspParams p;
    p.Read(path);
    EXPECT_EQ(p.SensorOffsX, 3);
    EXPECT_EQ(p.SensorOffsY, -4);
    EXPECT_EQ(p.DbGain0, 11);
    EXPECT_EQ(p.DbGain6, 22);
    EXPECT_EQ(p.DbGain12, 44);
    EXPECT_EQ(p.DbGainD, 9);
    EXPECT_EQ(p.InputGainG, 102);
    EXPECT_EQ(p.InputGainD, 104);
    EXPECT_EQ(p.YGainY, 70);
    EXPECT_EQ(p.YGainD, 60);
    EXPECT_EQ(p.SetupG, 2);
    EXPECT_EQ(p.SetupY, -5);
    EXPECT_EQ(p.OffsetR, -6);
    EXPECT_EQ(p.OffsetB, 8);
    EXPECT_EQ(p.CyGainR, 90);
    EXPECT_EQ(p.CyGainB, 110);
    EXPECT_EQ(p.CyClipR, 4);
    EXPECT_EQ(p.CyClipG, 6);
    // Gain 18 has no key of its own: it takes the 12 dB value; other settings have no dB value.
    EXPECT_EQ(p.DbValueFor(0), 11);
    EXPECT_EQ(p.DbValueFor(6), 22);
    EXPECT_EQ(p.DbValueFor(12), 44);
    EXPECT_EQ(p.DbValueFor(18), 44);
    for (int other : {5, -6, 1, 24, 32767})
        EXPECT_FALSE(p.DbValueFor(other).has_value()) << other;
}

TEST(WqFcParams, ZeroDivisorsFallBackToTheirDefaults) {
    TempDir dir;
    const std::string path = dir.Write("BREMFC.zop", "[DbGain]\nD=0\n[YGain]\nY=0\nD=0\n");
    DebugCapture debug;
    DspParams p;
    p.Read(path);
    EXPECT_EQ(p.DbGainD, 10);
    EXPECT_EQ(p.YGainY, 64);
    EXPECT_EQ(p.YGainD, 64);
    EXPECT_NE(debug.Text().find("DbGain D is 0"), std::string::npos);

    // A pipeline on that file converts the worked example as with the defaults.
    BremIc pipeline(Recording(8, 4, 100), path);
    pipeline.SetWhiteBalance(4);
    std::vector<std::uint8_t> raw(32, 64), out(96);
    pipeline.Convert(raw.data(), out.data());
    EXPECT_EQ(out, std::vector<std::uint8_t>(96, 152));
}

TEST(WqFcParams, FileLiesBesideTheProgramUnlessOverridden) {
    const char* saved = std::getenv("KIVIC_BREMFC_PARAM");
    const std::string savedValue = saved ? saved : "";
    unsetenv("KIVIC_BREMFC_PARAM");
    char program[4096] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder(program);
    folder = folder.substr(0, folder.find_last_of('/'));
    EXPECT_EQ(DspParams::DefaultPath(), folder + "/BREMFC.zop");

    setenv("KIVIC_BREMFC_PARAM", "/some/where/params.zop", 1);
    EXPECT_EQ(DspParams::DefaultPath(), "/some/where/params.zop");
    if (saved)
        setenv("KIVIC_BREMFC_PARAM", savedValue.c_str(), 1);
    else
        unsetenv("KIVIC_BREMFC_PARAM");
}

TEST(WqFcParams, InitNamesTheFileAndItsTimeOnTheDebugOutput) {
    DebugCapture debug;
    const std::string path = NoParameterFile();
    BremIc pipeline(Recording(8, 4), path);
    EXPECT_NE(debug.Text().find("wqFC parameter file:" + path + "\n"), std::string::npos);
    EXPECT_NE(debug.Text().find("  WqFC init() expire time = "), std::string::npos);
}
