// Binary file access over the system's file handles: open modes, reads returning the count, writes
// that throw on any shortfall, 64-bit seeks. Failures throw CFileException* (Open reports instead).
#pragma once

#include "platform/afx/core/cstring.h"
#include "platform/afx/core/exceptions.h"
#include "platform/afx/core/object.h"

struct CFileStatus {
    ULONGLONG m_size;
    BYTE m_attribute; // CFile::Attribute bits
    char m_szFullName[MAX_PATH];
};

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };
    enum SeekPosition : UINT { begin = 0x0, current = 0x1, end = 0x2 };

    static const HANDLE hFileNull;

    CFile();
    // Takes over an open handle; it is not closed when the object is destroyed.
    explicit CFile(HANDLE hFile);
    // Opens the file at once; throws CFileException* on failure.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Returns the number of bytes read (fewer at the end of the file, 0 there).
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes everything or throws (diskFull when the system wrote less).
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    // Cuts or extends the file; the position is left at the new end.
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual void Flush();
    // Closes the file; throws when the system reports a failure.
    virtual void Close();
    // Closes the file, ignoring any failure (for clean-up paths).
    virtual void Abort();

    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const { return m_strFileName; }
    virtual void SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }
    operator HANDLE() const { return m_hFile; }

    static void AFXAPI Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    static void AFXAPI Remove(LPCTSTR lpszFileName);
    // FALSE when the file or folder does not exist.
    static BOOL AFXAPI GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);

    HANDLE m_hFile;

protected:
    // Opens the handle and records the name; on failure fills pError (when given) and returns FALSE.
    BOOL OpenHandle(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError);
    [[noreturn]] void ThrowLastError() const;

    BOOL m_bCloseOnDelete;
    CString m_strFileName;
};
