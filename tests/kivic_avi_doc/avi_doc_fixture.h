// The program's application object with the AVI template and main frame, the AVI filter server
// registered into a private registry, a recorder of message boxes, AVI files made by the project's
// writer, and the shown picture read back as top-down blue, green, red rows.
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
#include "KivIc/Main/MainFrame.h"
#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"
#include "kivic_play/play_fakes.h"
#include "ovisk/ovisk_test_util.h"
#include "platform/com/objects.h"
#include "vomLib/avilib/MjpgCodec.h"
#include "vomLib/avilib/MovieBitmapInfo.h"
#include "vomLib/avilib/MovieCompressedStream.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStreamInfo.h"

class AviDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxEnsureQtApp();
        setenv("KIVIC_AFX_PROFILE", dir.Path("profile.ini").c_str(), 1);
        setenv("KIVIC_REGISTRY", dir.Path("test.reg").c_str(), 1);
        if (RegisterServer()) {
            std::string error;
            ASSERT_EQ(ComRegisterModule(OVISK_MODULE_PATH, false, &error), S_OK) << error;
        }
        InstallMjpgCodec();
        app = new CWqLinkApp;
        RegisterAviTemplate(app);
        main = new CMainFrame;
        ASSERT_TRUE(main->LoadFrame(IDR_MAINFRAME));
        app->m_pMainWnd = main;
        main->ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        delete app;
        Pump();
        unsetenv("KIVIC_REGISTRY");
        unsetenv("KIVIC_AFX_PROFILE");
    }
    // FALSE leaves the private registry empty: the server cannot be created.
    virtual bool RegisterServer() const { return true; }

    // Opens the file as File Open does; the AVI document, or null.
    CAviDoc* Open(const std::string& path) {
        CDocument* doc = app->OpenDocumentFile(path.c_str());
        Pump();
        return doc != nullptr && doc->IsKindOf(RUNTIME_CLASS(CAviDoc)) ? static_cast<CAviDoc*>(doc) : nullptr;
    }
    static COvisk* ViewOf(CDocument* doc) {
        POSITION pos = doc->GetFirstViewPosition();
        CView* view = pos != nullptr ? doc->GetNextView(pos) : nullptr;
        return view != nullptr && view->IsKindOf(RUNTIME_CLASS(COvisk)) ? static_cast<COvisk*>(view)
                                                                        : nullptr;
    }
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

    // An AVI of the project's writer ('DIB ' or 'MJPG'), 30 frames per second, frames of
    // ovisktest::Picture, with text as its 'txts' chunk (none when empty).
    static void WriteMovie(const std::string& path, int width, int height, int frames,
                           const std::string& text, FOURCC handler = mmioFOURCC('D', 'I', 'B', ' ')) {
        CMovieFile file(path.c_str(), OF_CREATE | OF_WRITE);
        CMovieStream stream(file);
        const CMovieStreamInfo info(width, height, static_cast<DWORD>(width * height * 3), streamtypeVIDEO, 0,
                                    1, 30);
        ASSERT_EQ(stream.Create(&info), AVIERR_OK);
        if (!text.empty()) {
            ASSERT_EQ(stream.WriteData(mmioFOURCC('t', 'x', 't', 's'), const_cast<char*>(text.data()),
                                       static_cast<LONG>(text.size())),
                      AVIERR_OK);
        }
        AVICOMPRESSOPTIONS options{};
        options.fccType = streamtypeVIDEO;
        options.fccHandler = handler;
        options.dwQuality = 9000;
        options.dwFlags = AVICOMPRESSF_VALID;
        CMovieCompressedStream compressed(file, stream, &options);
        CMovieBitmapInfo header = CMovieBitmapInfo::Packed24(width, height);
        ASSERT_EQ(compressed.SetFormat(&header, sizeof header, 0), AVIERR_OK);
        for (int i = 0; i < frames; ++i) {
            const std::vector<BYTE> packed = PackedRows(ovisktest::Picture(width, height, i), width, height);
            ASSERT_EQ(compressed.Write(i, const_cast<BYTE*>(packed.data()), static_cast<LONG>(packed.size()),
                                       AVIIF_KEYFRAME),
                      AVIERR_OK);
        }
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
    CWqLinkApp* app = nullptr;
    CMainFrame* main = nullptr;
    MessageBoxRecorder recorder;
    std::vector<std::string>& boxes = recorder.texts;
};
