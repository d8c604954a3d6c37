// The frame of the tests that convert through the program: the raw camera window of a generated
// recording tuned as a user would tune it, "Save as" answered as the user would, and a timer that acts
// while the progress window of a conversion shows its frames.
#pragma once

#include <QApplication>
#include <QTimer>
#include <filesystem>

#include <gtest/gtest.h>

#include "KivIc/Conversion/CompressOptionsDlg.h"
#include "KivIc/Conversion/ConvFileSave.h"
#include "KivIc/Conversion/ConvertingDlg.h"
#include "KivIc/Conversion/JpegQualityDlg.h"
#include "KivIc/Conversion/SequenceOutput.h"
#include "KivIc/Documents/AviTemplate.h"
#include "KivIc/Documents/BmpTemplate.h"
#include "kivic_conversion/conversion_test_util.h"
#include "kivic_tracking_dlg/dlg_test_support.h"
#include "platform/win32/write_fault.h"
#include "tests/kivic_kiv_doc/kiv_fixture.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace convtest {

inline constexpr FOURCC kDib = mmioFOURCC('D', 'I', 'B', ' ');
inline constexpr FOURCC kMsvc = mmioFOURCC('m', 's', 'v', 'c');
inline constexpr FOURCC kMjpg = mmioFOURCC('M', 'J', 'P', 'G');

// What the user answers in "Save as".
struct SaveAnswer {
    int type = CConvFileSave::kTypeAvi; // the type list's entry
    std::string name;                   // typed into the name field
    FOURCC handler = 0;                 // "Custom..." chooses this compressor (AVI)
    int quality = 0;                    // the quality slider's position (AVI compressor or JPEG), 0: none
};

inline std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The picture's pixels as top-down blue, green, red rows, or as red, green, blue rows.
inline std::vector<uint8_t> TopDown(const Picture& p, bool rgb) {
    auto rows = avitest::FlipRows(p.pixels.data(), p.width, p.height);
    if (rgb)
        for (std::size_t i = 0; i + 2 < rows.size(); i += 3)
            std::swap(rows[i], rows[i + 2]);
    return rows;
}

inline std::vector<uint8_t> MagickRgb(const std::string& file) {
    int status = 0;
    const std::string out = avitest::Run("convert '" + file + "' -depth 8 rgb:- 2>/dev/null", &status);
    return status == 0 ? std::vector<uint8_t>(out.begin(), out.end()) : std::vector<uint8_t>{};
}

inline bool HaveMagick() {
    int status = 0;
    avitest::Run(
        "convert -version >/dev/null 2>&1 && tiffinfo >/dev/null 2>&1; convert -version >/dev/null 2>&1",
        &status);
    return status == 0;
}

class ConvertProgramTest : public KivDocTest {
protected:
    void SetUp() override {
        KivDocTest::SetUp();
        RegisterAviTemplate(app);
        RegisterBmpTemplate(app);
        // Movies written are opened through the AVI filter server.
        std::string error;
        ASSERT_EQ(ComRegisterModule(OVISK_MODULE_PATH, false, &error), S_OK) << error;
        InstallMjpgCodec();
        InstallCompressOptionsDialog();
        // The compressor test's trial movies go to a folder of this test's own.
        const char* old = std::getenv("TMPDIR");
        m_hadTmp = old != nullptr;
        m_oldTmp = old != nullptr ? old : "";
        setenv("TMPDIR", m_tmp.Path("").c_str(), 1);
    }
    void TearDown() override {
        AfxSetFileDialogHook(nullptr);
        AfxSetModalHook(nullptr);
        kivic::win32::SetWriteFaultHook({});
        CConvertingDlg::SetWorkerCount(0);
        KivDocTest::TearDown();
        if (m_hadTmp)
            setenv("TMPDIR", m_oldTmp.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

    // A recording of the given size, frames -3..-3+frames-1, tuned as a user would tune it: gain 6 dB,
    // white balance 5000 K, chroma 150 %. reference gets the same settings.
    CKivDoc* OpenTuned(const std::string& name, int width, int height, std::uint32_t frames,
                       std::unique_ptr<ReferencePipeline>* reference = nullptr) {
        cm8::Recording rec = SmallRecording();
        rec.width = static_cast<std::uint16_t>(width);
        rec.height = static_cast<std::uint16_t>(height);
        rec.frames = frames;
        const std::string path = Write(name, rec);
        CKivDoc* doc = OpenKiv(path);
        if (doc == nullptr)
            return nullptr;
        Command(ID_IMAGE_GAIN_6DB);
        Command(ID_IMAGE_WB_5000K);
        Command(ID_IMAGE_CHROMA_150);
        if (reference != nullptr) {
            *reference = std::make_unique<ReferencePipeline>(path);
            (*reference)->Pipeline().SetGain(6);
            (*reference)->Pipeline().SetWhiteBalance(2);
            (*reference)->Pipeline().SetChroma(150);
        }
        return doc;
    }

    // "Save as" (ID_FILE_CONVERT_SAVE) in the document's window with the user's answers; FALSE when the save dialog did
    // not close with OK. With direct the command goes to the document whatever the menus allow.
    bool SaveAs(CKivDoc* doc, const SaveAnswer& answer, bool direct = false) {
        doc->ActivateFirstView();
        Pump();
        bool ok = false;
        AfxSetFileDialogHook([&](CFileDialog* d) -> INT_PTR {
            d->PickFilter(answer.type);
            if (answer.quality > 0) {
                AfxSetModalHook([&](CDialog* m) {
                    if (m->IsKindOf(RUNTIME_CLASS(CCompressOptionsDlg))) {
                        auto* options = static_cast<CCompressOptionsDlg*>(m);
                        options->PickCompressor(answer.handler);
                        options->MoveQuality(answer.quality);
                    } else if (m->IsKindOf(RUNTIME_CLASS(CJpegQualityDlg))) {
                        m->SetDlgItemText(CJpegQualityDlg::IDC_QUALITY_EDIT,
                                          std::to_string(answer.quality * 100).c_str());
                    }
                    Press(m, IDOK);
                });
                static_cast<CButton*>(d->GetDlgItem(CConvFileSave::IDC_CUSTOM))->Click();
                AfxSetModalHook(nullptr);
            }
            d->TypeFileName(answer.name.c_str());
            d->PressOK();
            ok = d->GetModalResult() == IDOK;
            return d->GetModalResult();
        });
        if (direct)
            doc->OnConvertSave();
        else
            Command(ID_FILE_CONVERT_SAVE);
        AfxSetFileDialogHook(nullptr);
        Pump();
        return ok;
    }

    // The open document of that path, or null.
    CDocument* DocumentOf(const std::string& path) const {
        for (POSITION t = app->GetFirstDocTemplatePosition(); t != nullptr;) {
            CDocTemplate* tmpl = app->GetNextDocTemplate(t);
            for (POSITION d = tmpl->GetFirstDocPosition(); d != nullptr;) {
                CDocument* doc = tmpl->GetNextDoc(d);
                if (std::filesystem::path(doc->GetPathName().GetString()) == std::filesystem::path(path))
                    return doc;
            }
        }
        return nullptr;
    }
    std::vector<std::string> Files() const { return convtest::FilesIn(Folder()); }
    std::string Folder() const { return m_out.Path(""); }
    std::string Out(const std::string& name) const { return m_out.Path(name); }

    // The information text the conversion writes for the document.
    static std::string InfoText(CKivDoc* doc, const std::string& ext, long first, long last,
                                const std::string& format = "") {
        char range[96];
        std::snprintf(range, sizeof range, "Conversion Range : %ld  -> %ld\n", first, last);
        return std::string(doc->GetInformation().GetString()) + "\nFile type : " + ext + "\n" + range +
               format;
    }
    static std::string CrLf(const std::string& text) {
        std::string out;
        for (char c : text) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    }

    TempDir m_out;
    TempDir m_tmp;

private:
    bool m_hadTmp = false;
    std::string m_oldTmp;
};

// Acts once the progress window of a running conversion shows `frames` frames done: presses its
// Cancel, unless another action is given (closing the window or the program meanwhile, a screenshot).
class CancelAfter {
public:
    CancelAfter(long frames, long total, std::function<void(CConvertingDlg*)> action = {}) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, frames, total, action] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dlg = dynamic_cast<CConvertingDlg*>(CWnd::FromWidget(w));
                if (dlg == nullptr || !dlg->IsRunning() || pressed || dlg->GetRemaining() > total - frames)
                    continue;
                pressed = true;
                if (action)
                    action(dlg);
                else
                    dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
            }
        });
        m_timer.start(1);
    }
    bool pressed = false;

private:
    QTimer m_timer;
};

} // namespace convtest
