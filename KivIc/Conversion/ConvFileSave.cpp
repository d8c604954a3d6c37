#include "KivIc/Conversion/ConvFileSave.h"

#include <map>
#include <memory>

#include "KivIc/Conversion/CompressOptionsDlg.h"
#include "KivIc/Conversion/FrameCompressor.h"
#include "KivIc/Conversion/JpegQualityDlg.h"
#include "KivIc/Conversion/SequenceOutput.h"
#include "KivIc/Documents/OpenDocuments.h"
#include "KivIc/Documents/SequenceFiles.h"
#include "KivIc/Playback/SourcePath.h"
#include "platform/afx/doc/docpath.h"
#include "platform/win32/temp_file.h"
#include "vomLib/avilib/MovieBitmapInfo.h"
#include "vomLib/avilib/MovieCompressedStream.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStreamInfo.h"

IMPLEMENT_DYNAMIC(CConvFileSave, CFileDialog)

BEGIN_MESSAGE_MAP(CConvFileSave, CFileDialog)
ON_BN_CLICKED(CConvFileSave::IDC_CUSTOM, OnCustom)
END_MESSAGE_MAP()

namespace {

constexpr DWORD kDefaultHandler = mmioFOURCC('m', 's', 'v', 'c');
constexpr DWORD kDefaultQuality = 10000;
constexpr int kJpegStartQuality = 7500;
// Compressors are tried at this size first, whatever the recording's.
constexpr LONG kTrialWidth = 640;
constexpr LONG kTrialHeight = 480;

// The type list and the extension each entry gives a name typed without one.
constexpr const char* kFilter =
    "AVI Files (*.avi)|*.avi|BMP Sequence (*.bmp)|*.bmp|TIFF Sequence (*.tif)|*.tif|"
    "JPEG Sequence (*.jpg)|*.jpg||";
constexpr const char* kTypeExtensions[] = {"avi", "bmp", "tif", "jpg"};

constexpr const char* kUnusableCompressor =
    "Cannot use the compression program, and please select other compression programs.";

void RegisterResources() {
    static const bool done = [] {
        if (AfxFindDialog(CConvFileSave::IDD) == nullptr)
            AfxRegisterDialog(
                CConvFileSave::IDD,
                {"",
                 300,
                 40,
                 "",
                 8,
                 {{AfxControl::Static, IDC_STATIC, "Compressor", 0, 6, 52, 10},
                  {AfxControl::Edit, CConvFileSave::IDC_COMPRESSOR_NAME, "", 54, 4, 160, 12,
                   ES_READONLY | ES_AUTOHSCROLL},
                  {AfxControl::Static, IDC_STATIC, "Quality", 0, 23, 52, 10},
                  {AfxControl::Edit, CConvFileSave::IDC_QUALITY, "", 54, 21, 60, 12, ES_READONLY},
                  {AfxControl::PushButton, CConvFileSave::IDC_CUSTOM, "Custom...", 224, 4, 60, 14}}});
        CString text;
        if (!AfxLoadString(CConvFileSave::IDS_CONVERSION, text))
            AfxRegisterString(CConvFileSave::IDS_CONVERSION, "Conversion");
        return true;
    }();
    (void)done;
}

CString NameOf(const CString& path) {
    const SourcePathParts parts = SplitSourcePath(path);
    return parts.fileName + parts.ext;
}

bool Exists(const CString& path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The compressor test's movie: a file of its own in the temporary folder, made so that no other file
// can stand in for it, and removed again.
class TrialMovie {
public:
    TrialMovie() {
        char folder[MAX_PATH] = {};
        const DWORD length = GetTempPathA(sizeof folder, folder);
        if (length > 0 && length < sizeof folder)
            m_path = kivic::win32::CreateUniqueFile(folder, "convtest", ".avi");
    }
    ~TrialMovie() {
        if (!m_path.empty())
            DeleteFileA(m_path.c_str());
    }
    TrialMovie(const TrialMovie&) = delete;
    TrialMovie& operator=(const TrialMovie&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// A video stream of width x height on the trial movie, as the conversion makes its movie's stream.
std::unique_ptr<CMovieStream> NewTrialStream(CMovieFile& file, LONG width, LONG height) {
    auto stream = std::make_unique<CMovieStream>(file);
    CMovieStreamInfo info = CMovieStreamInfo::Video(
        width, height, static_cast<DWORD>(PackedFrameImageSize(width, height)), 0, 1, 30);
    const HRESULT created = stream->Create(&info);
    if (created != AVIERR_OK)
        throw CMovieException(created, "Cannot create stream.");
    return stream;
}

// Whether the compressor of options takes the packed 24-bit frames of the stream's size, tried as the
// conversion writes them: the stream compressed and given that format.
bool TakesFrames(CMovieFile& file, CMovieStream& stream, const AVICOMPRESSOPTIONS& options) {
    const RECT& frame = stream.Info().rcFrame;
    CMovieCompressedStream compressed(file, stream, &options);
    CMovieBitmapInfo format = CMovieBitmapInfo::Packed24(frame.right - frame.left, frame.bottom - frame.top);
    return compressed.SetFormat(&format, sizeof format, 0) == AVIERR_OK;
}

} // namespace

CConvFileSave::CConvFileSave(CWnd* pParentWnd)
    : CFileDialog(FALSE, nullptr, nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER, kFilter,
                  pParentWnd),
      m_dwHandler(kDefaultHandler) {
    m_ofn.nFilterIndex = kTypeAvi;
}

void CConvFileSave::SetFrameSize(LONG width, LONG height) {
    m_nFrameWidth = width > 0 && height > 0 ? width : 0;
    m_nFrameHeight = width > 0 && height > 0 ? height : 0;
}

INT_PTR CConvFileSave::DoModal() {
    RegisterResources();
    m_ofn.Flags |= OFN_ENABLETEMPLATE;
    m_ofn.nIDTemplate = IDD;
    m_strTitle = AfxString(IDS_CONVERSION);
    m_ofn.lpstrTitle = m_strTitle;
    // Replacing is asked by the name check, about the files the conversion really writes (a sequence
    // never writes the file named in the dialog).
    const DWORD flags = m_ofn.Flags;
    m_bConfirmReplace = (flags & OFN_OVERWRITEPROMPT) != 0;
    m_ofn.Flags &= ~OFN_OVERWRITEPROMPT;
    const INT_PTR result = CFileDialog::DoModal();
    m_ofn.Flags = flags;
    return result;
}

BOOL CConvFileSave::OnInitDialog() {
    CFileDialog::OnInitDialog();
    m_dwHandler = kDefaultHandler;
    m_strCompressorName = "Microsoft Video 1";
    m_dwQuality = kDefaultQuality;
    ShowSettings();
    m_nFileType = m_ofn.nFilterIndex == 0 ? kTypeAvi : static_cast<int>(m_ofn.nFilterIndex);
    EnableCustom();
    return TRUE;
}

void CConvFileSave::ShowSettings() {
    SetDlgItemText(IDC_COMPRESSOR_NAME, m_strCompressorName);
    CString quality;
    quality.Format("%lu", static_cast<unsigned long>(m_dwQuality));
    SetDlgItemText(IDC_QUALITY, quality);
}

void CConvFileSave::EnableCustom() {
    if (CWnd* custom = GetDlgItem(IDC_CUSTOM))
        custom->EnableWindow(m_nFileType == kTypeAvi || m_nFileType == kTypeJpeg);
}

void CConvFileSave::OnTypeChange() {
    m_nFileType = static_cast<int>(m_ofn.nFilterIndex);
    EnableCustom();
    CFileDialog::OnTypeChange();
}

void CConvFileSave::OnCustom() {
    // A button's command: nothing may leave it.
    try {
        if (m_nFileType == kTypeAvi)
            TestCompressor();
        else if (m_nFileType == kTypeJpeg)
            AskJpegQuality();
    } catch (const CMovieException& e) {
        AfxMessageBox(e.m_message != nullptr ? e.m_message : "", MB_ICONEXCLAMATION);
    }
}

void CConvFileSave::TestCompressor() {
    const TrialMovie trial;
    if (trial.Path().empty())
        throw CMovieException(AVIERR_FILEOPEN, CMovieFile::OpenErrorMessage(AVIERR_FILEOPEN));
    // The file was made for this test alone: it is opened as it is, never deleted and made anew.
    PAVIFILE handle = nullptr;
    const HRESULT opened = AVIFileOpen(&handle, trial.Path().c_str(), OF_CREATE | OF_WRITE, nullptr);
    if (opened != AVIERR_OK)
        throw CMovieException(opened, CMovieFile::OpenErrorMessage(opened));
    CMovieFile file(handle);
    AVIFileRelease(handle);

    const std::unique_ptr<CMovieStream> stream = NewTrialStream(file, kTrialWidth, kTrialHeight);
    AVICOMPRESSOPTIONS options{};
    options.fccHandler = m_dwHandler;
    options.dwQuality = m_dwQuality;
    options.dwFlags = AVICOMPRESSF_VALID;
    if (stream->SaveOptions(&options, GetSafeHwnd(), 0, 1) != 1)
        return;
    // The trial size, then the recording's own: a compressor that cannot take the frames the conversion
    // will hand it is refused now, not after the movie was begun.
    if (!TakesFrames(file, *stream, options) ||
        !TakesRecordingFrames(options.fccHandler, options.dwQuality)) {
        AfxMessageBox(kUnusableCompressor, MB_ICONEXCLAMATION);
        return;
    }
    // The table's description, which the uncompressed handler has too (its stream gives none).
    const CString description = CompressorDescription(options.fccHandler);
    m_strCompressorName = description.IsEmpty()
                              ? CString(CFrameCompressor::HandlerText(options.fccHandler).c_str())
                              : description;
    m_dwQuality = options.dwQuality;
    m_dwHandler = options.fccHandler;
    ShowSettings();
}

void CConvFileSave::AskJpegQuality() {
    CJpegQualityDlg dlg(kJpegStartQuality, this);
    if (dlg.DoModal() != IDOK)
        return;
    m_dwQuality = static_cast<DWORD>(dlg.m_nQuality);
    ShowSettings();
}

bool CConvFileSave::IsSequenceTarget(const CString& path) {
    const CString ext = ExtensionOf(path);
    return ext == "bmp" || ext == "jpg" || ext == "tif";
}

CString CConvFileSave::SequenceBase(const CString& path) {
    return SequenceBaseName(SplitSourcePath(path).fileName);
}

CString CConvFileSave::OpenedSequenceBase(const CString& base) {
    // The sequence document splits a frame file's name by the same rule the conversion named it by.
    return SequenceBaseName(CSequenceOutput::FrameFileName(base.GetString(), 0, "").c_str());
}

BOOL CConvFileSave::OnFileNameOK() {
    CString path = GetPathName();
    // "name." counts as a name without extension.
    while (!path.IsEmpty() && path[path.GetLength() - 1] == '.')
        path = path.Left(path.GetLength() - 1);
    SetPathName(path);
    if (GetFileTitle().IsEmpty()) {
        AfxMessageBox("Please enter a file name.", MB_ICONEXCLAMATION);
        return TRUE;
    }
    if (GetFileExt().IsEmpty()) {
        const int type = m_nFileType >= kTypeAvi && m_nFileType <= kTypeJpeg ? m_nFileType : kTypeAvi;
        SetPathName(path + "." + kTypeExtensions[type - 1]);
    }
    if (IsSequenceTarget(GetPathName())) {
        const CString base = SequenceBase(GetPathName());
        const CString first = CSequenceOutput::FrameFileName(base.GetString(), 0,
                                                             SplitSourcePath(GetPathName()).ext.GetString())
                                  .c_str();
        const CString opened = OpenedSequenceBase(base);
        if (opened != base) {
            CString text;
            text.Format("A sequence cannot be named \"%s\": its frame files (%s, ...) would open as the "
                        "sequence \"%s\".\nPlease enter another name.",
                        base.GetString(), first.GetString(), opened.GetString());
            AfxMessageBox(text, MB_ICONEXCLAMATION);
            return TRUE;
        }
    }
    if (IsOutputOpen(GetPathName())) {
        CString text;
        text.Format("Already opened \"%s.%s\"", GetFileTitle().GetString(), GetFileExt().GetString());
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return TRUE;
    }
    // The compressor in force, the one the dialog starts with included, must take the recording's frames:
    // refused here, before the conversion begins, as when it is chosen.
    if (ExtensionOf(GetPathName()) == "avi" && !TakesRecordingFrames(m_dwHandler, m_dwQuality)) {
        AfxMessageBox(kUnusableCompressor, MB_ICONEXCLAMATION);
        return TRUE;
    }
    return m_bConfirmReplace && !ConfirmReplace(GetPathName()) ? TRUE : FALSE;
}

BOOL CConvFileSave::TakesRecordingFrames(DWORD handler, DWORD quality) const {
    if (m_nFrameWidth <= 0 || m_nFrameHeight <= 0)
        return TRUE;
    // The conversion opens its compressors the same way.
    CFrameCompressor compressor;
    std::string error;
    return compressor.Open(handler, quality, m_nFrameWidth, m_nFrameHeight, &error) ? TRUE : FALSE;
}

BOOL CConvFileSave::IsOutputOpen(const CString& path) {
    const CString target = AfxCanonicalPath(path);
    const bool sequence = IsSequenceTarget(path);
    const CString folder = FolderOf(target);
    const CString base = SequenceBase(path);
    const CString ext = SplitSourcePath(path).ext;
    const CDocument* found = FindOpenDocument([&](const CDocument* doc) {
        if (doc->GetPathName().IsEmpty())
            return false;
        const CString open = AfxCanonicalPath(doc->GetPathName());
        LONG number = 0;
        // A sequence's new frames would join (or replace) the frames of an open sequence alike.
        return sequence ? FolderOf(open) == folder && SequenceFrameNumber(NameOf(open), base, ext, &number)
                        : open == target;
    });
    return found != nullptr ? TRUE : FALSE;
}

BOOL CConvFileSave::ConfirmReplace(const CString& path) {
    CString question;
    if (!IsSequenceTarget(path)) {
        // The movie's information file goes by the base name: "take2.avi" writes "take.txt", which may
        // belong to another movie or sequence of that base.
        const CString info = FolderOf(path) + SequenceBase(path) + ".txt";
        const bool movie = Exists(path);
        // A type the conversion does not support writes nothing beside it.
        const bool text = ExtensionOf(path) == "avi" && Exists(info);
        if (movie && text)
            question.Format("%s and %s already exist.\nDo you want to replace them?",
                            NameOf(path).GetString(), NameOf(info).GetString());
        else if (movie || text)
            question.Format("%s already exists.\nDo you want to replace it?",
                            NameOf(movie ? path : info).GetString());
        else
            return TRUE;
    } else {
        const CString folder = FolderOf(path);
        const CString base = SequenceBase(path);
        // Every frame file of the sequence: the conversion replaces those below its frame count and
        // removes the others.
        const std::map<long, std::string> frames = CSequenceOutput::FrameFiles(
            folder.GetString(), base.GetString(), SplitSourcePath(path).ext.GetString());
        const CString info = folder + base + ".txt";
        if (!frames.empty()) {
            const CString first = NameOf(frames.begin()->second.c_str());
            const CString last = NameOf(frames.rbegin()->second.c_str());
            if (frames.size() == 1)
                question.Format(
                    "This folder holds the frame file %s.\nThe conversion replaces or removes it.\n",
                    first.GetString());
            else
                question.Format("This folder holds %ld frame files, %s to %s.\n"
                                "The conversion replaces them and removes those beyond its last frame.\n",
                                static_cast<long>(frames.size()), first.GetString(), last.GetString());
            question += "Do you want to continue?";
        } else if (Exists(info)) {
            question.Format("%s already exists.\nDo you want to replace it?", NameOf(info).GetString());
        } else {
            return TRUE;
        }
    }
    return AfxMessageBox(question, MB_YESNO | MB_ICONEXCLAMATION) == IDYES ? TRUE : FALSE;
}
