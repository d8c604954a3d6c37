#include "platform/afx/core/stdiofile.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

CStdioFile::CStdioFile() = default;

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags) {
    CFileException error;
    if (!CStdioFile::Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile() {
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        CStdioFile::Abort();
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    m_readBuf.clear();
    m_readPos = 0;
    m_writeBuf.clear();
    m_bText = (nOpenFlags & typeBinary) == 0 ? TRUE : FALSE;
    return OpenHandle(lpszFileName, nOpenFlags & ~static_cast<UINT>(typeText | typeBinary), pError);
}

// --- Lines --------------------------------------------------------------------------------------------

void CStdioFile::WriteString(LPCTSTR lpsz) {
    if (lpsz == nullptr)
        AfxThrowInvalidArgException();
    Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

BOOL CStdioFile::ReadString(CString& rString) {
    rString.Empty();
    std::string line;
    bool gotAny = false;
    for (;;) {
        const int c = GetByte();
        if (c < 0)
            break;
        gotAny = true;
        if (c == '\n')
            break;
        if (c == '\r' && PeekByte() == '\n') {
            GetByte();
            break;
        }
        line.push_back(static_cast<char>(c));
    }
    rString = CString(line);
    return gotAny ? TRUE : FALSE;
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax) {
    if (lpsz == nullptr || nMax == 0)
        AfxThrowInvalidArgException();
    UINT n = 0;
    bool gotAny = false;
    while (n + 1 < nMax) {
        int c = GetByte();
        if (c < 0)
            break;
        gotAny = true;
        if (c == '\r' && PeekByte() == '\n')
            c = GetByte();
        lpsz[n++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    lpsz[n] = '\0';
    if (!gotAny && nMax > 1)
        return nullptr;
    return lpsz;
}

// --- Bytes --------------------------------------------------------------------------------------------

UINT CStdioFile::Read(void* lpBuf, UINT nCount) {
    if (nCount == 0)
        return 0;
    if (lpBuf == nullptr)
        AfxThrowInvalidArgException();
    char* out = static_cast<char*>(lpBuf);
    UINT done = 0;
    if (m_bText) {
        while (done < nCount) {
            int c = GetByte();
            if (c < 0)
                break;
            if (c == '\r' && PeekByte() == '\n')
                c = GetByte();
            out[done++] = static_cast<char>(c);
        }
        return done;
    }
    const size_t buffered = std::min<size_t>(m_readBuf.size() - m_readPos, nCount);
    if (buffered > 0) {
        std::memcpy(out, m_readBuf.data() + m_readPos, buffered);
        m_readPos += buffered;
    }
    done = static_cast<UINT>(buffered);
    if (done < nCount) {
        FlushWriteBuffer();
        if (nCount - done >= kBufferSize)
            return done + CFile::Read(out + done, nCount - done);
        while (done < nCount && FillReadBuffer()) {
            const size_t part = std::min<size_t>(m_readBuf.size() - m_readPos, nCount - done);
            std::memcpy(out + done, m_readBuf.data() + m_readPos, part);
            m_readPos += part;
            done += static_cast<UINT>(part);
        }
    }
    return done;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0)
        return;
    if (lpBuf == nullptr)
        AfxThrowInvalidArgException();
    DropReadBuffer();
    const char* in = static_cast<const char*>(lpBuf);
    if (!m_bText) {
        RawWrite(in, nCount);
        return;
    }
    const char* runStart = in;
    const char* const stop = in + nCount;
    for (const char* p = in; p != stop; ++p) {
        if (*p == '\n') {
            RawWrite(runStart, static_cast<size_t>(p - runStart));
            RawWrite("\r\n", 2);
            runStart = p + 1;
        }
    }
    RawWrite(runStart, static_cast<size_t>(stop - runStart));
}

void CStdioFile::RawWrite(const char* data, size_t size) {
    if (size == 0)
        return;
    if (m_writeBuf.size() + size > kBufferSize) {
        FlushWriteBuffer();
        if (size >= kBufferSize) {
            CFile::Write(data, static_cast<UINT>(size));
            return;
        }
    }
    m_writeBuf.insert(m_writeBuf.end(), data, data + size);
}

// --- Position and size --------------------------------------------------------------------------------

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom) {
    FlushWriteBuffer();
    DropReadBuffer();
    return CFile::Seek(lOff, nFrom);
}

ULONGLONG CStdioFile::GetPosition() const {
    const ULONGLONG system = CFile::GetPosition();
    return system - (m_readBuf.size() - m_readPos) + m_writeBuf.size();
}

ULONGLONG CStdioFile::GetLength() const {
    const ULONGLONG onDisk = CFile::GetLength();
    if (m_writeBuf.empty())
        return onDisk;
    return std::max<ULONGLONG>(onDisk, CFile::GetPosition() + m_writeBuf.size());
}

void CStdioFile::SetLength(ULONGLONG dwNewLen) {
    FlushWriteBuffer();
    DropReadBuffer();
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush() {
    if (m_hFile == hFileNull)
        return;
    FlushWriteBuffer();
}

void CStdioFile::Close() {
    try {
        FlushWriteBuffer();
    } catch (CException*) {
        Abort();
        throw;
    }
    m_readBuf.clear();
    m_readPos = 0;
    CFile::Close();
}

void CStdioFile::Abort() {
    if (m_hFile != hFileNull && !m_writeBuf.empty()) {
        try {
            FlushWriteBuffer();
        } catch (CException* e) {
            e->Delete();
        }
    }
    m_writeBuf.clear();
    m_readBuf.clear();
    m_readPos = 0;
    CFile::Abort();
}

// --- Buffers ------------------------------------------------------------------------------------------

int CStdioFile::GetByte() {
    if (m_readPos >= m_readBuf.size() && !FillReadBuffer())
        return -1;
    return static_cast<unsigned char>(m_readBuf[m_readPos++]);
}

int CStdioFile::PeekByte() {
    if (m_readPos >= m_readBuf.size() && !FillReadBuffer())
        return -1;
    return static_cast<unsigned char>(m_readBuf[m_readPos]);
}

bool CStdioFile::FillReadBuffer() {
    FlushWriteBuffer();
    m_readBuf.resize(kBufferSize);
    m_readPos = 0;
    const UINT got = CFile::Read(m_readBuf.data(), static_cast<UINT>(m_readBuf.size()));
    m_readBuf.resize(got);
    return got > 0;
}

void CStdioFile::FlushWriteBuffer() {
    if (m_writeBuf.empty())
        return;
    std::vector<char> pending;
    pending.swap(m_writeBuf); // a failed write is not retried from Close or the destructor
    CFile::Write(pending.data(), static_cast<UINT>(pending.size()));
}

void CStdioFile::DropReadBuffer() {
    const size_t ahead = m_readBuf.size() - m_readPos;
    m_readBuf.clear();
    m_readPos = 0;
    if (ahead > 0)
        CFile::Seek(-static_cast<LONGLONG>(ahead), current);
}
