// The raw camera file server's one class: opens a recording, hands out its header values, keeps the
// colour pipeline's settings and converts the current frame into a caller's buffer.
#pragma once

#include <memory>
#include <type_traits>

#include "fc/BREM_FC/BREMF.h"
#include "fc/BREM_FC/BayerImageDlg.h"
#include "fc/BREM_FC/IBremFc.h"
#include "fc/WqFc/BremIc.h"
#include "platform/com/server.h"

ComModuleState& BremFcModule();
// The server's type library BREM_FCLib 1.0: IBremFc and the class BremFc.
extern const ComLibraryDesc kBremFcLibrary;

class CBremFc final : public DualObject<IBremFc> {
public:
    CBremFc();
    ~CBremFc() override;

    HRESULT Open(BSTR sFileNm) override;
    HRESULT Close() override;
    HRESULT ConvertBitmap(ComBuffer ptr) override;
    HRESULT GetAWBSamplePos(SHORT* pX, SHORT* pY) override;
    HRESULT SetAwbSamplePos(SHORT nX, SHORT nY) override;
    HRESULT get_BitmapSize(LONG* pVal) override;
    HRESULT get_Brightness(SHORT* pVal) override;
    HRESULT put_Brightness(SHORT newVal) override;
    HRESULT get_CameraSN(LONG* pVal) override;
    HRESULT get_CameraVer(LONG* pVal) override;
    HRESULT get_CameraType(LONG* pVal) override;
    HRESULT get_CameraID(SHORT* pVal) override;
    HRESULT get_Contrast(SHORT* pVal) override;
    HRESULT put_Contrast(SHORT newVal) override;
    HRESULT get_CurrentFrame(LONG* pVal) override;
    HRESULT put_CurrentFrame(LONG newVal) override;
    HRESULT get_DispPixels(LONG* pVal) override;
    HRESULT get_EnableLPF(LONG* pVal) override;
    HRESULT put_EnableLPF(LONG newVal) override;
    HRESULT get_Enhance(SHORT* pVal) override;
    HRESULT put_Enhance(SHORT newVal) override;
    HRESULT get_FrameLength(LONG* pVal) override;
    HRESULT get_FramePixels(LONG* pVal) override;
    HRESULT get_FrameRate(LONG* pVal) override;
    HRESULT get_Gain(SHORT* pVal) override;
    HRESULT put_Gain(SHORT newVal) override;
    HRESULT get_Gamma(SHORT* pVal) override;
    HRESULT put_Gamma(SHORT newVal) override;
    HRESULT get_BayerPos(SHORT* pVal) override;
    HRESULT put_BayerPos(SHORT newVal) override;
    HRESULT get_ImageLength(LONG* pVal) override;
    HRESULT get_FileVer(LONG* pVal) override;
    HRESULT get_NumFrames(LONG* pVal) override;
    HRESULT get_MemorySize(LONG* pVal) override;
    HRESULT get_RecordedBegin(LONG* pVal) override;
    HRESULT get_RecordedEnd(LONG* pVal) override;
    HRESULT get_SegmentNo(SHORT* pVal) override;
    HRESULT get_ShutterSpeed(LONG* pVal) override;
    HRESULT get_TriggerTime(BSTR* pVal) override;
    HRESULT get_VideoType(SHORT* pVal) override;
    HRESULT get_WhiteBalance(SHORT* pVal) override;
    HRESULT put_WhiteBalance(SHORT newVal) override;
    HRESULT get_Zoom(SHORT* pVal) override;
    HRESULT get_Chroma(SHORT* pVal) override;
    HRESULT put_Chroma(SHORT newVal) override;
    HRESULT get_FileLength(LONG* pVal) override;
    HRESULT CustomGainDlg() override;
    HRESULT CustomChromaDlg() override;
    HRESULT get_WBGainR(SHORT* pVal) override;
    HRESULT putref_WBGainR(SHORT newVal) override;
    HRESULT get_WBGainG(SHORT* pVal) override;
    HRESULT putref_WBGainG(SHORT newVal) override;
    HRESULT get_WBGainB(SHORT* pVal) override;
    HRESULT putref_WBGainB(SHORT newVal) override;
    HRESULT get_FilterPosX(SHORT* pVal) override;
    HRESULT put_FilterPosX(SHORT newVal) override;
    HRESULT get_FilterPosY(SHORT* pVal) override;
    HRESULT put_FilterPosY(SHORT newVal) override;
    HRESULT GetBayerFilter(INT rgb, INT bayer, INT pos, INT* val) override;
    HRESULT SetBayerFilter(INT rgb, INT bayer, INT pos, INT val) override;
    HRESULT get_ShowBayer(LONG* pVal) override;
    HRESULT put_ShowBayer(LONG newVal) override;
    HRESULT get_BayerCursorPos(LONG* pVal) override;
    HRESULT put_BayerCursorPos(LONG newVal) override;
    HRESULT WriteFilter(BSTR FileNm) override;
    HRESULT GetYcMatrixFilter(INT yuv, INT rgb, INT* coeff) override;
    HRESULT get_RecGain(SHORT* pVal) override;
    HRESULT get_SceneNo(SHORT* pVal) override;
    HRESULT ClonePipeline(ComBuffer ptr, LONG* pSize) override;

protected:
    std::string DescribeException(std::exception_ptr error) const override;

private:
    HRESULT OpenFile(const std::string& path);
    void CloseFile();
    void ConvertInto(void* buffer, ULONG_PTR capacity);
    void SelectFrame(long frame);
    std::string TriggerTimeText() const;
    void RequireOpen() const;
    // Both as Open left them; only while a file is open.
    const BREMF& Reader() const { return *m_reader; }
    BremIc& Pipeline() const { return *m_pipeline; }
    // Stores the filter position and hands the resulting Bayer phase to the dialog.
    void SetFilterPos(int x, int y);

    // A member that needs an open file: stores what value() gives in *out.
    template <class T, class Value> HRESULT Read(T* out, Value value) {
        if (!out)
            return E_POINTER;
        return Guard([&] {
            RequireOpen();
            *out = static_cast<T>(value());
            return S_OK;
        });
    }
    // A member that needs an open file and changes something; body may return its own HRESULT.
    template <class Body> HRESULT Change(Body body) {
        return Guard([&] {
            RequireOpen();
            if constexpr (std::is_void_v<std::invoke_result_t<Body>>) {
                body();
                return S_OK;
            } else {
                return body();
            }
        });
    }

    std::unique_ptr<BREMF> m_reader;
    std::unique_ptr<BremIc> m_pipeline;
    BYTE* m_frame = nullptr; // the reader's frame buffer
    long m_current = 0;
    bool m_open = false;
    CBayerImageDlg m_dialog;
    long m_cursor = 0; // BayerCursorPos: x in the high word, y in the low word
};
