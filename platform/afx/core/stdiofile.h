// Buffered file with text lines. In text mode (the default, or typeText) "\n" is written as CR LF and
// CR LF reads back as "\n"; with typeBinary the bytes pass unchanged. Line readers accept LF and CR LF
// in both modes.
#pragma once

#include <vector>

#include "platform/afx/core/file.h"

class CStdioFile : public CFile {
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile();
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

    // Writes the text; in text mode each "\n" becomes CR LF.
    virtual void WriteString(LPCTSTR lpsz);
    // Reads one line without its line end. FALSE at the end of the file when nothing was read.
    virtual BOOL ReadString(CString& rString);
    // Reads at most nMax - 1 characters, stopping after "\n" (kept, CR LF reduced to "\n");
    // returns lpsz, or nullptr at the end of the file.
    virtual LPTSTR ReadString(LPTSTR lpsz, UINT nMax);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    // Hands the buffered bytes to the system (no wait for the disk, unlike CFile::Flush).
    void Flush() override;
    void Close() override;
    void Abort() override;

    BOOL IsTextMode() const { return m_bText; }

private:
    // Next byte of the file, or -1 at its end.
    int GetByte();
    int PeekByte();
    bool FillReadBuffer();
    void FlushWriteBuffer();
    // Gives back read-ahead bytes so the system position equals the logical one.
    void DropReadBuffer();
    void RawWrite(const char* data, size_t size);

    BOOL m_bText = TRUE;
    std::vector<char> m_readBuf;
    size_t m_readPos = 0;
    std::vector<char> m_writeBuf;
};
