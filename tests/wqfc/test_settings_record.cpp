// The settings record: every setting travels and the pipeline built from it converts as the original
// does; records that are short, of another version, inconsistent or out of range are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "fc/WqFc/BremIc.h"
#include "fc/WqFc/PipelineSettings.h"
#include "support.h"
#include "vomLib/Utility/vomException.h"

using namespace wqfc_test;

namespace {

constexpr int kW = 36, kH = 14;

using Record = std::vector<std::uint8_t>;
using Picture = std::vector<std::uint8_t>;

std::vector<Picture> ConvertAll(BremIc& p, const std::vector<Picture>& frames) {
    std::vector<Picture> out;
    for (const Picture& raw : frames) {
        out.emplace_back(static_cast<std::size_t>(p.Width() * p.Height() * 3));
        p.Convert(raw.data(), out.back().data());
    }
    return out;
}

std::unique_ptr<BremIc> Load(const Record& record) {
    std::string error;
    std::unique_ptr<BremIc> p = PipelineFromSettings(record.data(), record.size(), &error);
    EXPECT_TRUE(p) << error;
    return p;
}

std::string Refusal(const Record& record) {
    std::string error;
    PipelineSettings settings;
    if (ReadPipelineSettings(record.data(), record.size(), &settings, &error))
        return "(accepted)";
    return error;
}

void PutU32(Record& r, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        r[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const Record& r, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | r[at + static_cast<std::size_t>(i)];
    return value;
}

// Offset of a section's header (its tag) in a well-formed record.
std::size_t SectionAt(const Record& r, const char* tag) {
    std::size_t at = 16;
    while (at + 8 <= r.size()) {
        if (std::memcmp(r.data() + at, tag, 4) == 0)
            return at;
        at += 8 + 4 * std::size_t{GetU32(r, at + 4)};
    }
    ADD_FAILURE() << "no section " << tag;
    return 0;
}

Record WithValue(Record r, const char* tag, std::size_t index, std::int32_t value) {
    PutU32(r, SectionAt(r, tag) + 8 + 4 * index, static_cast<std::uint32_t>(value));
    return r;
}

// A pipeline with a parameter file of its own, so the file's values travel as well.
class SettingsRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_param = m_dir.Write("BREMFC.zop", "[DbGain]\n0=12\n6=25\nD=11\n[Setup]\nR=3\nB=-2\nY=5\n"
                                            "[Offset]\nG=4\n[CyGain]\nR=110\nB=90\n[CyClip]\nR=2\nG=1\n");
        std::mt19937 rng(5);
        for (int i = 0; i < 3; ++i)
            m_frames.push_back(RandomFrame(kW, kH, rng));
    }
    BremIc Baseline() const { return BremIc(Recording(kW, kH), m_param); }

    TempDir m_dir;
    std::string m_param;
    std::vector<Picture> m_frames;
};

} // namespace

TEST_F(SettingsRecordTest, EverySettingTravelsAndThePictureFollowsIt) {
    const std::vector<Picture>& frames = m_frames;
    struct Change {
        const char* name;
        std::function<void(BremIc&)> apply;
    };
    const Change changes[] = {
        {"Gain 6", [](BremIc& p) { p.SetGain(6); }},
        {"Gain 18", [](BremIc& p) { p.SetGain(18); }},
        {"Gamma 2", [](BremIc& p) { p.SetGamma(2); }},
        {"Gamma 4", [](BremIc& p) { p.SetGamma(4); }},
        {"Enhance 2", [](BremIc& p) { p.SetEnhance(2); }},
        {"Enhance 6", [](BremIc& p) { p.SetEnhance(6); }},
        {"Chroma 40", [](BremIc& p) { p.SetChroma(40); }},
        {"Brightness 30", [](BremIc& p) { p.SetBrightness(30); }},
        {"Contrast 140", [](BremIc& p) { p.SetContrast(140); }},
        {"WhiteBalance 1", [](BremIc& p) { p.SetWhiteBalance(1); }},
        {"WhiteBalance 3", [](BremIc& p) { p.SetWhiteBalance(3); }},
        {"WBGainR", [](BremIc& p) { p.SetWBGainR(200); }},
        {"WBGainG", [](BremIc& p) { p.SetWBGainG(100); }},
        {"WBGainB", [](BremIc& p) { p.SetWBGainB(60); }},
        {"sample point",
         [&](BremIc& p) {
             p.SetWhiteBalance(0);
             p.Unpack(frames[1].data());
             p.SetAwbSamplePos(7, 5);
         }},
        {"EnableLPF", [](BremIc& p) { p.SetEnableLPF(true); }},
        {"red weight", [](BremIc& p) { p.SetBayerFilter(0, 0, 4, 5); }},
        {"green weight", [](BremIc& p) { p.SetBayerFilter(1, 1, 3, 3); }},
        {"blue weight", [](BremIc& p) { p.SetBayerFilter(2, 2, 5, -2); }},
        {"FilterPos", [](BremIc& p) { p.SetFilterPos(1, 1); }},
    };
    BremIc baseline = Baseline();
    const Record baseRecord = SavePipelineSettings(baseline);
    const std::vector<Picture> basePictures = ConvertAll(baseline, frames);
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        BremIc tuned = Baseline();
        change.apply(tuned);
        const Record record = SavePipelineSettings(tuned);
        EXPECT_NE(record, baseRecord);
        std::unique_ptr<BremIc> built = Load(record);
        ASSERT_TRUE(built);
        EXPECT_EQ(SavePipelineSettings(*built), record);
        const std::vector<Picture> expected = ConvertAll(tuned, frames);
        EXPECT_EQ(ConvertAll(*built, frames), expected);
        EXPECT_NE(expected, basePictures); // the change shows in the picture
    }
}

TEST_F(SettingsRecordTest, ParameterFileValuesTravel) {
    // Each file sets one key the conversion uses; the others keep their defaults.
    const char* files[] = {"[Setup]\nR=40\n",   "[Setup]\nY=-20\n", "[Offset]\nB=30\n",
                           "[CyGain]\nR=300\n", "[CyClip]\nG=9\n",  "[YGain]\nY=80\nD=64\n",
                           "[DbGain]\n0=16\n"};
    BremIc baseline(Recording(kW, kH), NoParameterFile());
    const std::vector<Picture> basePictures = ConvertAll(baseline, m_frames);
    for (const char* text : files) {
        SCOPED_TRACE(text);
        BremIc original(Recording(kW, kH), m_dir.Write("other.zop", text));
        std::unique_ptr<BremIc> built = Load(SavePipelineSettings(original));
        ASSERT_TRUE(built);
        const std::vector<Picture> expected = ConvertAll(original, m_frames);
        EXPECT_EQ(ConvertAll(*built, m_frames), expected);
        EXPECT_NE(expected, basePictures);
    }
}

TEST_F(SettingsRecordTest, LaterChangesActAlikeOnTheBuiltPipeline) {
    // The inputs travel, not just the curves: the gain table, the sample point's gains and the statistics
    // flags give the same results on both sides after the hand-over.
    BremIc original = Baseline();
    original.SetWhiteBalance(0);
    original.Unpack(m_frames[0].data());
    original.SetAwbSamplePos(10, 3);
    original.SetWhiteBalance(2);
    std::unique_ptr<BremIc> built = Load(SavePipelineSettings(original));
    ASSERT_TRUE(built);
    for (BremIc* p : {&original, built.get()}) {
        p->SetWhiteBalance(0); // back to the sample point's gains
        p->SetGain(6);
    }
    EXPECT_EQ(built->WBGainR(), original.WBGainR());
    EXPECT_EQ(built->DbValue(), 25);
    EXPECT_EQ(SavePipelineSettings(*built), SavePipelineSettings(original));
    EXPECT_EQ(ConvertAll(*built, m_frames), ConvertAll(original, m_frames));
}

TEST_F(SettingsRecordTest, LoadingIntoAPipelineReplacesItsSizeAndSettings) {
    BremIc original = Baseline();
    original.SetGamma(4);
    original.SetEnhance(6);
    const Record record = SavePipelineSettings(original);
    BremIc other(Recording(8, 4), NoParameterFile());
    std::string error;
    ASSERT_TRUE(LoadPipelineSettings(other, record.data(), record.size(), &error)) << error;
    EXPECT_EQ(other.Width(), kW);
    EXPECT_EQ(other.Height(), kH);
    EXPECT_EQ(other.BitmapSize(), static_cast<DWORD>(kW * kH * 3 + 40));
    EXPECT_EQ(ConvertAll(other, m_frames), ConvertAll(original, m_frames));
    EXPECT_THROW(other.Unpack(), vomException); // no reader came with the settings
}

TEST_F(SettingsRecordTest, ShortWrongVersionAndInconsistentRecordsAreRefused) {
    const Record good = SavePipelineSettings(Baseline());
    ASSERT_EQ(GetU32(good, 8), good.size());

    for (std::size_t n = 0; n < good.size(); ++n) {
        const std::string why = Refusal(Record(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
        ASSERT_EQ(why.rfind("pipeline settings: ", 0), 0u) << n << ": " << why;
    }
    std::string error;
    PipelineSettings settings;
    EXPECT_FALSE(ReadPipelineSettings(nullptr, good.size(), &settings, &error));
    EXPECT_EQ(Refusal(Record(good.begin(), good.begin() + 10)),
              "pipeline settings: the record holds 10 bytes, fewer than its 16-byte header");

    Record r = good;
    r[0] = 'X';
    EXPECT_EQ(Refusal(r), "pipeline settings: not a settings record (it starts with 'XQFC', not 'WQFC')");
    r = good;
    PutU32(r, 4, 2);
    EXPECT_EQ(Refusal(r), "pipeline settings: version 2 of the record; this program reads version 1");
    r = good;
    PutU32(r, 8, static_cast<std::uint32_t>(good.size() + 4));
    EXPECT_NE(Refusal(r).find("says it holds " + std::to_string(good.size() + 4) + " bytes"),
              std::string::npos);
    r = good; // bytes after the last section, the total matching them
    r.insert(r.end(), 4, 0);
    PutU32(r, 8, static_cast<std::uint32_t>(r.size()));
    EXPECT_EQ(Refusal(r), "pipeline settings: 4 bytes follow the last section");
    r = good;
    PutU32(r, 12, 0xFFFFFFFFu);
    EXPECT_EQ(Refusal(r), "pipeline settings: the record holds 4294967295 sections, version 1 has 8");

    // Value counts: huge, one short (the values then run into the next section), none.
    r = good;
    PutU32(r, SectionAt(r, "BAYR") + 4, 0xFFFFFFFFu);
    EXPECT_EQ(Refusal(r), "pipeline settings: section 'BAYR' holds 4294967295 values, version 1 has 110");
    r = good;
    PutU32(r, SectionAt(r, "SIZE") + 4, 1);
    EXPECT_EQ(Refusal(r), "pipeline settings: section 'SIZE' holds 1 values, version 1 has 2");
    r = good;
    PutU32(r, SectionAt(r, "AWBS") + 4, 0);
    EXPECT_NE(Refusal(r).find("section 'AWBS' holds 0 values"), std::string::npos);

    // Tags: unknown, twice.
    r = good;
    std::memcpy(r.data() + SectionAt(r, "YCMX"), "YC\x01X", 4);
    EXPECT_EQ(Refusal(r), "pipeline settings: section 5 has the unknown tag 'YC\\x01X'");
    r = good;
    std::memcpy(r.data() + SectionAt(r, "SETS"), "SIZE", 4);
    EXPECT_EQ(Refusal(r), "pipeline settings: section 'SIZE' appears twice");

    // Sections in another order are read alike.
    r = Record(good.begin(), good.begin() + 16);
    const std::size_t dspp = SectionAt(good, "DSPP"), bayr = SectionAt(good, "BAYR");
    r.insert(r.end(), good.begin() + static_cast<std::ptrdiff_t>(bayr), good.end());
    r.insert(r.end(), good.begin() + 16, good.begin() + static_cast<std::ptrdiff_t>(bayr));
    ASSERT_EQ(r.size(), good.size());
    ASSERT_NE(r, good);
    EXPECT_EQ(Refusal(r), "(accepted)");
    std::unique_ptr<BremIc> reordered = Load(r);
    ASSERT_TRUE(reordered);
    EXPECT_EQ(SavePipelineSettings(*reordered), good);
    EXPECT_GT(bayr, dspp);
}

TEST_F(SettingsRecordTest, ValuesOutOfRangeAreRefused) {
    const Record good = SavePipelineSettings(Baseline());
    struct Bad {
        const char* tag;
        std::size_t index;
        std::int32_t value;
        const char* text;
    };
    const Bad bad[] = {
        {"SIZE", 0, 0, "picture width 0 lies outside 1..65535 (section 'SIZE', value 0)"},
        {"SIZE", 1, 70000, "picture height 70000 lies outside 1..65535 (section 'SIZE', value 1)"},
        {"SETS", 0, 40000, "Gain 40000 lies outside -32768..32767 (section 'SETS', value 0)"},
        {"SETS", 7, -40000, "Contrast -40000 lies outside -32768..32767 (section 'SETS', value 7)"},
        {"SETS", 8, 2, "EnableLPF 2 lies outside 0..1 (section 'SETS', value 8)"},
        {"CURV", 1, 0, "dB divisor is 0; it divides (section 'CURV', value 1)"},
        {"CURV", 2, 4096, "WBGainR 4096 lies outside 0..4095 (section 'CURV', value 2)"},
        {"DSPP", 6, 0, "DbGain D is 0; it divides (section 'DSPP', value 6)"},
        {"DSPP", 11, 0, "YGain Y is 0; it divides (section 'DSPP', value 11)"},
        {"DSPP", 12, 0, "YGain D is 0; it divides (section 'DSPP', value 12)"},
        {"BAYR", 1, 2, "FilterPosY 2 lies outside 0..1 (section 'BAYR', value 1)"},
        {"BAYR", 40, 32768,
         "Bayer filter weight 32768 lies outside -32768..32767 (section 'BAYR', value 40)"},
        {"YCMX", 4, 40000,
         "YC matrix coefficient 40000 lies outside -32768..32767 (section 'YCMX', value 4)"},
        {"SAMP", 2, -1, "sample point gain R -1 lies outside 0..4095 (section 'SAMP', value 2)"},
        {"AWBS", 2, 5000, "statistics gain B 5000 lies outside 0..4095 (section 'AWBS', value 2)"},
    };
    BremIc target(Recording(8, 4), NoParameterFile());
    target.SetGamma(2);
    const Record before = SavePipelineSettings(target);
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.text);
        const Record r = WithValue(good, b.tag, b.index, b.value);
        EXPECT_EQ(Refusal(r), std::string("pipeline settings: ") + b.text);
        std::string error;
        EXPECT_FALSE(LoadPipelineSettings(target, r.data(), r.size(), &error));
        EXPECT_EQ(SavePipelineSettings(target), before); // a refused record changes nothing
        EXPECT_EQ(PipelineFromSettings(r.data(), r.size(), &error), nullptr);
    }
    // Each side within range, the picture too large to allocate.
    const Record huge = WithValue(WithValue(good, "SIZE", 0, 65535), "SIZE", 1, 65535);
    EXPECT_EQ(Refusal(huge), "pipeline settings: a picture of 65535 x 65535 has more than 67108864 pixels");

    // Settings handed over directly are checked the same way.
    PipelineSettings settings = Baseline().Settings();
    settings.params.DbGainD = 0;
    EXPECT_THROW(BremIc{settings}, vomException);
    std::string error;
    EXPECT_FALSE(CheckPipelineSettings(settings, &error));
    EXPECT_EQ(error, "pipeline settings: DbGain D is 0; it divides (section 'DSPP', value 6)");
}

TEST_F(SettingsRecordTest, DamagedRecordsAreRefusedOrConvertSafely) {
    // Random byte damage: a record is either refused with a text, or accepted, then it converts, and it
    // reads back to exactly the bytes accepted.
    BremIc tuned = Baseline();
    tuned.SetEnhance(6);
    tuned.SetEnableLPF(true);
    const Record good = SavePipelineSettings(tuned);
    std::mt19937 rng(77);
    std::uniform_int_distribution<std::size_t> where(0, good.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255), hits(1, 4);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        Record r = good;
        for (int n = hits(rng); n > 0; --n) {
            // Most damage lands in the values; the first rounds also hit the header.
            std::size_t at = round < 300 ? where(rng) % 24 : where(rng);
            r[at] = static_cast<std::uint8_t>(byte(rng));
        }
        std::string error;
        PipelineSettings settings;
        if (!ReadPipelineSettings(r.data(), r.size(), &settings, &error)) {
            ASSERT_EQ(error.rfind("pipeline settings: ", 0), 0u) << error;
            continue;
        }
        ++accepted;
        ASSERT_EQ(WritePipelineSettings(settings), r);
        // Larger pictures are as valid, only slower to convert here.
        if (settings.width * settings.height > 4 * kW * kH)
            continue;
        std::unique_ptr<BremIc> p = PipelineFromSettings(r.data(), r.size(), &error);
        ASSERT_TRUE(p) << error;
        Picture raw(static_cast<std::size_t>(p->Width() * p->Height()), 90);
        Picture out(static_cast<std::size_t>(p->Width() * p->Height() * 3));
        p->Convert(raw.data(), out.data());
        ASSERT_EQ(SavePipelineSettings(*p), r);
    }
    // Damage to free values (offsets, setup terms, weights) is accepted; the check above saw both kinds.
    EXPECT_GT(accepted, 100);
    EXPECT_LT(accepted, 3000);
}
