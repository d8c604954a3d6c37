#include "KivIc/Documents/KivChildFrame.h"

#include <iterator>
#include <span>

#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Documents/FcDoc.h"
#include "KivIc/Documents/KivIds.h"
#include "KivIc/Playback/PlaybackIds.h"

IMPLEMENT_DYNCREATE(CKivChildFrame, CAviChildFrame)

BEGIN_MESSAGE_MAP(CKivChildFrame, CAviChildFrame)
ON_COMMAND_RANGE(ID_IMAGE_GAIN_0DB, ID_IMAGE_GAIN_12DB, OnImageSetting)
ON_UPDATE_COMMAND_UI_RANGE(ID_IMAGE_GAIN_0DB, ID_IMAGE_GAIN_12DB, OnUpdateImageSetting)
ON_COMMAND_RANGE(ID_IMAGE_WB_3000K, ID_IMAGE_WB_9000K, OnImageSetting)
ON_UPDATE_COMMAND_UI_RANGE(ID_IMAGE_WB_3000K, ID_IMAGE_WB_9000K, OnUpdateImageSetting)
ON_COMMAND_RANGE(ID_IMAGE_ENHANCE_OFF, ID_IMAGE_ENHANCE_HIGH, OnImageSetting)
ON_UPDATE_COMMAND_UI_RANGE(ID_IMAGE_ENHANCE_OFF, ID_IMAGE_ENHANCE_HIGH, OnUpdateImageSetting)
ON_COMMAND_RANGE(ID_IMAGE_ENHANCE_LOW, ID_IMAGE_ENHANCE_LOW, OnImageSetting)
ON_UPDATE_COMMAND_UI_RANGE(ID_IMAGE_ENHANCE_LOW, ID_IMAGE_ENHANCE_LOW, OnUpdateImageSetting)
ON_COMMAND_RANGE(ID_IMAGE_GAMMA_OFF, ID_IMAGE_GAMMA_HIGH, OnImageSetting)
ON_UPDATE_COMMAND_UI_RANGE(ID_IMAGE_GAMMA_OFF, ID_IMAGE_GAMMA_HIGH, OnUpdateImageSetting)
ON_COMMAND_RANGE(ID_IMAGE_CHROMA_BW, ID_IMAGE_CHROMA_100, OnImageSetting)
ON_UPDATE_COMMAND_UI_RANGE(ID_IMAGE_CHROMA_BW, ID_IMAGE_CHROMA_100, OnUpdateImageSetting)
ON_COMMAND_RANGE(ID_IMAGE_CHROMA_150, ID_IMAGE_CHROMA_200, OnImageSetting)
ON_UPDATE_COMMAND_UI_RANGE(ID_IMAGE_CHROMA_150, ID_IMAGE_CHROMA_200, OnUpdateImageSetting)
ON_COMMAND(ID_IMAGE_WB_MANUAL, OnWhiteBalanceManual)
ON_UPDATE_COMMAND_UI(ID_IMAGE_WB_MANUAL, OnUpdateWhiteBalanceManual)
ON_UPDATE_COMMAND_UI(ID_IMAGE_RELOAD, OnUpdateReload)
ON_UPDATE_COMMAND_UI(ID_FILE_CONVERT_SAVE, OnUpdateConvertSave)
ON_UPDATE_COMMAND_UI(ID_FRAME_RATE, OnUpdateFrameRate)
ON_EN_KILLFOCUS(IDC_CTRL_BRIGHTNESS, OnKillFocusBrightness)
ON_EN_KILLFOCUS(IDC_CTRL_CONTRAST, OnKillFocusContrast)
ON_EN_KILLFOCUS(IDC_CTRL_CHROMA, OnKillFocusChroma)
END_MESSAGE_MAP()

namespace {

// The Image menu's setting commands by group: the choices, how the frame sets the value and how the
// document reads it back for the check marks.
struct SettingGroup {
    std::span<const KivSettingCommand> commands;
    void (CKivChildFrame::*set)(short);
    short (CFcDoc::*get)();
};

const SettingGroup kSettingGroups[] = {
    {kGainCommands, &CKivChildFrame::SetGain, &CFcDoc::GetGain},
    {kWhiteBalanceCommands, &CKivChildFrame::SetWhiteBalance, &CFcDoc::GetWhiteBalance},
    {kEnhanceCommands, &CKivChildFrame::SetEnhance, &CFcDoc::GetEnhance},
    {kGammaCommands, &CKivChildFrame::SetGamma, &CFcDoc::GetGamma},
    {kChromaCommands, &CKivChildFrame::SetChroma, &CFcDoc::GetChroma},
};

// The group of a command and the value it stands for; null for other ids.
const SettingGroup* FindSetting(UINT id, short* pValue) {
    for (const SettingGroup& group : kSettingGroups) {
        for (const KivSettingCommand& command : group.commands) {
            if (command.id == id) {
                *pValue = command.value;
                return &group;
            }
        }
    }
    return nullptr;
}

// The colour fields of the control bar: the accepted values and the setting behind each.
struct SettingField {
    int id;
    int min;
    int max;
    void (CKivChildFrame::*set)(short);
    short (CFcDoc::*get)();
};

const SettingField kSettingFields[] = {
    {IDC_CTRL_BRIGHTNESS, kMinBrightness, kMaxBrightness, &CKivChildFrame::SetBrightness,
     &CFcDoc::GetBrightness},
    {IDC_CTRL_CONTRAST, kMinContrast, kMaxContrast, &CKivChildFrame::SetContrast, &CFcDoc::GetContrast},
    {IDC_CTRL_CHROMA, kMinChroma, kMaxChroma, &CKivChildFrame::SetChroma, &CFcDoc::GetChroma},
};

const SettingField* FindField(int id) {
    for (const SettingField& field : kSettingFields) {
        if (field.id == id)
            return &field;
    }
    return nullptr;
}

} // namespace

CKivChildFrame::CKivChildFrame() = default;

CKivChildFrame::~CKivChildFrame() = default;

CFcDoc* CKivChildFrame::GetFcDoc() const {
    CVesloDoc* doc = GetVesloDoc();
    return doc != nullptr && doc->IsKindOf(RUNTIME_CLASS(CFcDoc)) ? static_cast<CFcDoc*>(doc) : nullptr;
}

// --- Setters ----------------------------------------------------------------------------------------

void CKivChildFrame::SetGain(short value) {
    if (CFcDoc* doc = GetFcDoc())
        doc->ChangeSetting(&CFcDoc::PutGain, value);
}

void CKivChildFrame::SetWhiteBalance(short value) {
    if (CFcDoc* doc = GetFcDoc())
        doc->ChangeSetting(&CFcDoc::PutWhiteBalance, value);
}

void CKivChildFrame::SetEnhance(short value) {
    if (CFcDoc* doc = GetFcDoc())
        doc->ChangeSetting(&CFcDoc::PutEnhance, value);
}

void CKivChildFrame::SetGamma(short value) {
    if (CFcDoc* doc = GetFcDoc())
        doc->ChangeSetting(&CFcDoc::PutGamma, value);
}

void CKivChildFrame::SetChroma(short value) {
    CFcDoc* doc = GetFcDoc();
    if (doc != nullptr && doc->ChangeSetting(&CFcDoc::PutChroma, value))
        WriteBarField(IDC_CTRL_CHROMA, value);
}

void CKivChildFrame::SetBrightness(short value) {
    if (CFcDoc* doc = GetFcDoc())
        doc->ChangeSetting(&CFcDoc::PutBrightness, value);
}

void CKivChildFrame::SetContrast(short value) {
    if (CFcDoc* doc = GetFcDoc())
        doc->ChangeSetting(&CFcDoc::PutContrast, value);
}

// --- Image menu -------------------------------------------------------------------------------------

void CKivChildFrame::OnImageSetting(UINT nID) {
    short value = 0;
    if (const SettingGroup* group = FindSetting(nID, &value))
        (this->*group->set)(value);
}

void CKivChildFrame::OnUpdateImageSetting(CCmdUI* pCmdUI) {
    CFcDoc* doc = GetFcDoc();
    short value = 0;
    const SettingGroup* group = FindSetting(pCmdUI->m_nID, &value);
    short current = 0;
    const BOOL known = doc != nullptr && group != nullptr && doc->ReadSetting(group->get, &current);
    pCmdUI->Enable(known);
    pCmdUI->SetCheck(known && current == value ? 1 : 0);
}

void CKivChildFrame::OnWhiteBalanceManual() {
    if (CFcDoc* doc = GetFcDoc())
        doc->SetAwbSampleMode(!doc->IsAwbSampleMode());
}

void CKivChildFrame::OnUpdateWhiteBalanceManual(CCmdUI* pCmdUI) {
    CFcDoc* doc = GetFcDoc();
    pCmdUI->Enable(doc != nullptr && doc->IsSourceOpen());
    pCmdUI->SetCheck(doc != nullptr && doc->IsAwbSampleMode() ? 1 : 0);
}

void CKivChildFrame::OnUpdateReload(CCmdUI* pCmdUI) {
    pCmdUI->Enable(GetFcDoc() != nullptr);
}

void CKivChildFrame::OnUpdateConvertSave(CCmdUI* pCmdUI) {
    CFcDoc* doc = GetFcDoc();
    pCmdUI->Enable(doc != nullptr && doc->IsSourceOpen() && !doc->IsPlaying());
}

void CKivChildFrame::OnUpdateFrameRate(CCmdUI* pCmdUI) {
    CFcDoc* doc = GetFcDoc();
    pCmdUI->Enable(doc != nullptr && !doc->IsAwbSampleMode());
}

// --- Control bar ------------------------------------------------------------------------------------

void CKivChildFrame::SyncControlBar(BOOL bActive) {
    CAviChildFrame::SyncControlBar(bActive);
    CFcDoc* doc = GetFcDoc();
    if (doc == nullptr)
        return;
    doc->SetAwbSampleMode(FALSE);
}

void CKivChildFrame::ShowColourSettings() {
    // The fields are the bar's, shared by every window: they speak for the active one. A recording
    // that could not be read again has no settings to show or take.
    CFcDoc* doc = GetFcDoc();
    if (doc == nullptr || !doc->IsSourceOpen())
        return CAviChildFrame::ShowColourSettings();
    if (CCtrlBar* bar = GetCtrlBar())
        bar->ShowColourFields(TRUE);
    for (const SettingField& field : kSettingFields) {
        short value = 0;
        if (doc->ReadSetting(field.get, &value))
            WriteBarField(field.id, value);
    }
}

BOOL CKivChildFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    const BOOL handled = CAviChildFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (handled && nID == ID_IMAGE_RELOAD && nCode == CN_COMMAND && pHandlerInfo == nullptr)
        ShowColourSettings();
    return handled;
}

void CKivChildFrame::OnCtrlBarValue(int id, int value) {
    const SettingField* field = FindField(id);
    if (field == nullptr) {
        CAviChildFrame::OnCtrlBarValue(id, value);
        return;
    }
    short current = 0;
    if (!ReadFieldSetting(id, &current))
        return;
    if (value < field->min || value > field->max) {
        WriteBarField(id, current);
        return;
    }
    if (value != current)
        (this->*field->set)(static_cast<short>(value));
}

BOOL CKivChildFrame::ReadFieldSetting(int id, short* pValue) {
    const SettingField* field = FindField(id);
    CFcDoc* doc = GetFcDoc();
    return field != nullptr && doc != nullptr && doc->ReadSetting(field->get, pValue);
}

void CKivChildFrame::ApplyField(int id) {
    CCtrlBar* bar = GetCtrlBar();
    if (bar == nullptr)
        return;
    BOOL ok = FALSE;
    const int value = static_cast<int>(bar->GetDlgItemInt(id, &ok, TRUE));
    if (ok) {
        OnCtrlBarValue(id, value);
        return;
    }
    short current = 0;
    if (ReadFieldSetting(id, &current))
        WriteBarField(id, current);
}

void CKivChildFrame::OnKillFocusBrightness() {
    ApplyField(IDC_CTRL_BRIGHTNESS);
}

void CKivChildFrame::OnKillFocusContrast() {
    ApplyField(IDC_CTRL_CONTRAST);
}

void CKivChildFrame::OnKillFocusChroma() {
    ApplyField(IDC_CTRL_CHROMA);
}

BOOL CKivChildFrame::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN) {
        if (pMsg->wParam == VK_RETURN)
            return TRUE;
        // A tracking run ends on Escape; otherwise the key is the framework's.
        if (pMsg->wParam == VK_ESCAPE)
            return IsRunning() ? CAviChildFrame::PreTranslateMessage(pMsg)
                               : CMDIChildWnd::PreTranslateMessage(pMsg);
    }
    return CAviChildFrame::PreTranslateMessage(pMsg);
}
