// The properties of the raw camera file server: the header's values (read only), the frame selection
// and the colour pipeline's settings.
#include <cstdint>

#include "fc/BREM_FC/BremFc.h"

// --- Header values ----------------------------------------------------------------------------------

HRESULT CBremFc::get_BitmapSize(LONG* pVal) {
    return Read(pVal, [&] { return Pipeline().BitmapSize(); });
}
HRESULT CBremFc::get_CameraSN(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetCameraSN(); });
}
HRESULT CBremFc::get_CameraVer(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetCameraVer(); });
}
HRESULT CBremFc::get_CameraType(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetCameraType(); });
}
HRESULT CBremFc::get_CameraID(SHORT* pVal) {
    return Read(pVal, [&] { return Reader().GetCameraID(); });
}
HRESULT CBremFc::get_DispPixels(LONG* pVal) {
    return Read(pVal, [&] {
        return static_cast<DWORD>(Reader().GetDispWidth()) * 65536u + Reader().GetDispHeight();
    });
}
HRESULT CBremFc::get_FrameLength(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetFrameWidth() * Reader().GetFrameHeight(); });
}
HRESULT CBremFc::get_FramePixels(LONG* pVal) {
    return Read(pVal, [&] {
        return static_cast<DWORD>(Reader().GetFrameWidth()) * 65536u + Reader().GetFrameHeight();
    });
}
HRESULT CBremFc::get_FrameRate(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetFrameRate(); });
}
HRESULT CBremFc::get_ImageLength(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetImageLength(); });
}
HRESULT CBremFc::get_FileVer(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetFileVer(); });
}
HRESULT CBremFc::get_NumFrames(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetNumFrames(); });
}
HRESULT CBremFc::get_MemorySize(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetMemorySize(); });
}
HRESULT CBremFc::get_RecordedBegin(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetFirstFrame(); });
}
HRESULT CBremFc::get_RecordedEnd(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetLastFrame(); });
}
HRESULT CBremFc::get_SegmentNo(SHORT* pVal) {
    return Read(pVal, [&] { return Reader().GetSegmentNo(); });
}
HRESULT CBremFc::get_ShutterSpeed(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetShutterSpeed(); });
}
HRESULT CBremFc::get_TriggerTime(BSTR* pVal) {
    return Read(pVal, [&] { return BstrFromUtf8(TriggerTimeText().c_str()); });
}
HRESULT CBremFc::get_VideoType(SHORT* pVal) {
    return Read(pVal, [&] { return Reader().GetVideoType(); });
}
HRESULT CBremFc::get_Zoom(SHORT* pVal) {
    return Read(pVal, [&] { return Reader().GetZoom(); });
}
HRESULT CBremFc::get_FileLength(LONG* pVal) {
    return Read(pVal, [&] { return Reader().GetFileLength(); });
}
HRESULT CBremFc::get_RecGain(SHORT* pVal) {
    return Read(pVal, [&] { return Reader().GetRecGain(); });
}
HRESULT CBremFc::get_SceneNo(SHORT* pVal) {
    return Read(pVal, [&] { return Reader().GetSceneNo(); });
}

// --- Frame selection --------------------------------------------------------------------------------

HRESULT CBremFc::get_CurrentFrame(LONG* pVal) {
    return Read(pVal, [&] { return m_current; });
}
HRESULT CBremFc::put_CurrentFrame(LONG newVal) {
    return Change([&] { SelectFrame(newVal); });
}

// --- Pipeline settings ------------------------------------------------------------------------------

HRESULT CBremFc::get_Brightness(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Brightness(); });
}
HRESULT CBremFc::put_Brightness(SHORT newVal) {
    return Change([&] { Pipeline().SetBrightness(newVal); });
}
HRESULT CBremFc::get_Contrast(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Contrast(); });
}
HRESULT CBremFc::put_Contrast(SHORT newVal) {
    return Change([&] { Pipeline().SetContrast(newVal); });
}
HRESULT CBremFc::get_EnableLPF(LONG* pVal) {
    return Read(pVal, [&] { return Pipeline().EnableLPF() ? 1 : 0; });
}
HRESULT CBremFc::put_EnableLPF(LONG newVal) {
    return Change([&] { Pipeline().SetEnableLPF(newVal != 0); });
}
HRESULT CBremFc::get_Enhance(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Enhance(); });
}
HRESULT CBremFc::put_Enhance(SHORT newVal) {
    return Change([&] { Pipeline().SetEnhance(newVal); });
}
HRESULT CBremFc::get_Gain(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Gain(); });
}
HRESULT CBremFc::put_Gain(SHORT newVal) {
    return Change([&] { Pipeline().SetGain(newVal); });
}
HRESULT CBremFc::get_Gamma(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Gamma(); });
}
HRESULT CBremFc::put_Gamma(SHORT newVal) {
    return Change([&] { Pipeline().SetGamma(newVal); });
}
HRESULT CBremFc::get_WhiteBalance(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().WhiteBalance(); });
}
HRESULT CBremFc::put_WhiteBalance(SHORT newVal) {
    return Change([&] { Pipeline().SetWhiteBalance(newVal); });
}
HRESULT CBremFc::get_Chroma(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Chroma(); });
}
HRESULT CBremFc::put_Chroma(SHORT newVal) {
    return Change([&] { Pipeline().SetChroma(newVal); });
}
HRESULT CBremFc::get_WBGainR(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().WBGainR(); });
}
HRESULT CBremFc::putref_WBGainR(SHORT newVal) {
    return Change([&] { Pipeline().SetWBGainR(newVal); });
}
HRESULT CBremFc::get_WBGainG(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().WBGainG(); });
}
HRESULT CBremFc::putref_WBGainG(SHORT newVal) {
    return Change([&] { Pipeline().SetWBGainG(newVal); });
}
HRESULT CBremFc::get_WBGainB(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().WBGainB(); });
}
HRESULT CBremFc::putref_WBGainB(SHORT newVal) {
    return Change([&] { Pipeline().SetWBGainB(newVal); });
}

// --- Bayer filter position and the neighbourhood dialog ---------------------------------------------

void CBremFc::SetFilterPos(int x, int y) {
    Pipeline().SetFilterPos(x, y);
    m_dialog.SetPhase(Pipeline().Bayer().FilterPosY() * 2 + Pipeline().Bayer().FilterPosX());
}

HRESULT CBremFc::get_BayerPos(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Bayer().FilterPosY() * 2 + Pipeline().Bayer().FilterPosX(); });
}
HRESULT CBremFc::put_BayerPos(SHORT newVal) {
    return Change([&] { SetFilterPos(newVal & 1, newVal >> 1); });
}
HRESULT CBremFc::get_FilterPosX(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Bayer().FilterPosX(); });
}
HRESULT CBremFc::put_FilterPosX(SHORT newVal) {
    return Change([&] {
        SetFilterPos(newVal, Pipeline().Bayer().FilterPosY());
        m_dialog.Refresh();
    });
}
HRESULT CBremFc::get_FilterPosY(SHORT* pVal) {
    return Read(pVal, [&] { return Pipeline().Bayer().FilterPosY(); });
}
HRESULT CBremFc::put_FilterPosY(SHORT newVal) {
    return Change([&] {
        SetFilterPos(Pipeline().Bayer().FilterPosX(), newVal);
        m_dialog.Refresh();
    });
}

HRESULT CBremFc::get_ShowBayer(LONG* pVal) {
    return Read(pVal, [&] { return m_dialog.HasWindow() ? 1 : 0; });
}
HRESULT CBremFc::put_ShowBayer(LONG newVal) {
    return Change([&] {
        if (newVal == 1 && !m_dialog.HasWindow()) {
            if (!m_dialog.Create())
                return Error("ShowBayer: no window system in this process", E_FAIL);
        } else {
            m_dialog.Destroy();
        }
        return S_OK;
    });
}

// The cursor position needs no file: the dialog shows "---" where there is no picture.
HRESULT CBremFc::get_BayerCursorPos(LONG* pVal) {
    if (!pVal)
        return E_POINTER;
    *pVal = m_cursor;
    return S_OK;
}
HRESULT CBremFc::put_BayerCursorPos(LONG newVal) {
    return Guard([&] {
        m_cursor = newVal;
        const auto x = static_cast<std::int16_t>(static_cast<std::uint32_t>(newVal) >> 16);
        const auto y = static_cast<std::int16_t>(newVal & 0xFFFF);
        m_dialog.SetCursor(x, y);
        m_dialog.Refresh();
        return S_OK;
    });
}
