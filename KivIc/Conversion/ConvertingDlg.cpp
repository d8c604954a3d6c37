#include "KivIc/Conversion/ConvertingDlg.h"

#include <QWidget>
#include <algorithm>
#include <atomic>

#include "KivIc/Conversion/ConvertErrors.h"
#include "KivIc/Conversion/FramePool.h"
#include "KivIc/Conversion/SequenceOutput.h"
#include "KivIc/Playback/SourcePath.h"
#include "platform/afx/core/stdiofile.h"

namespace {

std::atomic<int> g_workers{0};

// How often the window looks at the workers' progress.
constexpr int kPollMilliseconds = 40;

} // namespace

void CConvertingDlg::SetWorkerCount(int workers) {
    g_workers = std::max(workers, 0);
}

int CConvertingDlg::GetWorkerCount() {
    const int n = g_workers.load();
    return n > 0 ? n : CFramePool::DefaultWorkers();
}

CConvertingDlg::CConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, CWnd*)
    : m_source(source), m_strTarget(lpszTarget != nullptr ? lpszTarget : "") {
    const SourcePathParts parts = SplitSourcePath(m_strTarget);
    m_strDrive = parts.drive;
    m_strDir = parts.dir;
    m_strFileName = parts.fileName;
    m_strExt = parts.ext;
    m_strBaseName = SequenceBaseName(m_strFileName);
}

CConvertingDlg::~CConvertingDlg() = default;

CString CConvertingDlg::MakeFrameFileName(long index) {
    return CSequenceOutput::FrameFileName(m_strBaseName.GetString(), index, m_strExt.GetString()).c_str();
}

CString CConvertingDlg::GetFramePath(long index) const {
    return m_strDrive + m_strDir +
           CSequenceOutput::FrameFileName(m_strBaseName.GetString(), index, m_strExt.GetString()).c_str();
}

CString CConvertingDlg::GetInfoFilePath() const {
    return m_strDrive + m_strDir + m_strBaseName + ".txt";
}

void CConvertingDlg::Fail(const CString& text) {
    m_strError = text;
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CConvertingDlg::BringToFront() {
    QWidget* window = GetWidget() != nullptr ? GetWidget()->window() : nullptr;
    if (window == nullptr)
        return;
    // Topmost without a change of size or place.
    const QRect place = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->setGeometry(place);
    window->show();
    window->raise();
    window->activateWindow();
}

void CConvertingDlg::ShowRemainingTime(DWORD elapsed, long done, long remaining) {
    // Before the first frame is in nothing has been measured: an estimate now would be the 10 ms guess,
    // and as the shown time never rises it would stay for the whole run.
    if (done <= 0)
        return;
    // 64 bits: a long run of large frames must not wrap the estimate.
    const unsigned long long estimate =
        elapsed == 0 ? static_cast<unsigned long long>(remaining) * 10ull / 1000ull
                     : static_cast<unsigned long long>(elapsed) * static_cast<unsigned long long>(remaining) /
                           static_cast<unsigned long long>(done) / 1000ull;
    const long seconds = static_cast<long>(std::min<unsigned long long>(estimate, 0x7FFFFFFFull));
    // The shown time never rises during a run.
    if (m_nShownSeconds < 0 || seconds < m_nShownSeconds)
        m_nShownSeconds = seconds;
    CString text;
    text.Format(AfxString(IDS_REMAIN_TIME), m_nShownSeconds / 60, m_nShownSeconds % 60);
    SetTimeText(text);
}

BOOL CConvertingDlg::Run() {
    m_strError.Empty();
    m_nWritten = 0;
    m_nShownSeconds = -1;
    const long first = m_source.first;
    const long last = m_source.last;
    if (last < first) {
        CString text;
        text.Format("Nothing to convert: the play range ends (%ld) before it begins (%ld).", last, first);
        Fail(text);
        return FALSE;
    }
    StartProgress(first, last, 1, "Convert", "");
    BringToFront();
    if (!OpenOutput()) {
        Fail("Cannot create stream.\n" + m_strError);
        return FALSE;
    }

    FramePoolSettings settings;
    settings.first = first;
    settings.last = last;
    settings.frameBytes = m_source.frameBytes;
    CFramePool pool(settings, *GetOutput());
    std::string error;
    // A worker beyond the frame count would only hold a converter of its own (a reader and a whole
    // colour pipeline, many times a frame's size) and never get a frame.
    const int workers = static_cast<int>(std::min<long>(GetWorkerCount(), pool.Count()));
    bool started = static_cast<bool>(m_source.makeConverter);
    for (int i = 0; started && i < workers; ++i) {
        std::unique_ptr<IFrameConverter> converter;
        started = RunGuarded([&] { converter = m_source.makeConverter(&error); }, &error) && converter &&
                  pool.AddWorker(std::move(converter), &error);
    }
    if (!started || !pool.Start(&error)) {
        CloseOutput(Outcome::Failed);
        Fail("Cannot create frame.\nCannot convert into \"" + m_strTarget +
             "\": " + CString(error.empty() ? "the frames of the recording cannot be read." : error.c_str()));
        return FALSE;
    }

    m_bRunning = TRUE;
    const DWORD start = GetTickCount();
    long shown = 0;
    bool cancelled = false;
    for (;;) {
        const bool ended = pool.Wait(kPollMilliseconds);
        const long done = pool.Committed();
        for (; shown < done; ++shown)
            StepProgress();
        ShowRemainingTime(GetTickCount() - start, done, pool.Count() - done);
        if (ended)
            break;
        // The waiting messages: Cancel, repainting, a close of the document or the program.
        AfxPumpMessages();
        if (m_bCancel && !cancelled) {
            cancelled = true;
            pool.Cancel();
        }
    }
    const CFramePool::State state = pool.Join();
    m_bRunning = FALSE;
    m_nWritten = pool.Committed();

    Outcome outcome = Outcome::Failed;
    if (state == CFramePool::State::Done)
        outcome = Outcome::Complete;
    else if (state == CFramePool::State::Cancelled)
        outcome = Outcome::Cancelled;
    const CString failure = outcome == Outcome::Failed ? CString(pool.Error().c_str()) : CString();
    m_strError.Empty();
    const BOOL closed = CloseOutput(outcome);
    if (m_bWaitCursor) {
        EndWaitCursor(); // started by Cancel
        m_bWaitCursor = FALSE;
    }
    if (outcome == Outcome::Failed) {
        Fail("Cannot create frame.\n" + failure);
        return FALSE;
    }
    if (!closed) {
        Fail(m_strError);
        return FALSE;
    }
    if (outcome == Outcome::Cancelled)
        return FALSE;
    return WriteInfoFile();
}

void CConvertingDlg::BuildInfoText(CString& text) {
    text = m_source.information;
    text += "\n";
    text += "File type : " + m_strExt + "\n";
    CString range;
    range.Format("Conversion Range : %ld  -> %ld\n", m_source.first, m_source.last);
    text += range;
    AppendFormatInfo(text);
}

void CConvertingDlg::AppendFormatInfo(CString&) {}

BOOL CConvertingDlg::WriteInfoFile() {
    CString text;
    BuildInfoText(text);
    const CString path = GetInfoFilePath();
    CStdioFile file;
    CFileException opened;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText, &opened)) {
        Fail(FileFailure("Cannot create the information file", path.GetString(),
                         static_cast<DWORD>(opened.m_lOsError > 0 ? opened.m_lOsError : 0))
                 .c_str());
        return FALSE;
    }
    std::string cause;
    if (!RunGuarded(
            [&] {
                file.WriteString(text);
                file.Close();
            },
            &cause)) {
        file.Abort();
        DeleteFileA(path);
        Fail(CString("Cannot write the information file \"") + path + "\": " + cause.c_str());
        return FALSE;
    }
    return TRUE;
}
