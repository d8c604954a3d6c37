// The lowest layer of every document: the reticle origin and, while point input is on, the CSV file
// that receives one row per left click on the picture.
#pragma once

#include "platform/afx/afxwin.h"

class CReticleDoc : public CDocument {
    DECLARE_DYNAMIC(CReticleDoc)
public:
    CReticleDoc();
    ~CReticleDoc() override;

    // The frame number written into each row, the recording rate for the Time column, and the path
    // named in the header line.
    virtual long GetCurrentFrameNo() = 0;
    virtual long GetRecordRate() = 0;
    virtual void GetPathName(CString& rPath) = 0;
    using CDocument::GetPathName;
    // The height of the picture the positions refer to (y is counted from its bottom edge); the
    // playback layer answers from its display bitmap. 0 while there is none.
    virtual long GetReticleImageHeight() { return 0; }

    BOOL OnNewDocument() override;

    // A save dialog for the CSV; on OK the file is opened (OpenCsv's result), on Cancel FALSE.
    BOOL SelectCsvFile();
    // What the point-input command runs: the dialog, and a report to the user when the chosen file
    // cannot be opened (point input then stays off). TRUE when point input is on.
    BOOL BeginPointInput();
    // Opens the CSV: rows are appended to an existing file, a new one gets the header line.
    BOOL OpenCsv(LPCTSTR lpszPath);
    // One row for a click at (x, y) relative to the origin; written and flushed at once.
    BOOL AddReticlePoint(double x, double y);
    BOOL WriteCsvLine(LPCTSTR lpszText);
    BOOL CloseCsv();
    void EndPointInput() { CloseCsv(); }
    BOOL IsPointInput() const { return m_pCsvFile != nullptr; }
    static CString FormatTime(long frame, long rate);

    void SetReticleOrigin(double x0, double y0) {
        m_dX0 = x0;
        m_dY0 = y0;
    }
    double GetOriginX() const { return m_dX0; }
    double GetOriginY() const { return m_dY0; }

protected:
    CStdioFile* m_pCsvFile = nullptr;
    double m_dX0 = 0.0;
    double m_dY0 = 0.0;
};
