// The playback control bar (dialog bar 264): current frame, play range and display speed fields,
// the playback buttons and the extended slider. The user's slider moves go to the owner (the main
// frame); what the program sets is written silently, so a relay never comes back as another event.
#pragma once

#include <initializer_list>

#include "KivIc/Bars/BarOwners.h"
#include "KivIc/Bars/BarSpin.h"
#include "KivIc/Bars/ExSlider2.h"
#include "KivIc/Bars/PlaybackCommands.h"
#include "platform/afx/afxwin.h"

// Control ids of dialog 264.
enum : UINT {
    IDD_CTRLBAR = 264,
    IDC_CTRL_FRAME = 1010,
    IDC_CTRL_PLAYBEGIN = 1107,
    IDC_CTRL_PLAYEND = 1105,
    IDC_CTRL_SPEED = 1017,
    IDC_CTRL_SPEEDSPIN = 1110,
    IDC_CTRL_SLIDER = 1084,
    // The play-range buttons carry their commands' ids.
    IDC_CTRL_SETBEGIN = ID_PLAY_SET_BEGIN,
    IDC_CTRL_SETEND = ID_PLAY_SET_END,
    IDC_CTRL_1037 = 1037,
    // Point input, a spare button and the frame-rate dialog; the frames decide what they do.
    IDC_CTRL_POINTINPUT = ID_RETICLE_INPUT,
    IDC_CTRL_2001 = ID_CTRL_2001,
    IDC_CTRL_FRAMERATE = ID_FRAME_RATE,
    // Zoom in per cent, and the raw camera's brightness, contrast and chroma.
    IDC_CTRL_ZOOM = 2003,
    IDC_CTRL_BRIGHTNESS = 2005,
    IDC_CTRL_CONTRAST = 2006,
    IDC_CTRL_CHROMA = 2007,
};

// Display frames per second the speed field accepts.
constexpr int kMinPlaySpeed = 1;
constexpr int kMaxPlaySpeed = 24;

class CCtrlBar : public CDialogBar, public IExSliderEvents {
    DECLARE_DYNAMIC(CCtrlBar)
public:
    CCtrlBar();
    ~CCtrlBar() override;

    // Registers dialog 264 unless the program already has.
    static void RegisterTemplate();

    void SetOwnerFrame(ICtrlBarOwner* owner) { m_owner = owner; }

    // 0 on success, -1 on failure. A null parent means the application's main window.
    virtual int CreateBar(CWnd* pParent);
    // style = (style AND NOT clear) OR set on the low 24 bits; any of the 7 lowest bits also sets
    // bit 24; bit 23 enables the slider.
    virtual void SetBarStyleBits(DWORD clearMask, DWORD setMask);
    virtual long GetFrame();
    // Moves the slider, which reports the frame to the owner as a user's move would.
    virtual void GoToFrame(long frame);
    virtual void SetFrame(long frame);
    virtual void SetRecordRange(long begin, long end);
    virtual void SetPlayRange(long begin, long end);
    virtual BOOL CanEdit();
    virtual void EnableSlider(BOOL enable);
    virtual void SetPlayBeginAt(long frame);
    virtual void SetPlayEndAt(long frame);
    virtual void SetPlaySpeed(int speed);
    // With no recording window the fields that speak for one (frame, play range, zoom, colour) are
    // empty and disabled, and so are the slider and the speed.
    void ShowNoRecording();
    // The frame, play range and zoom fields take input again; the window writes their values.
    void EnableRecordingFields();
    // The colour fields for a window that has colour settings (enabled; the window writes the values),
    // or empty and disabled for one that has none.
    void ShowColourFields(BOOL shown);
    // The last valid speed (1 to 24), whatever the field holds while the user is typing.
    virtual int GetPlaySpeed();

    // Mode 2 gives the nine playback buttons the synchronised command ids, mode 1 the document ids.
    void SetCommandMode(int mode);
    // The id a playback command has in the mode (2 synchronised, 1 document); other ids unchanged. The
    // menus are renumbered by the same table.
    static UINT MapPlaybackCommand(UINT id, int mode);
    // Takes the speed field's text when it is a whole number from 1 to 24; otherwise tells the user
    // and puts the focus back. The child frame calls it before applying the field on Enter.
    BOOL UpdateSpeedFromField();
    // A frame number typed into the frame field or a play-range field, taken on Enter: the frame field
    // goes to it as the slider would, a play-range field moves that edge (kept within the record range
    // and the other edge). The field then shows what holds; text that is no number is replaced by it.
    // FALSE for another field.
    BOOL ApplyTypedField(UINT id);
    // A field left without Enter shows again what holds, so it never shows a number nothing took.
    void RestoreField(UINT id);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    DWORD GetCtrlStyle() const { return m_dwCtrlStyle; }
    CExSlider2& GetSlider() { return m_slider; }
    CBarSpin& GetSpeedSpin() { return m_spin; }

    void OnSliderEvent(int eventId, long value) override;
    void DoDataExchange(CDataExchange* pDX) override;

    // "%+06ld": a sign, then at least five digits.
    static CString FormatFrame(long frame);

protected:
    void OnKillFocusSpeed();
    void OnKillFocusFrame();
    void OnKillFocusPlayBegin();
    void OnKillFocusPlayEnd();
    DECLARE_MESSAGE_MAP()

private:
    // Shows the frame number in the field; for the frame and play-range fields it is also what they
    // now hold (ShownValue).
    void SetField(UINT id, long frame);
    // What the frame or a play-range field last showed; null for another field.
    long* ShownValue(UINT id);
    // Empties and disables, or enables, each of the fields.
    void ClearFields(std::initializer_list<UINT> ids);
    void EnableFields(std::initializer_list<UINT> ids);

    ICtrlBarOwner* m_owner = nullptr;
    CExSlider2 m_slider;
    CBarSpin m_spin;
    long m_nFrame = 0;
    long m_nPlayBegin = 0;
    long m_nPlayEnd = 0;
    int m_nSpeed = 6;
    DWORD m_dwCtrlStyle = 0;
    bool m_bValidatingSpeed = false;
};
