#include "KivIc/Reticle/ReticleDoc.h"

IMPLEMENT_DYNAMIC(CReticleDoc, CDocument)

namespace {

// Whether the file's last line has no line end (an editor may save it so): rows appended to it would
// be joined to that line.
bool LastLineIsOpen(LPCTSTR lpszPath) {
    CFile file;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::typeBinary))
        return false;
    bool open = false;
    try {
        if (file.GetLength() > 0) {
            file.Seek(-1, CFile::end);
            char last = 0;
            open = file.Read(&last, 1) == 1 && last != '\n' && last != '\r';
        }
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
    }
    return open;
}

} // namespace

CReticleDoc::CReticleDoc() = default;

CReticleDoc::~CReticleDoc() {
    delete m_pCsvFile;
}

BOOL CReticleDoc::OnNewDocument() {
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}

BOOL CReticleDoc::SelectCsvFile() {
    CFileDialog dialog(FALSE, "csv", nullptr, OFN_HIDEREADONLY,
                       "Reticle Files (*.csv)|*.csv|All Files (*.*)|*.*||");
    if (dialog.DoModal() != IDOK)
        return FALSE;
    return OpenCsv(dialog.GetPathName());
}

BOOL CReticleDoc::BeginPointInput() {
    CFileDialog dialog(FALSE, "csv", nullptr, OFN_HIDEREADONLY,
                       "Reticle Files (*.csv)|*.csv|All Files (*.*)|*.*||");
    if (dialog.DoModal() != IDOK)
        return FALSE;
    if (OpenCsv(dialog.GetPathName()))
        return TRUE;
    CString message;
    message.Format("The reticle file could not be opened:\n%s", dialog.GetPathName().GetString());
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}

BOOL CReticleDoc::OpenCsv(LPCTSTR lpszPath) {
    CFileStatus status{};
    const BOOL exists = CFile::GetStatus(lpszPath, status);
    const bool openLine = exists && LastLineIsOpen(lpszPath);
    delete m_pCsvFile;
    m_pCsvFile = new CStdioFile;
    UINT flags = CFile::modeWrite | CFile::typeText;
    if (!exists)
        flags |= CFile::modeCreate;
    if (!m_pCsvFile->Open(lpszPath, flags)) {
        delete m_pCsvFile;
        m_pCsvFile = nullptr;
        return FALSE;
    }
    if (exists) {
        try {
            m_pCsvFile->SeekToEnd();
        } catch (CFileException* e) {
            e->Delete();
            CloseCsv();
            return FALSE;
        }
        if (openLine && !WriteCsvLine("\n")) {
            CloseCsv();
            return FALSE;
        }
        return TRUE;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    CString path;
    GetPathName(path);
    CString header;
    header.Format("Frame No.,Time,X,Y,X0,Y0,%4d/%02d/%02d,%02d:%02d:%02d,%s\n", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, path.GetString());
    if (!WriteCsvLine(header)) {
        CloseCsv();
        return FALSE;
    }
    return TRUE;
}

BOOL CReticleDoc::AddReticlePoint(double x, double y) {
    if (m_pCsvFile == nullptr)
        return FALSE;
    const long frame = GetCurrentFrameNo();
    const CString time = FormatTime(frame, GetRecordRate());
    CString line;
    line.Format("%ld,%s,%.2f,%.2f,%.2f,%.2f\n", frame, time.GetString(), x, y, m_dX0, m_dY0);
    return WriteCsvLine(line);
}

BOOL CReticleDoc::WriteCsvLine(LPCTSTR lpszText) {
    if (m_pCsvFile == nullptr)
        return FALSE;
    // Each line goes to the system at once, so a crash loses nothing already clicked.
    try {
        m_pCsvFile->WriteString(lpszText);
        m_pCsvFile->Flush();
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CReticleDoc::CloseCsv() {
    if (m_pCsvFile == nullptr)
        return FALSE;
    try {
        m_pCsvFile->Close();
    } catch (CFileException* e) {
        e->Delete();
    }
    delete m_pCsvFile;
    m_pCsvFile = nullptr;
    return TRUE;
}

CString CReticleDoc::FormatTime(long frame, long rate) {
    CString text;
    if (rate < 1)
        return text;
    text.Format("%.2f", static_cast<double>(frame) * 1000.0 / static_cast<double>(rate));
    return text;
}
