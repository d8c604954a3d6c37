// A recording type made for tests and demonstrations: its frames are generated, each showing its own
// number, written as text and coded in the picture's colour so that a program reading the window's
// pixels can tell which frame is shown. It is opened from a name "gen:key=value,..." or from a small
// text file of "key=value" lines; the keys are begin and end (record range), rate (frames per
// second), width and height (picture size) and spots (0 to 8 ring-shaped spots that move across the
// picture, for tracking) and edges (1 puts the spots at the picture's edge instead, see GenSpotCentre).
// Unset keys keep begin=0, end=99, rate=100, 160 x 120, no spots, edges=0. The
// recording carries the tracking layer; made by File New it starts without tracking setup.
#pragma once

#include <atomic>

#include "KivIc/Tracking/TrackingChildFrame.h"
#include "KivIc/Tracking/TrackingDoc.h"
#include "KivIc/Tracking/TrackingView.h"

// Resource id of the template (title, document strings and menu).
constexpr UINT IDR_GENRECORDING = 149;

struct GenRecordingSettings {
    long begin = 0;
    long end = 99;
    int rate = 100;
    int width = 160;
    int height = 120;
    int spots = 0;
    int edges = 0;
};

// The most spots a recording may carry.
constexpr int kMaxGenSpots = 8;
// Outer and inner radius of a spot's dark ring and bright core.
constexpr int kGenSpotRadius = 7;
constexpr int kGenSpotCoreRadius = 3;

// Reads "key=value" items separated by commas, semicolons or line ends; FALSE on an unknown key, a
// malformed number, an empty or reversed range, a rate outside 1..100000 or a size outside 8..4096.
BOOL ParseGenRecordingSettings(const CString& text, GenRecordingSettings* settings);

// The picture colour of a frame: frame + 0x800000 as 24 bits, red the high byte, blue the low one.
COLORREF GenFrameColour(long frame);
// The frame whose colour this is (the inverse of GenFrameColour).
long GenFrameFromColour(int red, int green, int blue);
// The pixel (column, row from the top) at the centre of spot k (0-based) on the frame: spot k starts
// at a quarter of the width, at (k + 1) / (spots + 1) of the height, on the first frame of the record
// range and moves 2 pixels right and 1 up (even k) or down (odd k) per frame. With edges=1 the spots
// lie at the edge instead: all but the last two stand still at k pixels from the left edge, at
// (k + 1) / (spots + 1) of the height; the last but one stands still in the top right corner; the
// last starts 12 pixels from the right edge half way down and moves 2 pixels right per frame, out of
// the picture.
POINT GenSpotCentre(const GenRecordingSettings& settings, int k, long frame);

class CGenRecordingDoc : public CTrackingDoc {
    DECLARE_DYNCREATE(CGenRecordingDoc)
public:
    CGenRecordingDoc();
    ~CGenRecordingDoc() override;

    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    BOOL OnNewDocument() override;
    void LoadFrame(long frame) override;
    CString GetNoteText() override { return CString(); }
    int GetDocKind() override { return 3; }
    CString GetInformation() override;

    const GenRecordingSettings& GetSettings() const { return m_settings; }
    // How many frames were made (each LoadFrame makes one).
    int GetLoadCount() const { return m_nLoads.load(); }

private:
    void Open(const GenRecordingSettings& settings);

    GenRecordingSettings m_settings;
    HBITMAP m_hBitmap = nullptr;
    std::atomic<int> m_nLoads{0};
};

// Takes the document's picture on every update and frame change, and counts the frame changes.
class CGenRecordingView : public CTrackingView {
    DECLARE_DYNCREATE(CGenRecordingView)
public:
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    LRESULT OnFrameChanged() override;
    int GetFrameChangeCount() const { return m_nFrameChanges; }

private:
    int m_nFrameChanges = 0;
};

class CGenRecordingFrame : public CTrackingChildFrame {
    DECLARE_DYNCREATE(CGenRecordingFrame)
};

// Registers the template's strings and menu and adds the template to the application (which owns it).
CMultiDocTemplate* RegisterGenRecordingTemplate(CWinApp* app);
