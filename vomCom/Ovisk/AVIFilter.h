// The AVI filter server's one class: opens an AVI file through its reader, selects a video stream
// (scene) and a frame, and hands the frame out as pixels or as a packed bitmap, or draws it into a
// device context. Every failure carries a text of the server's string table.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/com/server.h"
#include "platform/gdi/gdi.h"
#include "platform/vfw/drawdib.h"
#include "vomCom/Ovisk/IAVIFilter.h"
#include "vomCom/Ovisk/OviskStrings.h"
#include "vomCom/Ovisk/WinAvi.h"

ComModuleState& OviskModule();
// The server's type library OVISKLib 1.0: IAVIFilter and the class AVIFilter.
extern const ComLibraryDesc kOviskLibrary;

class CAVIFilter : public DualObject<IAVIFilter> {
public:
    CAVIFilter();
    ~CAVIFilter() override;

    HRESULT SetHandle(HDC lhDC) override;
    HRESULT Open(BSTR bstrFname) override;
    HRESULT Close() override;
    HRESULT Jump(LONG lFrame) override;
    HRESULT GetFrameCount(LONG* lpFrameCount) override;
    HRESULT GetImageSize(LONG* lpWidth, LONG* lpHeight) override;
    HRESULT Draw() override;
    HRESULT SetDrawRect(LONG lX, LONG lY, LONG lWidth, LONG lHeight) override;
    HRESULT SetImageRect(LONG lX, LONG lY, LONG lWidth, LONG lHeight) override;
    HRESULT get_SceneIndex(LONG* pVal) override;
    HRESULT put_SceneIndex(LONG newVal) override;
    HRESULT GetFrameRate(LONG* lpFrameRate) override;
    HRESULT GetRange(LONG lStream, LONG* plBeg, LONG* plEnd) override;
    HRESULT GetImage(LONG lFrame, ComBuffer pImage, LONG* pImageSize) override;
    HRESULT GetBitmap(LONG lFrame, ComBuffer lphBmp, LONG* lpImageSize) override;
    HRESULT GetBitmapSize(LONG lFrame, LONG* lpSize) override;
    HRESULT GetStreamOptionData(LONG fccType, ComBuffer lpData, LONG* lpLength) override;

protected:
    // A hook of derived servers; this one has nothing to add.
    virtual LONG Hook() { return 0; }
    virtual HRESULT DrawFrame(HDC dc, LONG left, LONG top, LONG right, LONG bottom, LONG frame);

private:
    // Loads text id, traces "%s(%d):%s" and sets the error information; returns DISP_E_EXCEPTION.
    HRESULT Report(int id, const char* file, int line);
    // Message 101 for a member that needs an opened file; E_FAIL.
    HRESULT NotOpened(const char* file, int line);
    bool Opened() const { return !m_fileName.empty(); }
    // Runs a member's body once the reader exists (message 106 otherwise), catching everything.
    template <class Body> HRESULT Run(Body body) {
        return Guard([&] {
            if (!m_reader)
                return Report(IDS_NO_READER, __FILE__, __LINE__);
            return body();
        });
    }

    HRESULT OpenFile(const std::string& name);
    LONG FrameOrCurrent(LONG frame) const { return frame < 0 ? m_frame : frame; }
    // Whether frame lies within [start, start + length] of the selected stream.
    bool FrameInRange(LONG frame);
    // The header a self-decoded frame is handed out with.
    BITMAPINFOHEADER DecodedHeader() const;
    // Decodes frame into m_scratch (self-decoded files).
    bool DecodeToScratch(LONG frame);

    std::string m_fileName; // opened while not empty
    std::string m_message;  // the text of the last failure
    std::unique_ptr<WinAvi> m_reader;
    HDRAWDIB m_drawDib = nullptr;
    HDC m_dc = nullptr;
    LONG m_rect[4] = {0, 0, 0, 0};
    LONG m_frame = 0;
    LONG m_streamCount = 0;
    LONG m_stream = 0;
    LONG m_width = 0;
    LONG m_height = 0;
    LONG m_frameRate = 0;
    std::vector<BYTE> m_scratch; // a self-decoded frame for drawing
};

#define OVISK_REPORT(id) Report((id), __FILE__, __LINE__)
#define OVISK_NOT_OPENED() NotOpened(__FILE__, __LINE__)
