#include "tests/kivic_support/GenRecording.h"

#include <cstdlib>
#include <cstring>

#include "KivIc/Documents/RecordingMenu.h"

IMPLEMENT_DYNCREATE(CGenRecordingDoc, CTrackingDoc)
IMPLEMENT_DYNCREATE(CGenRecordingView, CTrackingView)
IMPLEMENT_DYNCREATE(CGenRecordingFrame, CTrackingChildFrame)

namespace {

const char kGenPrefix[] = "gen:";

bool ParseLong(const CString& text, long* value) {
    const char* begin = text.GetString();
    char* end = nullptr;
    const long parsed = std::strtol(begin, &end, 10);
    if (end == begin || *end != '\0')
        return false;
    *value = parsed;
    return true;
}

} // namespace

BOOL ParseGenRecordingSettings(const CString& text, GenRecordingSettings* settings) {
    GenRecordingSettings result;
    CString rest = text;
    rest.Replace('\r', '\n');
    rest.Replace(';', '\n');
    rest.Replace(',', '\n');
    int start = 0;
    while (start <= rest.GetLength()) {
        int stop = rest.Find('\n', start);
        if (stop < 0)
            stop = rest.GetLength();
        CString item = rest.Mid(start, stop - start);
        start = stop + 1;
        item.Trim();
        if (item.IsEmpty())
            continue;
        const int equals = item.Find('=');
        if (equals <= 0)
            return FALSE;
        CString key = item.Left(equals);
        key.Trim();
        CString number = item.Mid(equals + 1);
        number.Trim();
        long value = 0;
        if (!ParseLong(number, &value))
            return FALSE;
        if (key.CompareNoCase("begin") == 0)
            result.begin = value;
        else if (key.CompareNoCase("end") == 0)
            result.end = value;
        else if (key.CompareNoCase("rate") == 0)
            result.rate = static_cast<int>(std::clamp(value, -1L, 1000000L));
        else if (key.CompareNoCase("width") == 0)
            result.width = static_cast<int>(std::clamp(value, -1L, 100000L));
        else if (key.CompareNoCase("height") == 0)
            result.height = static_cast<int>(std::clamp(value, -1L, 100000L));
        else if (key.CompareNoCase("spots") == 0)
            result.spots = static_cast<int>(std::clamp(value, -1L, 100L));
        else if (key.CompareNoCase("edges") == 0)
            result.edges = value != 0 ? 1 : 0;
        else
            return FALSE;
    }
    if (result.end < result.begin || result.rate < 1 || result.rate > 100000 || result.width < 8 ||
        result.width > 4096 || result.height < 8 || result.height > 4096 || result.spots < 0 ||
        result.spots > kMaxGenSpots)
        return FALSE;
    *settings = result;
    return TRUE;
}

COLORREF GenFrameColour(long frame) {
    const auto code = static_cast<DWORD>(frame + 0x800000) & 0xFFFFFFu;
    return RGB((code >> 16) & 0xFF, (code >> 8) & 0xFF, code & 0xFF);
}

long GenFrameFromColour(int red, int green, int blue) {
    return static_cast<long>((red << 16) | (green << 8) | blue) - 0x800000;
}

POINT GenSpotCentre(const GenRecordingSettings& settings, int k, long frame) {
    const long t = frame - settings.begin;
    if (settings.edges != 0) {
        if (k == settings.spots - 1)
            return POINT{static_cast<LONG>(settings.width - 12 + 2 * t), settings.height / 2};
        if (k == settings.spots - 2)
            return POINT{settings.width - 1, 0};
        return POINT{k,
                     static_cast<LONG>(static_cast<long>(settings.height) * (k + 1) / (settings.spots + 1))};
    }
    const long x = settings.width / 4 + 2 * t;
    const long y =
        static_cast<long>(settings.height) * (k + 1) / (settings.spots + 1) + (k % 2 == 0 ? -t : t);
    return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
}

// --- Document ---------------------------------------------------------------------------------------

CGenRecordingDoc::CGenRecordingDoc() = default;

CGenRecordingDoc::~CGenRecordingDoc() {
    // The thread may still be making a frame: it ends first.
    StopPlayThread();
    SetFrameBitmap(nullptr);
    if (m_hBitmap != nullptr)
        DeleteObject(m_hBitmap);
}

void CGenRecordingDoc::Open(const GenRecordingSettings& settings) {
    m_settings = settings;
    SetRecordBegin(settings.begin);
    SetRecordEnd(settings.end);
    SetPlayBegin(settings.begin);
    SetPlayEnd(settings.end);
    SetFrameRate(settings.rate);
    SetTypeText("gen");
    SetCurrentFrame(settings.begin, FALSE);
}

BOOL CGenRecordingDoc::OnNewDocument() {
    if (!CVesloDoc::OnNewDocument())
        return FALSE;
    Open(GenRecordingSettings());
    return TRUE;
}

BOOL CGenRecordingDoc::OnOpenDocument(LPCTSTR lpszPathName) {
    const CString path = lpszPathName != nullptr ? lpszPathName : "";
    CString text;
    if (path.Left(static_cast<int>(std::strlen(kGenPrefix))) == kGenPrefix) {
        text = path.Mid(static_cast<int>(std::strlen(kGenPrefix)));
    } else {
        CStdioFile file;
        if (!file.Open(path, CFile::modeRead | CFile::typeText)) {
            AfxMessageBox("Can't open", MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
        }
        CString line;
        while (file.ReadString(line))
            text += line + "\n";
    }
    GenRecordingSettings settings;
    if (!ParseGenRecordingSettings(text, &settings)) {
        AfxMessageBox("Can't open", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetSourcePath(path, FALSE);
    SetPathText(path);
    Open(settings);
    return TRUE;
}

void CGenRecordingDoc::LoadFrame(long frame) {
    CCriticalSectionLock lock(GetFrameLock());
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap =
        dc != nullptr ? CreateCompatibleBitmap(dc, m_settings.width, m_settings.height) : nullptr;
    if (bitmap == nullptr) {
        if (dc != nullptr)
            DeleteDC(dc);
        return;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(GenFrameColour(frame));
    const RECT all{0, 0, m_settings.width, m_settings.height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    CString number;
    number.Format("%ld", frame);
    // The spots: a dark ring round a bright core, each centred on its pixel.
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    for (int k = 0; k < m_settings.spots; ++k) {
        const POINT c = GenSpotCentre(m_settings, k, frame);
        const int radii[2] = {kGenSpotRadius, kGenSpotCoreRadius};
        const COLORREF colours[2] = {RGB(0, 0, 0), RGB(255, 255, 255)};
        for (int i = 0; i < 2; ++i) {
            HBRUSH spot = CreateSolidBrush(colours[i]);
            HGDIOBJ oldBrush = SelectObject(dc, spot);
            // Without a pen the filled area ends one pixel short of the right and bottom edges.
            Ellipse(dc, c.x - radii[i], c.y - radii[i], c.x + radii[i] + 2, c.y + radii[i] + 2);
            SelectObject(dc, oldBrush);
            DeleteObject(spot);
        }
    }
    SelectObject(dc, oldPen);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, m_settings.width / 2 - 4 * number.GetLength(), m_settings.height / 2 - 7, number,
             number.GetLength());
    SelectObject(dc, old);
    DeleteDC(dc);
    SetFrameBitmap(bitmap);
    if (m_hBitmap != nullptr)
        DeleteObject(m_hBitmap);
    m_hBitmap = bitmap;
    ++m_nLoads;
}

CString CGenRecordingDoc::GetInformation() {
    CString text;
    text.Format("Generated recording\r\nFrames=%ld..%ld\r\nRate=%d\r\nSize=%dx%d\r\n", m_settings.begin,
                m_settings.end, GetFrameRate(), m_settings.width, m_settings.height);
    return text;
}

// --- View -------------------------------------------------------------------------------------------

void CGenRecordingView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    TakeDocumentBitmap();
    CTrackingView::OnUpdate(pSender, lHint, pHint);
}

LRESULT CGenRecordingView::OnFrameChanged() {
    ++m_nFrameChanges;
    TakeDocumentBitmap();
    return CTrackingView::OnFrameChanged();
}

// --- Template ---------------------------------------------------------------------------------------

CMultiDocTemplate* RegisterGenRecordingTemplate(CWinApp* app) {
    AfxRegisterString(IDR_GENRECORDING, "\nGenerated\nGenerated\nGenerated recordings (*.gen)\n.gen\n");
    AfxRegisterMenu(IDR_GENRECORDING, BuildRecordingMenu());
    auto* docTemplate =
        new CMultiDocTemplate(IDR_GENRECORDING, RUNTIME_CLASS(CGenRecordingDoc),
                              RUNTIME_CLASS(CGenRecordingFrame), RUNTIME_CLASS(CGenRecordingView));
    if (app != nullptr)
        app->AddDocTemplate(docTemplate);
    return docTemplate;
}
