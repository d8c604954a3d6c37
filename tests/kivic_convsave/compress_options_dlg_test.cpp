// The compression-options dialog as AVISaveOptions shows it: the compressors that take 24-bit frames
// of the stream's size, the entry and quality it starts with, what OK writes into the options and
// what Cancel leaves, the quality slider of compressors without a quality, and streams it skips.
#include <thread>

#include <QComboBox>
#include <QSlider>

#include "KivIc/Conversion/CompressOptionsDlg.h"
#include "afx_core/temp_dir.h"
#include "kivic_tracking_dlg/dlg_test_support.h"
#include "vomLib/avilib/MjpgCodec.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStream.h"
#include "vomLib/avilib/MovieStreamInfo.h"

namespace {

constexpr FOURCC kDib = mmioFOURCC('D', 'I', 'B', ' ');
constexpr FOURCC kMsvc = mmioFOURCC('m', 's', 'v', 'c');
constexpr FOURCC kMjpg = mmioFOURCC('M', 'J', 'P', 'G');
constexpr FOURCC kPlain = mmioFOURCC('T', 'P', 'L', 'N'); // takes 24-bit frames, has no quality
constexpr FOURCC kGrey = mmioFOURCC('T', 'G', 'R', 'Y');  // takes 8-bit frames only

class TestCodec : public VideoCodec {
public:
    explicit TestCodec(WORD bits) : m_bits(bits) {}
    LRESULT CompressQuery(const BITMAPINFO* in, const BITMAPINFO*) override {
        return in->bmiHeader.biBitCount == m_bits ? ICERR_OK : ICERR_BADFORMAT;
    }

private:
    WORD m_bits;
};

class CompressOptionsDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        InstallMjpgCodec();
        InstallCompressOptionsDialog();
    }
    void TearDown() override {
        AVISetSaveOptionsHook(nullptr);
        ICRemoveCodec(kPlain);
        ICRemoveCodec(kGrey);
    }
    static void InstallTestCodecs() {
        ICInstallCodec({kPlain, "TPLN", "Plain test codec", 0, {}},
                       [] { return std::make_unique<TestCodec>(24); });
        ICInstallCodec({kGrey, "TGRY", "Grey test codec", VIDCF_QUALITY, {}},
                       [] { return std::make_unique<TestCodec>(8); });
    }

    // Shows the choice for one stream of type fccType and size width x height, answered by answer.
    INT_PTR Choose(AVICOMPRESSOPTIONS* options, LONG width, LONG height, AfxModalHook answer,
                   DWORD fccType = streamtypeVIDEO) {
        CMovieFile file;
        if (file.Create(dir.Path("choice.avi").c_str()) != AVIERR_OK)
            return -1;
        CMovieStream stream(file);
        CMovieStreamInfo info(width, height, static_cast<DWORD>(width * height * 3), fccType, 0, 1, 30);
        if (stream.Create(&info) != AVIERR_OK)
            return -1;
        ModalAnswer modal(std::move(answer));
        PAVISTREAM streams[1] = {stream.GetHandle()};
        LPAVICOMPRESSOPTIONS list[1] = {options};
        return AVISaveOptions(nullptr, 0, 1, streams, list);
    }

    static QComboBox* Box(CDialog* d) {
        return qobject_cast<QComboBox*>(d->GetDlgItem(CCompressOptionsDlg::IDC_VC_COMPRESSOR)->GetWidget());
    }
    static QSlider* Slider(CDialog* d) {
        return qobject_cast<QSlider*>(d->GetDlgItem(CCompressOptionsDlg::IDC_VC_QUALITY)->GetWidget());
    }
    static std::vector<FOURCC> Handlers(const std::vector<CompressorChoice>& choices) {
        std::vector<FOURCC> out;
        for (const CompressorChoice& c : choices)
            out.push_back(c.handler);
        return out;
    }

    TempDir dir;
};

TEST_F(CompressOptionsDlgTest, ListsTheCompressorsThatTakeTwentyFourBitFramesOfTheSize) {
    InstallTestCodecs();
    const std::vector<CompressorChoice> full = ListCompressorsFor24Bit(640, 480);
    EXPECT_EQ(Handlers(full), (std::vector<FOURCC>{kDib, kMsvc, kMjpg, kPlain}));
    ASSERT_EQ(full.size(), 4u);
    EXPECT_STREQ(full[0].description, "Full Frames (Uncompressed)");
    EXPECT_STREQ(full[1].description, "Microsoft Video 1");
    EXPECT_STREQ(full[2].description, "Motion JPEG");
    EXPECT_TRUE(full[2].hasQuality);
    EXPECT_FALSE(full[3].hasQuality);
    // Microsoft Video 1 works on blocks of 4 x 4 pixels.
    EXPECT_EQ(Handlers(ListCompressorsFor24Bit(37, 30)), (std::vector<FOURCC>{kDib, kMjpg, kPlain}));

    EXPECT_STREQ(CompressorDescription(mmioFOURCC('d', 'i', 'b', ' ')), "Full Frames (Uncompressed)");
    EXPECT_STREQ(CompressorDescription(kMjpg), "Motion JPEG");
    EXPECT_STREQ(CompressorDescription(mmioFOURCC('n', 'o', 'n', 'e')), "");
}

TEST_F(CompressOptionsDlgTest, StartsAtTheGivenCompressorAndQualityAndOkWritesTheChoice) {
    AVICOMPRESSOPTIONS options{};
    options.fccHandler = kMsvc;
    options.dwQuality = 10000;
    options.dwFlags = AVICOMPRESSF_VALID;
    options.dwKeyFrameEvery = 3;
    CString caption, entry, shownQuality, movedQuality;
    QStringList entries;
    int position = -1;
    const INT_PTR result = Choose(&options, 640, 480, [&](CDialog* d) {
        auto* dlg = static_cast<CCompressOptionsDlg*>(d);
        d->GetWindowText(caption);
        for (int i = 0; i < Box(d)->count(); ++i)
            entries << Box(d)->itemText(i);
        entry = Box(d)->currentText().toUtf8().constData();
        position = Slider(d)->value();
        shownQuality = FieldText(d, CCompressOptionsDlg::IDC_VC_QUALITY_TEXT);
        EXPECT_TRUE(dlg->PickCompressor(kMjpg));
        dlg->MoveQuality(42);
        movedQuality = FieldText(d, CCompressOptionsDlg::IDC_VC_QUALITY_TEXT);
        Press(d, IDOK);
    });
    EXPECT_EQ(result, TRUE);
    EXPECT_STREQ(caption, "Video Compression");
    EXPECT_EQ(entries, (QStringList{"Full Frames (Uncompressed)", "Microsoft Video 1", "Motion JPEG"}));
    EXPECT_STREQ(entry, "Microsoft Video 1");
    EXPECT_EQ(position, 100);
    EXPECT_STREQ(shownQuality, "100");
    EXPECT_STREQ(movedQuality, "42");
    EXPECT_EQ(options.fccType, streamtypeVIDEO);
    EXPECT_EQ(options.fccHandler, kMjpg);
    EXPECT_EQ(options.dwQuality, 4200u);
    EXPECT_EQ(options.dwFlags, AVICOMPRESSF_VALID);
    EXPECT_EQ(options.dwKeyFrameEvery, 3u);
}

TEST_F(CompressOptionsDlgTest, CancelLeavesTheOptionsAsTheyWere) {
    AVICOMPRESSOPTIONS options{};
    options.fccHandler = kMsvc;
    options.dwQuality = 5000;
    options.dwFlags = AVICOMPRESSF_VALID;
    const AVICOMPRESSOPTIONS before = options;
    const INT_PTR result = Choose(&options, 640, 480, [&](CDialog* d) {
        static_cast<CCompressOptionsDlg*>(d)->PickCompressor(kDib);
        static_cast<CCompressOptionsDlg*>(d)->MoveQuality(10);
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(result, FALSE);
    EXPECT_EQ(options.fccHandler, before.fccHandler);
    EXPECT_EQ(options.dwQuality, before.dwQuality);
    EXPECT_EQ(options.fccType, 0u);
}

TEST_F(CompressOptionsDlgTest, UnlistedHandlerStartsAtTheFirstEntryAndNoQualityGivenAtSeventyFive) {
    AVICOMPRESSOPTIONS options{};
    options.fccHandler = kMsvc; // not offered at 37 x 30
    options.dwQuality = 10000;  // not valid without AVICOMPRESSF_VALID
    QString entry;
    int position = -1;
    bool pickedMsvc = true;
    Choose(&options, 37, 30, [&](CDialog* d) {
        entry = Box(d)->currentText();
        position = Slider(d)->value();
        pickedMsvc = static_cast<CCompressOptionsDlg*>(d)->PickCompressor(kMsvc);
        Press(d, IDOK);
    });
    EXPECT_EQ(entry, "Full Frames (Uncompressed)");
    EXPECT_EQ(position, 75);
    EXPECT_FALSE(pickedMsvc);
    EXPECT_EQ(options.fccHandler, kDib);
    EXPECT_EQ(options.dwQuality, 7500u);
    EXPECT_EQ(options.dwFlags, AVICOMPRESSF_VALID);
}

TEST_F(CompressOptionsDlgTest, ACompressorWithoutQualityDisablesTheSliderAndKeepsTheQuality) {
    InstallTestCodecs();
    AVICOMPRESSOPTIONS options{};
    options.fccHandler = kMjpg;
    options.dwQuality = 6000;
    options.dwFlags = AVICOMPRESSF_VALID;
    bool enabledFirst = false, enabledAfter = true, enabledBack = false, greyListed = true;
    Choose(&options, 64, 48, [&](CDialog* d) {
        auto* dlg = static_cast<CCompressOptionsDlg*>(d);
        enabledFirst = Slider(d)->isEnabled();
        greyListed = dlg->PickCompressor(kGrey);
        dlg->PickCompressor(kPlain);
        enabledAfter = Slider(d)->isEnabled();
        dlg->MoveQuality(5); // a disabled slider cannot be moved
        dlg->PickCompressor(kDib);
        enabledBack = Slider(d)->isEnabled();
        dlg->PickCompressor(kPlain);
        Press(d, IDOK);
    });
    EXPECT_TRUE(enabledFirst);
    EXPECT_FALSE(greyListed);
    EXPECT_FALSE(enabledAfter);
    EXPECT_TRUE(enabledBack);
    EXPECT_EQ(options.fccHandler, kPlain);
    EXPECT_EQ(options.dwQuality, 6000u);
}

TEST_F(CompressOptionsDlgTest, OnlyVideoStreamsAskAndNoDialogOutsideTheGuiThread) {
    AVICOMPRESSOPTIONS options{};
    options.fccHandler = kMsvc;
    int shown = 0;
    EXPECT_EQ(Choose(
                  &options, 640, 480, [&](CDialog*) { ++shown; }, streamtypeAUDIO),
              TRUE);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(options.fccHandler, kMsvc);

    // A worker thread gets no dialog: its choice counts as cancelled.
    CMovieFile file;
    ASSERT_EQ(file.Create(dir.Path("worker.avi").c_str()), AVIERR_OK);
    CMovieStream stream(file);
    CMovieStreamInfo info = CMovieStreamInfo::Video(64, 48, 64 * 48 * 3, 0, 1, 30);
    ASSERT_EQ(stream.Create(&info), AVIERR_OK);
    ModalAnswer modal([&](CDialog* d) {
        ++shown;
        Press(d, IDOK);
    });
    INT_PTR fromWorker = -1;
    std::thread worker([&] {
        PAVISTREAM streams[1] = {stream.GetHandle()};
        LPAVICOMPRESSOPTIONS list[1] = {&options};
        fromWorker = AVISaveOptions(nullptr, 0, 1, streams, list);
    });
    worker.join();
    EXPECT_EQ(fromWorker, FALSE);
    EXPECT_EQ(shown, 0);
}

} // namespace
