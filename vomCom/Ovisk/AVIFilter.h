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
#include "vomCom/Ovisk/WinAvi.h"

ComModuleState& OviskModule();

class CAVIFilter : public DispatchObject {
public:
    CAVIFilter();
    ~CAVIFilter() override;

protected:
    HRESULT InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) override;

    // A hook of derived servers; this one has nothing to add.
    virtual LONG Hook() { return 0; }
    virtual HRESULT DrawFrame(HDC dc, LONG left, LONG top, LONG right, LONG bottom, LONG frame);

private:
    // Loads text id, traces "%s(%d):%s" and sets the error information; returns DISP_E_EXCEPTION.
    HRESULT Report(int id, const char* file, int line);
    bool Opened() const { return !m_fileName.empty(); }

    HRESULT SetHandle(const DispArgs& args);
    HRESULT Open(const std::string& name);
    HRESULT Close();
    HRESULT Jump(LONG frame);
    HRESULT SceneIndex(WORD flags, const DispArgs& args, VARIANT* result);
    HRESULT SetImageRect(LONG x, LONG y, LONG width, LONG height);
    HRESULT GetRange(LONG stream, LONG* begin, LONG* end);
    HRESULT GetImage(LONG frame, void* buffer, ULONG_PTR capacity, LONG* size);
    HRESULT GetBitmap(LONG frame, void* buffer, ULONG_PTR capacity, LONG* size);
    HRESULT GetBitmapSize(LONG frame, LONG* size);
    HRESULT GetStreamOptionData(LONG fcc, void* buffer, ULONG_PTR capacity, LONG* length);

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
