// The program's application object started in the test process (see app_fixture.h) with the
// image-sequence template and, as a program could register them, templates of the JPEG and TIFF
// sequences; a recorder of debug output, and helpers that write frame files and read back what a
// sequence document shows.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "KivIc/Documents/BmpChildFrame.h"
#include "KivIc/Documents/BmpDoc.h"
#include "KivIc/Documents/BmpTemplate.h"
#include "KivIc/Documents/BmpView.h"
#include "KivIc/Documents/JpegChildFrame.h"
#include "KivIc/Documents/JpegDoc.h"
#include "KivIc/Documents/JpegView.h"
#include "KivIc/Documents/TiffChildFrame.h"
#include "KivIc/Documents/TiffDoc.h"
#include "KivIc/Documents/TiffView.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Documents/RecordingMenu.h"
#include "image/image_test_util.h"
#include "kivic_app/app_fixture.h"
#include "platform/win32/command_line.h"

class SequenceAppTest : public WqLinkAppTest {
protected:
    using Bytes = imagetest::Bytes;

    void SetUp() override {
        WqLinkAppTest::SetUp();
        m_oldSink = SetDebugOutputSink([this](const char* text) {
            const std::lock_guard lock(m_traceLock);
            m_traces += text != nullptr ? text : "";
        });
        SetCommandLineArgs({"/opt/kivic/KivIc"});
        app = new CWqLinkApp;
        app->SetExtraTemplates(RegisterTestTemplates);
        ASSERT_TRUE(app->InitInstance());
        Pump();
    }
    void TearDown() override {
        WqLinkAppTest::TearDown();
        SetDebugOutputSink(m_oldSink);
    }

    // The image-sequence template unless the program registered it already, then JPEG and TIFF
    // sequence templates from the document strings it registers.
    static void RegisterTestTemplates(CWinApp& a) {
        bool haveBmp = false;
        POSITION pos = a.GetFirstDocTemplatePosition();
        while (pos != nullptr)
            haveBmp = haveBmp || a.GetNextDocTemplate(pos)->GetResourceID() == IDR_BMPTYPE;
        if (!haveBmp)
            RegisterBmpTemplate(&a);
        AfxRegisterMenu(IDR_JPGTYPE, BuildRecordingMenu());
        AfxRegisterMenu(IDR_TIFTYPE, BuildRecordingMenu());
        a.AddDocTemplate(new CMultiDocTemplate(IDR_JPGTYPE, RUNTIME_CLASS(CJpegDoc),
                                               RUNTIME_CLASS(CJpegChildFrame), RUNTIME_CLASS(CJpegView)));
        a.AddDocTemplate(new CMultiDocTemplate(IDR_TIFTYPE, RUNTIME_CLASS(CTiffDoc),
                                               RUNTIME_CLASS(CTiffChildFrame), RUNTIME_CLASS(CTiffView)));
    }

    // Opens through the application; the sequence document, or null.
    CBmpDoc* Open(const std::string& path) {
        CDocument* doc = app->OpenDocumentFile(path.c_str());
        Pump();
        return doc != nullptr && doc->IsKindOf(RUNTIME_CLASS(CBmpDoc)) ? static_cast<CBmpDoc*>(doc) : nullptr;
    }
    // How many sequence documents are open.
    int OpenSequences() const {
        int count = 0;
        POSITION pos = app->GetFirstDocTemplatePosition();
        while (pos != nullptr) {
            CDocTemplate* docTemplate = app->GetNextDocTemplate(pos);
            POSITION d = docTemplate->GetFirstDocPosition();
            while (d != nullptr)
                count += docTemplate->GetNextDoc(d)->IsKindOf(RUNTIME_CLASS(CBmpDoc)) ? 1 : 0;
        }
        return count;
    }
    static CBmpView* ViewOf(CDocument* doc) {
        POSITION pos = doc->GetFirstViewPosition();
        CView* view = pos != nullptr ? doc->GetNextView(pos) : nullptr;
        return view != nullptr && view->IsKindOf(RUNTIME_CLASS(CBmpView)) ? static_cast<CBmpView*>(view)
                                                                          : nullptr;
    }
    // What the document shows as top-down RGB bytes; empty without a picture.
    static Bytes Shown(CBmpDoc* doc) {
        HBITMAP bitmap = doc->GetFrameBitmap();
        return bitmap != nullptr ? imagetest::BitmapRgb(bitmap) : Bytes();
    }
    // Moves the document to a frame as the control bar does, and returns what it shows then.
    static Bytes ShownAt(CBmpDoc* doc, long frame) {
        doc->SetCurrentFrame(frame, TRUE);
        return Shown(doc);
    }

    // A 24-bit BMP of width x height whose every pixel is (id, 255 - id, 0x40) in R, G, B.
    static void WriteMarked(const std::string& path, int id, int width = 9, int height = 5) {
        Bytes bgr;
        for (int i = 0; i < width * height; ++i)
            bgr.insert(bgr.end(), {BYTE(0x40), BYTE(255 - id), BYTE(id)});
        const BmpImgObject image(static_cast<DWORD>(width), height, 3, 24, bgr.data());
        imagetest::WriteBmp(path, image);
    }
    // The mark of the picture shown (see WriteMarked); -1 without a picture.
    static int ShownMark(CBmpDoc* doc) {
        const Bytes rgb = Shown(doc);
        return rgb.size() >= 3 ? rgb[0] : -1;
    }
    static int MarkAt(CBmpDoc* doc, long frame) {
        doc->SetCurrentFrame(frame, TRUE);
        return ShownMark(doc);
    }
    std::string Folder(const std::string& name) const {
        const std::string path = dir.Path(name);
        std::filesystem::create_directories(path);
        return path;
    }
    static std::string CurrentFolder() { return std::filesystem::current_path().string(); }
    // The debug output so far.
    std::string Traces() {
        const std::lock_guard lock(m_traceLock);
        return m_traces;
    }

private:
    DebugOutputSink m_oldSink;
    std::mutex m_traceLock;
    std::string m_traces;
};
