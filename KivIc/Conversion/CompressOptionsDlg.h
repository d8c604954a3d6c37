// The compression-options dialog of AVI writing ("Video Compression"): the installed video compressors
// that take 24-bit frames of the stream's size, and a quality slider for those that have a quality.
// The program installs it as the answer to AVISaveOptions (InstallCompressOptionsDialog); scripted runs
// answer it through the modal-dialog hook, acting on it as the user would (PickCompressor,
// MoveQuality, the OK and Cancel buttons).
#pragma once

#include <vector>

#include "platform/afx/afxwin.h"
#include "platform/vfw/vfw.h"

// One compressor of the compressor table as the dialog lists it.
struct CompressorChoice {
    FOURCC handler = 0;
    CString description;
    BOOL hasQuality = FALSE;
};

// The table's compressors, in table order, that accept a 24-bit uncompressed frame of width x height.
std::vector<CompressorChoice> ListCompressorsFor24Bit(LONG width, LONG height);
// The compressor's description as the table gives it (the uncompressed 'DIB ' included); an empty
// text when no compressor has that handler.
CString CompressorDescription(FOURCC handler);

class CCompressOptionsDlg : public CDialog {
    DECLARE_DYNAMIC(CCompressOptionsDlg)
public:
    enum {
        IDD = 3101,
        IDC_VC_COMPRESSOR = 3102,
        IDC_VC_QUALITY = 3103,
        IDC_VC_QUALITY_TEXT = 3104,
        IDC_VC_QUALITY_LABEL = 3105,
    };
    // pOptions: read for the entry and quality shown first, written on OK (type 'vids', the chosen
    // handler, the quality when the compressor has one, AVICOMPRESSF_VALID); left alone on Cancel.
    // width x height: the frames the stream will get.
    CCompressOptionsDlg(AVICOMPRESSOPTIONS* pOptions, LONG width, LONG height, CWnd* pParent = nullptr);

    const std::vector<CompressorChoice>& GetChoices() const { return m_choices; }
    // The entry chosen now (null when none) and the quality the slider gives (position x 100).
    const CompressorChoice* GetChosen();
    DWORD GetChosenQuality();

    // What the user does, for scripted answers: choose the entry of the handler in the list (FALSE
    // when it is not listed), move the quality slider to a position of 0 to 100.
    BOOL PickCompressor(FOURCC handler);
    void MoveQuality(int nPos);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSelChange();
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()

private:
    CComboBox* Combo();
    CSliderCtrl* Slider();
    // Enables the slider for a compressor with a quality and shows the slider's value.
    void ShowQuality();

    AVICOMPRESSOPTIONS* m_pOptions;
    std::vector<CompressorChoice> m_choices;
};

// Makes the dialog the answer to AVISaveOptions for this program: one dialog per video stream, on the
// GUI thread only (elsewhere the choice counts as cancelled).
void InstallCompressOptionsDialog();
