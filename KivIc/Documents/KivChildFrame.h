// The raw camera window: the Image menu's colour settings (gain, white balance with the sample mode,
// enhance, gamma, chroma) with check marks on the document's current values, Reload and the enabling
// of "Save as", and the control bar's brightness, contrast and chroma fields, applied when the field
// loses the focus.
#pragma once

#include "KivIc/Documents/AviChildFrame.h"

class CFcDoc;

class CKivChildFrame : public CAviChildFrame {
    DECLARE_DYNCREATE(CKivChildFrame)
public:
    CKivChildFrame();
    ~CKivChildFrame() override;

    CFcDoc* GetFcDoc() const;

    // Each puts the value into the document and shows the frame again unless the document plays.
    void SetGain(short value);
    void SetWhiteBalance(short value);
    void SetEnhance(short value);
    void SetGamma(short value);
    // Also writes the value into the chroma field.
    void SetChroma(short value);
    void SetBrightness(short value);
    void SetContrast(short value);

    // Any activation change ends the white-balance sample mode.
    void SyncControlBar(BOOL bActive) override;
    // The colour fields show the document's brightness, contrast and chroma; empty while its recording
    // is not open.
    void ShowColourSettings() override;
    // Reload opens the recording anew with the settings it was recorded with: the colour fields then
    // show those.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // Brightness (-200..200), contrast (0..6400) and chroma (0..200): a value outside its range puts
    // the document's current one back into the field, a changed one is applied; zoom as the playback
    // frame has it.
    void OnCtrlBarValue(int id, int value) override;
    // Enter is consumed (the fields apply when they lose the focus); Escape gets the framework's
    // handling, or ends a tracking run.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void OnImageSetting(UINT nID);
    void OnUpdateImageSetting(CCmdUI* pCmdUI);
    void OnWhiteBalanceManual();
    void OnUpdateWhiteBalanceManual(CCmdUI* pCmdUI);
    void OnUpdateReload(CCmdUI* pCmdUI);
    void OnUpdateConvertSave(CCmdUI* pCmdUI);
    void OnUpdateFrameRate(CCmdUI* pCmdUI);
    void OnKillFocusBrightness();
    void OnKillFocusContrast();
    void OnKillFocusChroma();
    DECLARE_MESSAGE_MAP()

private:
    // The field's number, or the field's value put back when it holds none.
    void ApplyField(int id);
    // The document's value of a field's setting; FALSE without one.
    BOOL ReadFieldSetting(int id, short* pValue);
};
