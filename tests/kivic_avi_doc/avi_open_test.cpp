// Opening AVI movies through the application: what the document takes from the file (range, rate,
// title, texts, first frame), and the opens that must fail with a message.
#include "avi_doc_fixture.h"

#include <filesystem>

namespace {

const std::string kDiskOpen = "ファイルのオープン中にディスク エラーが発生しました。";
const std::string kBadFormat =
    "ファイルが破損しているか、フォーマットが不明のため、読み取りできませんでした。";

} // namespace

TEST_F(AviDocTest, AMovieOfTheProjectsWriterOpensAtTheRateOfItsTextChunk) {
    const std::string text = "Rec Rate=1000\r\nFrame_Rate: 250\r\nShutter=1/2000\r\n";
    const std::string path = dir.Path("run12.avi");
    WriteMovie(path, 37, 21, 6, text);
    CAviDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr) << (boxes.empty() ? "" : boxes.front());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(doc->GetFrameRate(), 250);
    EXPECT_EQ(doc->GetRecordBegin(), 0);
    EXPECT_EQ(doc->GetRecordEnd(), 5);
    EXPECT_EQ(doc->GetPlayBegin(), 0);
    EXPECT_EQ(doc->GetPlayEnd(), 5);
    EXPECT_EQ(doc->GetCurrentFrame(), 0);
    EXPECT_EQ(doc->GetRangeBegin(), 0);
    EXPECT_EQ(doc->GetRangeEnd(), 6);
    // The title keeps neither folder nor extension, also after the framework stored the path.
    EXPECT_EQ(doc->GetTitle(), CString("run12"));
    EXPECT_STREQ(doc->GetTypeText(), "avi");
    EXPECT_STREQ(doc->GetPathText(), path.c_str());
    EXPECT_EQ(doc->GetPathName(), CString(path.c_str()));
    EXPECT_FALSE(doc->IsLoop());
    EXPECT_EQ(doc->GetInformation(), CString(text.c_str()));
    EXPECT_EQ(doc->GetNoteText(), CString());
    EXPECT_EQ(doc->GetDocKind(), 3);
    SIZE size{};
    doc->GetImageSize(&size);
    EXPECT_EQ(size.cx, 37);
    EXPECT_EQ(size.cy, 21);
    WORD width = 0;
    WORD height = 0;
    doc->GetImageSizeWords(&width, &height);
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 21);
    // The first frame is shown, in the view too.
    EXPECT_EQ(Shown(doc), ovisktest::Picture(37, 21, 0));
    COvisk* view = ViewOf(doc);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetBitmap(), doc->GetFrameBitmap());
    // The image-list bar lists it under the template's document name.
    EXPECT_TRUE(main->GetImgListBar()->IsOpen("run12"));
}

TEST_F(AviDocTest, TheTitleIsTheFileNameWithoutFolderAndExtension) {
    std::filesystem::create_directories(dir.Path("a.b"));
    WriteMovie(dir.Path("a.b/take.2.avi"), 16, 8, 2, "");
    WriteMovie(dir.Path("run12.avi"), 16, 8, 2, "");
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path(""));
    CAviDoc* relative = Open("run12.avi");
    CAviDoc* dotted = Open(dir.Path("a.b/take.2.avi"));
    std::filesystem::current_path(saved);
    ASSERT_NE(relative, nullptr);
    ASSERT_NE(dotted, nullptr);
    EXPECT_EQ(relative->GetTitle(), CString("run12"));
    EXPECT_EQ(dotted->GetTitle(), CString("take.2"));
    EXPECT_STREQ(dotted->GetTypeText(), "avi");
}

TEST_F(AviDocTest, ARateWithoutItsLineEndOrOutOfRangeKeepsTheDefault) {
    const char* const texts[] = {"Frame_Rate: 60", "Frame_Rate: 4294967546\r\n"}; // the second is 2^32 + 250
    int index = 0;
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const std::string path = dir.Path("rate" + std::to_string(index++) + ".avi");
        WriteMovie(path, 16, 8, 2, text);
        CAviDoc* doc = Open(path);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->GetFrameRate(), 1000);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AviDocTest, TextDataBeyondOneMebibyteIsNotRead) {
    std::string text = "Frame_Rate: 250\r\n";
    text.resize(static_cast<std::size_t>(CAviDoc::kMaxTextStream) + 1, 'x');
    const std::string path = dir.Path("long.avi");
    WriteMovie(path, 16, 8, 2, text);
    CAviDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetFrameRate(), 1000);
    EXPECT_EQ(doc->GetInformation(), CString());
    EXPECT_TRUE(boxes.empty());

    // One byte less is read whole.
    text.resize(static_cast<std::size_t>(CAviDoc::kMaxTextStream));
    const std::string fits = dir.Path("fits.avi");
    WriteMovie(fits, 16, 8, 2, text);
    CAviDoc* second = Open(fits);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetFrameRate(), 250);
    EXPECT_EQ(second->GetInformation().GetLength(), CAviDoc::kMaxTextStream);
}

TEST_F(AviDocTest, MoviesOfFfmpegOpenAtTheDefaultRateWithFfmpegsPictures) {
    if (!ovisktest::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    struct Case {
        const char* name;
        int width;
        const char* options;
        double meanLimit;
    };
    const Case cases[] = {
        {"bgr24", 33, "-c:v rawvideo -pix_fmt bgr24", 0.0},
        {"pal8", 32, "-c:v rawvideo -pix_fmt pal8", 0.0},
        // Two JPEG decoders may round and upsample chroma differently.
        {"mjpeg", 64, "-c:v mjpeg -q:v 2 -pix_fmt yuvj422p", 3.0},
    };
    const int height = 24;
    const int frames = 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Path(std::string(c.name) + ".avi");
        ASSERT_TRUE(ovisktest::MakeFfmpegAvi(path, c.width, height, frames, 25, c.options));
        const std::vector<BYTE> reference = ovisktest::FfmpegDecode(path, dir.Path("ref.raw"));
        const std::size_t frameBytes = static_cast<std::size_t>(c.width) * 3 * height;
        ASSERT_EQ(reference.size(), frameBytes * frames);

        CAviDoc* doc = Open(path);
        ASSERT_NE(doc, nullptr) << (boxes.empty() ? "" : boxes.front());
        EXPECT_EQ(doc->GetFrameRate(), 1000);
        EXPECT_EQ(doc->GetRecordBegin(), 0);
        EXPECT_EQ(doc->GetRecordEnd(), frames - 1);
        EXPECT_EQ(doc->GetInformation(), CString());
        EXPECT_EQ(doc->GetTitle(), CString(c.name));
        for (int i = 0; i < frames; ++i) {
            doc->SetCurrentFrame(i, TRUE);
            const std::vector<BYTE> shown = Shown(doc);
            ASSERT_EQ(shown.size(), frameBytes) << "frame " << i;
            const ovisktest::Difference d =
                ovisktest::Compare(shown.data(), reference.data() + frameBytes * i, frameBytes);
            EXPECT_LE(d.mean, c.meanLimit) << "frame " << i << ", largest difference " << d.largest;
            std::printf("%s frame %d: against ffmpeg's decode, mean difference %.3f, largest %d\n", c.name, i,
                        d.mean, d.largest);
        }
        EXPECT_EQ(ViewOf(doc)->GetBitmap(), doc->GetFrameBitmap());
        doc->OnCloseDocument();
        Pump();
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AviDocTest, FilesTheServerCannotReadFailWithItsMessage) {
    const std::string absent = dir.Path("absent.avi");
    EXPECT_EQ(Open(absent), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    boxes.clear();

    // Not a movie, and a movie whose frames are 64 bits a pixel, which no picture has.
    const std::string text = dir.Path("text.avi");
    TempDir::WriteAll(text, "not a movie at all, just some words\n");
    const std::string deep = dir.Path("deep.avi");
    WriteMovie(deep, 16, 8, 2, "");
    std::vector<BYTE> bytes = ovisktest::ReadAll(deep);
    const std::size_t strf = std::string(bytes.begin(), bytes.end()).find("strf");
    ASSERT_NE(strf, std::string::npos);
    bytes[strf + 8 + 14] = 64; // biBitCount
    TempDir::WriteAll(deep, std::string(bytes.begin(), bytes.end()));
    for (const std::string& path : {text, deep}) {
        SCOPED_TRACE(path);
        boxes.clear();
        EXPECT_EQ(Open(path), nullptr);
        // Named, as each of the files opened together must be.
        EXPECT_EQ(boxes, std::vector<std::string>{"Can't open" + path + "\n" + kBadFormat});
        EXPECT_EQ(OpenDocumentCount(), 0);
        EXPECT_EQ(main->GetImgListBar()->GetItemCount(), 0);
    }

    // The program goes on: a good movie opens afterwards.
    const std::string good = dir.Path("good.avi");
    WriteMovie(good, 16, 8, 2, "");
    EXPECT_NE(Open(good), nullptr);
}

TEST_F(AviDocTest, AMovieWithoutVideoFramesFailsItsOpen) {
    const std::string path = dir.Path("empty.avi");
    WriteMovie(path, 16, 8, 0, "Frame_Rate: 250\r\n");
    EXPECT_EQ(Open(path), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes.front().find("Can't open" + path), std::string::npos) << boxes.front();
    EXPECT_NE(boxes.front().find("no video frames"), std::string::npos) << boxes.front();
    EXPECT_EQ(OpenDocumentCount(), 0);
}

TEST_F(AviDocTest, TheTemplateOfAviMovies) {
    CDocTemplate* docTemplate = nullptr;
    POSITION pos = app->GetFirstDocTemplatePosition();
    if (pos != nullptr)
        docTemplate = app->GetNextDocTemplate(pos);
    ASSERT_NE(docTemplate, nullptr);
    EXPECT_EQ(docTemplate->GetResourceID(), IDR_AVITYPE);
    CString text;
    EXPECT_TRUE(docTemplate->GetDocString(text, CDocTemplate::filterExt));
    EXPECT_EQ(text, CString(".avi"));
    EXPECT_TRUE(docTemplate->GetDocString(text, CDocTemplate::docName));
    EXPECT_EQ(text, CString("AVI"));
    EXPECT_TRUE(docTemplate->GetDocString(text, CDocTemplate::filterName));
    EXPECT_EQ(text, CString("AVI File (*.avi)"));
    // The recording window's menu: its Playback popup among others.
    ASSERT_NE(docTemplate->m_pMenuShared, nullptr);
    bool playback = false;
    for (UINT i = 0; i < docTemplate->m_pMenuShared->GetMenuItemCount(); ++i) {
        CString label;
        docTemplate->m_pMenuShared->GetMenuString(i, label, MF_BYPOSITION);
        playback = playback || label.Find("Playback") >= 0;
    }
    EXPECT_TRUE(playback);
}

namespace {

class AviDocWithoutServerTest : public AviDocTest {
protected:
    bool RegisterServer() const override { return false; }
};

} // namespace

TEST_F(AviDocWithoutServerTest, OpeningFailsWithAMessageNamingTheServer) {
    const std::string path = dir.Path("clip.avi");
    WriteMovie(path, 16, 8, 2, "");
    EXPECT_EQ(Open(path), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes.front().find("Can't open" + path), std::string::npos) << boxes.front();
    EXPECT_NE(boxes.front().find("Ovisk.AVIFilter"), std::string::npos) << boxes.front();
    EXPECT_EQ(OpenDocumentCount(), 0);
}
