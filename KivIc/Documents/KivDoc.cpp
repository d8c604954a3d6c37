#include "KivIc/Documents/KivDoc.h"

#include "platform/win32/memory.h"

IMPLEMENT_DYNCREATE(CKivDoc, CFcDoc)

namespace {

const char kBremFcProgId[] = "BREM_FC.BremFc";
const char kCantCreate[] = "Can't create BREM_FC!!";

// The demosaic's green at green sites (Bayer phases 1 and 2) becomes (4 x centre + the four diagonal
// neighbours) / 8: softer than the server's own kernel.
constexpr long kGreenRgb = 1;
constexpr long kGreenPhases[] = {1, 2};
constexpr long kGreenKernel[][2] = {{0, 1}, {2, 1}, {4, 4}, {6, 1}, {8, 1}};

} // namespace

CKivDoc::CKivDoc() : m_pBremFc(std::make_unique<IBremFc>()) {
    try {
        // A server that is not registered makes no exception: it is told when a file is opened.
        m_bBremFcCreated = m_pBremFc->CreateDispatch(kBremFcProgId);
    } catch (CException* e) {
        e->ReportError(MB_OK | MB_ICONEXCLAMATION);
        e->Delete();
        m_bCreateReported = TRUE;
    } catch (...) {
        AfxMessageBox(kCantCreate, MB_OK | MB_ICONEXCLAMATION);
        m_bCreateReported = TRUE;
    }
}

CKivDoc::~CKivDoc() {
    // The play thread fetches frames through the server: it ends first.
    StopPlayThread();
    SetSourceOpen(FALSE);
    if (m_bBremFcCreated && AfxIsGuiThread()) {
        try {
            m_pBremFc->Close();
        } catch (CException* e) {
            OutputDebugStringA("CKivDoc: closing the recording failed: " + DescribeFailure(e) + "\n");
            e->Delete();
        }
    }
    m_pBremFc.reset();
}

IBremFc& CKivDoc::Server() {
    if (!m_bBremFcCreated)
        AfxThrowOleDispatchException(0, kCantCreate);
    // The server is apartment-threaded: workers hand their calls to the GUI thread.
    if (!AfxIsGuiThread())
        AfxThrowOleDispatchException(0, "BREM_FC called off the GUI thread");
    return *m_pBremFc;
}

// --- Opening and closing ----------------------------------------------------------------------------

BOOL CKivDoc::OpenSource(LPCTSTR lpszPath) {
    {
        CCriticalSectionLock lock(GetFrameLock());
        SetSourceOpen(FALSE);
        FreeFrameBuffer();
    }
    if (!m_bBremFcCreated) {
        if (m_bCreateReported)
            return FALSE;
        ReportOpenFailure(lpszPath, kCantCreate);
        return FALSE;
    }
    long bytes = 0;
    try {
        IBremFc& server = Server();
        server.Open(lpszPath);
        try {
            bytes = server.GetBitmapSize();
            const long display = server.GetDispPixels();
            m_nWidth = (display >> 16) & 0xFFFF;
            m_nHeight = display & 0xFFFF;
            m_nFirst = server.GetRecordedBegin();
            m_nLast = server.GetRecordedEnd();
            m_nRate = server.GetFrameRate();
            for (long phase : kGreenPhases) {
                for (const auto& tap : kGreenKernel)
                    server.SetBayerFilter(kGreenRgb, phase, tap[0], tap[1]);
            }
        } catch (...) {
            // The file stays open only for a document that can use it.
            try {
                server.Close();
            } catch (CException* e) {
                e->Delete();
            }
            throw;
        }
    } catch (CException* e) {
        ReportOpenFailure(lpszPath, DescribeFailure(e));
        e->Delete();
        return FALSE;
    } catch (...) {
        AfxMessageBox("Can't open" + CString(lpszPath), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_nBitmapBytes = bytes;
    const long pixelBytes = 3 * m_nWidth * m_nHeight;
    if (m_nWidth < 1 || m_nHeight < 1 || bytes < pixelBytes + static_cast<long>(sizeof(BITMAPINFOHEADER)) ||
        !AllocFrameBuffer(static_cast<size_t>(bytes))) {
        try {
            Server().Close();
        } catch (CException* e) {
            e->Delete();
        }
        ReportOpenFailure(lpszPath, "There is no memory for its frames.");
        return FALSE;
    }
    if (m_nRate >= 1)
        SetFrameRate(static_cast<int>(m_nRate));
    SetSourceOpen(TRUE);
    return TRUE;
}

BOOL CKivDoc::CloseSource() {
    {
        CCriticalSectionLock lock(GetFrameLock());
        SetSourceOpen(FALSE);
        FreeFrameBuffer();
    }
    if (!m_bBremFcCreated)
        return TRUE;
    try {
        Server().Close();
    } catch (CException* e) {
        ReportFailure(e);
    }
    return TRUE;
}

// --- Header values ----------------------------------------------------------------------------------

void CKivDoc::GetFrameRange(long* pFirst, long* pLast) {
    *pFirst = m_nFirst;
    *pLast = m_nLast;
}

long CKivDoc::GetRangeBegin() {
    return m_nFirst;
}

long CKivDoc::GetRangeEnd() {
    return m_nLast;
}

long CKivDoc::GetRecordRate() {
    return IsSourceOpen() ? m_nRate : GetFrameRate();
}

CString CKivDoc::GetInformation() {
    if (!IsSourceOpen())
        return CVesloDoc::GetInformation();
    try {
        return ReadInformation();
    } catch (CException* e) {
        CString text = "The recording's header could not be read.\n" + DescribeFailure(e);
        e->Delete();
        return text;
    }
}

CString CKivDoc::ReadInformation() {
    IBremFc& server = Server();
    const long fileVer = server.GetFileVer();
    const long fileLength = server.GetFileLength();
    const CString trigger = server.GetTriggerTime();
    const long first = server.GetRecordedBegin();
    const long last = server.GetRecordedEnd();
    const long rate = server.GetFrameRate();
    const auto pixels = static_cast<DWORD>(server.GetFramePixels());
    const int cameraId = server.GetCameraID();
    const long cameraVer = server.GetCameraVer();
    const long cameraSn = server.GetCameraSN();
    const int scene = server.GetSceneNo();
    const long shutter = server.GetShutterSpeed();
    const int segment = server.GetSegmentNo();
    const int recGain = server.GetRecGain();
    CString shutterText = "OPEN";
    if (shutter != 0)
        shutterText.Format("1/%-8d", static_cast<int>(1000000 / shutter));
    CString text;
    text.Format(
        "Image Version=  %d.%02d\nImage Size=  %d\nTrigger Time= %s\nImage Range First= %ld\nImage "
        "Range Last=  %ld\nRec Rate=  %d\nPicture Size = %dx%d\nCamera ID=  %d\nCamera Version= "
        "%d.%02d\nCamera S/N=%d\nScene No=%d\nRec Shutter= %s\nCamera Memory Segment= %d\nRec Gain=%d",
        static_cast<int>(fileVer / 100), static_cast<int>(fileVer % 100), static_cast<int>(fileLength),
        trigger.GetString(), first, last, static_cast<int>(rate), static_cast<int>(pixels >> 16),
        static_cast<int>(pixels & 0xFFFF), cameraId, static_cast<int>(cameraVer / 100),
        static_cast<int>(cameraVer % 100), static_cast<int>(cameraSn), scene, shutterText.GetString(),
        segment, recGain);
    return text;
}

// --- Frames and settings ----------------------------------------------------------------------------

void CKivDoc::PutCurrentFrame(long frame) {
    Server().SetCurrentFrame(frame);
}

void CKivDoc::ConvertBitmap(void* buffer, size_t capacity) {
    Server().ConvertBitmap(buffer, capacity);
}

BOOL CKivDoc::SetAwbSamplePos(short x, short y) {
    try {
        Server().SetAwbSamplePos(x, y);
    } catch (CException* e) {
        OutputDebugStringA("CKivDoc::SetAwbSamplePos: " + DescribeFailure(e) + "\n");
        e->Delete();
        AfxMessageBox("SetAwbSamplePos Failed.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

short CKivDoc::GetGain() {
    return Server().GetGain();
}
void CKivDoc::PutGain(short value) {
    Server().SetGain(value);
}
short CKivDoc::GetGamma() {
    return Server().GetGamma();
}
void CKivDoc::PutGamma(short value) {
    Server().SetGamma(value);
}
short CKivDoc::GetEnhance() {
    return Server().GetEnhance();
}
void CKivDoc::PutEnhance(short value) {
    Server().SetEnhance(value);
}
short CKivDoc::GetWhiteBalance() {
    return Server().GetWhiteBalance();
}
void CKivDoc::PutWhiteBalance(short value) {
    Server().SetWhiteBalance(value);
}
short CKivDoc::GetChroma() {
    return Server().GetChroma();
}
void CKivDoc::PutChroma(short value) {
    Server().SetChroma(value);
}
short CKivDoc::GetBrightness() {
    return Server().GetBrightness();
}
void CKivDoc::PutBrightness(short value) {
    Server().SetBrightness(value);
}
short CKivDoc::GetContrast() {
    return Server().GetContrast();
}
void CKivDoc::PutContrast(short value) {
    Server().SetContrast(value);
}

std::vector<BYTE> CKivDoc::GetPipelineSettings() {
    return Server().ClonePipeline();
}
