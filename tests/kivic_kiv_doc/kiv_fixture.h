// The frame of the raw camera window tests: the program's main frame with the raw camera template,
// the real raw camera server registered in a private registry, recordings made by the generator, and
// a colour pipeline of the tests' own that converts the same raw frames with the same settings.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "KivIc/App/WqLinkApp.h"
#include "KivIc/Documents/KivChildFrame.h"
#include "KivIc/Documents/KivDoc.h"
#include "KivIc/Documents/KivIds.h"
#include "KivIc/Documents/KivTemplate.h"
#include "KivIc/Documents/KivView.h"
#include "afx_core/temp_dir.h"
#include "fc/BREM_FC/BREMF.h"
#include "fc/WqFc/BremIc.h"
#include "platform/com/objects.h"
#include "tests/kivic_support/RecordingTestApp.h"
#include "tools/cm8gen/cm8_writer.h"

// A recording small enough to convert often: 96 x 64, frames -3..8 at 500 frames per second.
inline cm8::Recording SmallRecording() {
    cm8::Recording rec;
    rec.width = 96;
    rec.height = 64;
    rec.frames = 12;
    rec.begin = -3;
    rec.rate = 500;
    return rec;
}

// The pixels (blue, green, red) of a packed picture or a bitmap: bottom row first, 3 x width bytes a
// row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<BYTE> pixels;

    const BYTE* At(int x, int rowFromTop) const {
        return pixels.data() + (static_cast<size_t>(height - 1 - rowFromTop) * width + x) * 3;
    }
};

// The display bitmap read back through GetDIBits.
inline Picture PictureOf(HBITMAP bitmap) {
    Picture picture;
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info))
        return picture;
    picture.width = info.bmWidth;
    picture.height = info.bmHeight;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    const auto row = static_cast<size_t>(DibRowBytes(info.bmWidth, 24));
    std::vector<BYTE> padded(row * static_cast<size_t>(info.bmHeight));
    HDC dc = GetDC(nullptr);
    const int lines =
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), padded.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines != info.bmHeight)
        return Picture{};
    const size_t packed = 3 * static_cast<size_t>(info.bmWidth);
    for (int y = 0; y < info.bmHeight; ++y)
        picture.pixels.insert(picture.pixels.end(), padded.begin() + static_cast<std::ptrdiff_t>(y * row),
                              padded.begin() + static_cast<std::ptrdiff_t>(y * row + packed));
    return picture;
}

// A colour pipeline of the test's own on the recording, set up as the raw camera document sets up the
// server's: the softer green kernel at green sites.
class ReferencePipeline {
public:
    explicit ReferencePipeline(const std::string& path) : m_reader(path.c_str(), 1), m_pipeline(&m_reader) {
        for (int phase : {1, 2}) {
            for (auto [pos, weight] : {std::pair{0, 1}, {2, 1}, {4, 4}, {6, 1}, {8, 1}})
                m_pipeline.SetBayerFilter(1, phase, pos, static_cast<std::int16_t>(weight));
        }
    }
    BremIc& Pipeline() { return m_pipeline; }
    // Reads the frame and demosaics it (the sample point measures the frame read last).
    void Select(long frame) {
        m_reader.ReadFrame(frame);
        m_pipeline.Unpack();
    }
    Picture Convert(long frame) {
        Select(frame);
        std::vector<BYTE> block(m_pipeline.BitmapSize());
        m_pipeline.ConvertBitmap(block.data());
        Picture picture;
        picture.width = m_pipeline.Width();
        picture.height = m_pipeline.Height();
        picture.pixels.assign(block.begin() + sizeof(BITMAPINFOHEADER), block.end());
        return picture;
    }

private:
    BREMF m_reader;
    BremIc m_pipeline;
};

class KivDocTest : public RecordingAppTest {
protected:
    void SetUp() override {
        setenv("KIVIC_REGISTRY", m_dir.Path("test.reg").c_str(), 1);
        setenv("KIVIC_BREMFC_PARAM", m_dir.Path("absent.zop").c_str(), 1);
        std::string error;
        ASSERT_EQ(ComRegisterModule(BREM_FC_MODULE_PATH, false, &error), S_OK) << error;
        RecordingAppTest::SetUp();
        RegisterKivTemplate(app);
    }
    CWinApp* NewApp() override { return new CWqLinkApp; }
    void TearDown() override {
        RecordingAppTest::TearDown();
        unsetenv("KIVIC_REGISTRY");
        unsetenv("KIVIC_BREMFC_PARAM");
    }

    std::string Write(const std::string& name, const cm8::Recording& rec) {
        const std::string path = m_dir.Path(name);
        std::string error;
        EXPECT_TRUE(cm8::WriteRecording(path, rec, error)) << error;
        return path;
    }
    // Opens the file through the program's application, as File Open does; null when the open fails.
    CKivDoc* OpenKiv(const std::string& path) { return OpenAs<CKivDoc>(path); }
    static CKivView* KivViewOf(CDocument* doc) { return FirstViewOf<CKivView>(doc); }
    static CKivChildFrame* KivFrameOf(CDocument* doc) { return FrameOfView<CKivChildFrame>(KivViewOf(doc)); }
    static Picture Shown(CKivDoc* doc) { return PictureOf(doc->GetFrameBitmap()); }
    // What the user typed into a control-bar field, applied as the field loses the focus.
    void TypeIntoField(int id, const char* text) {
        Bar()->SetDlgItemText(id, text);
        Bar()->SendMessage(WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS),
                           reinterpret_cast<LPARAM>(Bar()->GetDlgItem(id)->GetSafeHwnd()));
    }
    std::string Boxes() const {
        std::string all;
        for (const std::string& box : boxes)
            all += box + "|";
        return all;
    }

    TempDir m_dir;
};

inline bool operator==(const Picture& a, const Picture& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}
