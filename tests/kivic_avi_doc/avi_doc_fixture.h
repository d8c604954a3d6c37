// The program's application object with the AVI template alone and the main frame (RecordingAppTest),
// the AVI filter server registered into a private registry, AVI files made by the project's writer, and
// the shown picture read back as top-down blue, green, red rows.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "KivIc/App/WqLinkApp.h"
#include "KivIc/Documents/AviDoc.h"
#include "KivIc/Documents/AviTemplate.h"
#include "KivIc/Documents/Ovisk.h"
#include "afx_core/temp_dir.h"
#include "kivic_play/play_fakes.h"
#include "ovisk/ovisk_test_util.h"
#include "platform/com/objects.h"
#include "tests/kivic_support/RecordingTestApp.h"
#include "tests/support/library_movie.h"
#include "vomLib/avilib/MjpgCodec.h"

class AviDocTest : public RecordingAppTest {
protected:
    void SetUp() override {
        setenv("KIVIC_REGISTRY", dir.Path("test.reg").c_str(), 1);
        if (RegisterServer()) {
            std::string error;
            ASSERT_EQ(ComRegisterModule(OVISK_MODULE_PATH, false, &error), S_OK) << error;
        }
        InstallMjpgCodec();
        RecordingAppTest::SetUp();
    }
    void TearDown() override {
        RecordingAppTest::TearDown();
        unsetenv("KIVIC_REGISTRY");
    }
    CWinApp* NewApp() override { return new CWqLinkApp; }
    void RegisterTemplates() override { RegisterAviTemplate(app); }
    // FALSE leaves the private registry empty: the server cannot be created.
    virtual bool RegisterServer() const { return true; }

    // Opens the file as File Open does; the AVI document, or null.
    CAviDoc* Open(const std::string& path) { return OpenAs<CAviDoc>(path); }
    static COvisk* ViewOf(CDocument* doc) { return FirstViewOf<COvisk>(doc); }
    int OpenDocumentCount() const {
        int count = 0;
        POSITION pos = app->GetFirstDocTemplatePosition();
        while (pos != nullptr) {
            CDocTemplate* docTemplate = app->GetNextDocTemplate(pos);
            POSITION docPos = docTemplate->GetFirstDocPosition();
            while (docPos != nullptr && docTemplate->GetNextDoc(docPos) != nullptr)
                ++count;
        }
        return count;
    }

    // An AVI of the project's writer ('DIB ' or 'MJPG') at quality 9000, frames of ovisktest::Picture,
    // with text as its 'txts' chunk (none when empty).
    static void WriteMovie(const std::string& path, int width, int height, int frames,
                           const std::string& text, FOURCC handler = mmioFOURCC('D', 'I', 'B', ' ')) {
        avitest::WriteLibraryMovie({path, width, height, frames, handler, 9000, text}, [=](int i) {
            return PackedRows(ovisktest::Picture(width, height, i), width, height);
        });
    }
    // Top-down rows turned into bottom-up rows of 3 x width bytes.
    static std::vector<BYTE> PackedRows(const std::vector<BYTE>& topDown, int width, int height) {
        const std::size_t row = static_cast<std::size_t>(width) * 3;
        std::vector<BYTE> out(topDown.size());
        for (int y = 0; y < height; ++y)
            std::memcpy(out.data() + row * (height - 1 - y), topDown.data() + row * y, row);
        return out;
    }

    // The pixels of a display bitmap as top-down B, G, R rows of 3 x width bytes; empty without one.
    static std::vector<BYTE> Pixels(HBITMAP bitmap) {
        BITMAP info{};
        if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info))
            return {};
        const int width = info.bmWidth;
        const int height = info.bmHeight;
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 24;
        bmi.bmiHeader.biCompression = BI_RGB;
        const std::size_t stride = DibRowBytes(width, 24);
        std::vector<BYTE> dib(stride * height);
        HDC screen = GetDC(nullptr);
        const int lines = GetDIBits(screen, bitmap, 0, height, dib.data(), &bmi, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (lines != height)
            return {};
        std::vector<BYTE> out(static_cast<std::size_t>(width) * 3 * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(out.data() + static_cast<std::size_t>(width) * 3 * y, dib.data() + stride * y,
                        static_cast<std::size_t>(width) * 3);
        return out;
    }
    static std::vector<BYTE> Shown(CAviDoc* doc) { return Pixels(doc->GetFrameBitmap()); }

    TempDir dir;
};
