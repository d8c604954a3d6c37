// The raw camera file server's dual interface IBremFc: one member per operation of its type library,
// in DISPID order. Calling a member here and invoking its DISPID through IDispatch give the same
// results and HRESULTs. A failing member returns DISP_E_EXCEPTION (or the code it names) and leaves
// its description in the thread's error information. Buffers travel as a ComBuffer (address and
// capacity); a BSTR result belongs to the caller.
//
// The program's dispatch wrapper (KivIc/Servers/brem_fc.h) bears the same name; the two never meet in
// one binary.
#pragma once

#include "fc/BREM_FC/BremFcIds.h"
#include "platform/com/interfaces.h"

struct IBremFc : IDispatch {
    virtual HRESULT Open(BSTR sFileNm) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT ConvertBitmap(ComBuffer ptr) = 0;
    virtual HRESULT GetAWBSamplePos(SHORT* pX, SHORT* pY) = 0;
    virtual HRESULT SetAwbSamplePos(SHORT nX, SHORT nY) = 0;
    virtual HRESULT get_BitmapSize(LONG* pVal) = 0;
    virtual HRESULT get_Brightness(SHORT* pVal) = 0;
    virtual HRESULT put_Brightness(SHORT newVal) = 0;
    virtual HRESULT get_CameraSN(LONG* pVal) = 0;
    virtual HRESULT get_CameraVer(LONG* pVal) = 0;
    virtual HRESULT get_CameraType(LONG* pVal) = 0;
    virtual HRESULT get_CameraID(SHORT* pVal) = 0;
    virtual HRESULT get_Contrast(SHORT* pVal) = 0;
    virtual HRESULT put_Contrast(SHORT newVal) = 0;
    virtual HRESULT get_CurrentFrame(LONG* pVal) = 0;
    virtual HRESULT put_CurrentFrame(LONG newVal) = 0;
    virtual HRESULT get_DispPixels(LONG* pVal) = 0;
    virtual HRESULT get_EnableLPF(LONG* pVal) = 0;
    virtual HRESULT put_EnableLPF(LONG newVal) = 0;
    virtual HRESULT get_Enhance(SHORT* pVal) = 0;
    virtual HRESULT put_Enhance(SHORT newVal) = 0;
    virtual HRESULT get_FrameLength(LONG* pVal) = 0;
    virtual HRESULT get_FramePixels(LONG* pVal) = 0;
    virtual HRESULT get_FrameRate(LONG* pVal) = 0;
    virtual HRESULT get_Gain(SHORT* pVal) = 0;
    virtual HRESULT put_Gain(SHORT newVal) = 0;
    virtual HRESULT get_Gamma(SHORT* pVal) = 0;
    virtual HRESULT put_Gamma(SHORT newVal) = 0;
    virtual HRESULT get_BayerPos(SHORT* pVal) = 0;
    virtual HRESULT put_BayerPos(SHORT newVal) = 0;
    virtual HRESULT get_ImageLength(LONG* pVal) = 0;
    virtual HRESULT get_FileVer(LONG* pVal) = 0;
    virtual HRESULT get_NumFrames(LONG* pVal) = 0;
    virtual HRESULT get_MemorySize(LONG* pVal) = 0;
    virtual HRESULT get_RecordedBegin(LONG* pVal) = 0;
    virtual HRESULT get_RecordedEnd(LONG* pVal) = 0;
    virtual HRESULT get_SegmentNo(SHORT* pVal) = 0;
    virtual HRESULT get_ShutterSpeed(LONG* pVal) = 0;
    virtual HRESULT get_TriggerTime(BSTR* pVal) = 0;
    virtual HRESULT get_VideoType(SHORT* pVal) = 0;
    virtual HRESULT get_WhiteBalance(SHORT* pVal) = 0;
    virtual HRESULT put_WhiteBalance(SHORT newVal) = 0;
    virtual HRESULT get_Zoom(SHORT* pVal) = 0;
    virtual HRESULT get_Chroma(SHORT* pVal) = 0;
    virtual HRESULT put_Chroma(SHORT newVal) = 0;
    virtual HRESULT get_FileLength(LONG* pVal) = 0;
    virtual HRESULT CustomGainDlg() = 0;
    virtual HRESULT CustomChromaDlg() = 0;
    virtual HRESULT get_WBGainR(SHORT* pVal) = 0;
    virtual HRESULT putref_WBGainR(SHORT newVal) = 0;
    virtual HRESULT get_WBGainG(SHORT* pVal) = 0;
    virtual HRESULT putref_WBGainG(SHORT newVal) = 0;
    virtual HRESULT get_WBGainB(SHORT* pVal) = 0;
    virtual HRESULT putref_WBGainB(SHORT newVal) = 0;
    virtual HRESULT get_FilterPosX(SHORT* pVal) = 0;
    virtual HRESULT put_FilterPosX(SHORT newVal) = 0;
    virtual HRESULT get_FilterPosY(SHORT* pVal) = 0;
    virtual HRESULT put_FilterPosY(SHORT newVal) = 0;
    virtual HRESULT GetBayerFilter(INT rgb, INT bayer, INT pos, INT* val) = 0;
    virtual HRESULT SetBayerFilter(INT rgb, INT bayer, INT pos, INT val) = 0;
    virtual HRESULT get_ShowBayer(LONG* pVal) = 0;
    virtual HRESULT put_ShowBayer(LONG newVal) = 0;
    virtual HRESULT get_BayerCursorPos(LONG* pVal) = 0;
    virtual HRESULT put_BayerCursorPos(LONG newVal) = 0;
    virtual HRESULT WriteFilter(BSTR FileNm) = 0;
    virtual HRESULT GetYcMatrixFilter(INT yuv, INT rgb, INT* coeff) = 0;
    virtual HRESULT get_RecGain(SHORT* pVal) = 0;
    virtual HRESULT get_SceneNo(SHORT* pVal) = 0;
    // Addition of this platform: the settings record of the current colour pipeline (see
    // BREMFC_CLONEPIPELINE); *pSize gets the record's size in bytes.
    virtual HRESULT ClonePipeline(ComBuffer ptr, LONG* pSize) = 0;

protected:
    ~IBremFc() = default;
};
