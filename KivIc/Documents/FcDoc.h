// The convertible document: a recording whose frames a frame converter turns into packed frame
// bitmaps (a bitmap information header, then bottom-up rows of 3 x width blue, green, red bytes). It
// keeps the frame in the playback layer's buffer, makes the display bitmap from it, reloads the
// source, keeps the colour settings and the white-balance sample mode, and holds the settings that
// preset the next conversion. The raw camera document fills in the source operations.
//
// The source operations call the source's server and throw its failures (COleDispatchException* or
// COleException*); the operations of this class catch them, tell the user and go on. Everything runs
// on the GUI thread.
#pragma once

#include <cstddef>
#include <vector>

#include "KivIc/Documents/AviDoc.h"

class CConvertingDlg;

class CFcDoc : public CAviDoc {
    DECLARE_DYNAMIC(CFcDoc)
public:
    CFcDoc();
    ~CFcDoc() override;

    // --- Source operations (the concrete document answers them from its server) ------------------------
    // The picture of a converted frame, as the display and the conversion get it.
    virtual long GetFrameWidth() = 0;
    virtual long GetFrameHeight() = 0;
    // Bytes of one converted frame: header and pixels.
    virtual long GetBitmapBytes() = 0;
    // Selects the frame that ConvertBitmap converts.
    virtual void PutCurrentFrame(long frame) = 0;
    // Writes the selected frame into the caller's block of capacity bytes as a packed frame bitmap.
    virtual void ConvertBitmap(void* buffer, size_t capacity) = 0;
    // The white-balance sample point on the selected frame (picture pixels, rows from the top); FALSE
    // when the source refused it (the user is told).
    virtual BOOL SetAwbSamplePos(short x, short y) = 0;
    virtual short GetGain() = 0;
    virtual void PutGain(short value) = 0;
    virtual short GetGamma() = 0;
    virtual void PutGamma(short value) = 0;
    virtual short GetEnhance() = 0;
    virtual void PutEnhance(short value) = 0;
    virtual short GetWhiteBalance() = 0;
    virtual void PutWhiteBalance(short value) = 0;
    virtual short GetChroma() = 0;
    virtual void PutChroma(short value) = 0;
    virtual short GetBrightness() = 0;
    virtual void PutBrightness(short value) = 0;
    virtual short GetContrast() = 0;
    virtual void PutContrast(short value) = 0;
    // Every colour setting as a pipeline settings record (fc/WqFc/PipelineSettings.h): a conversion
    // builds pipelines of its own from it, on its own threads, that convert as the source does.
    virtual std::vector<BYTE> GetPipelineSettings() = 0;

    // --- The playback layer's frame fetch -------------------------------------------------------------
    // Selects and converts the frame and shows it. A frame the source cannot give is reported (a
    // playing document stops first) and the picture stays as it was.
    void LoadFrame(long frame) override;
    // The recording rate the source gives (GetRecordRate); a rate below 1 leaves the rate as it is.
    void ReadFrameRate() override;

    // --- Commands ----------------------------------------------------------------------------------------
    // "&Reload": closes the source and opens it again from the document's path, showing the frame
    // shown before.
    // When it cannot be opened again the user is told and the document keeps no source: frames are
    // no longer fetched until a later Reload succeeds.
    virtual void Reload();
    // Puts a colour setting and shows it: the shown frame is made again unless the document plays
    // (its next frame shows the change). FALSE when the source refused it (the user is told).
    BOOL ChangeSetting(void (CFcDoc::*put)(short), short value);
    // Reads a colour setting; FALSE without a source or when the source refused it (noted on the
    // debug output only: menus ask again and again).
    BOOL ReadSetting(short (CFcDoc::*get)(), short* pValue);
    // Balances white on the picture pixel (x, y) of the shown frame: the sample point is measured on
    // that frame, white balance becomes manual (0) and the frame is shown again. FALSE when the source
    // refused it.
    BOOL SampleWhiteBalanceAt(int x, int y);

    // --- Conversion (KivIc/Conversion/FcDocConvert.cpp) ------------------------------------------------
    // "Save &as...": stops playback, asks for the target and the compressor or quality, checks the free
    // disk space and converts the play range; the source is left on the frame shown.
    void OnConvertSave();
    // Whether the volume that holds the target can take the play range's frames uncompressed; if not,
    // the user is told how much is needed and how much is free.
    BOOL CheckDiskSpace(LPCTSTR lpszPath);
    // Converts the play range into the target path by its extension (avi, jpg, tif, bmp) with the main
    // window disabled; TRUE when the conversion ran to its end.
    BOOL Convert();
    BOOL IsConverting() const { return m_pConverting != nullptr; }
    // Busy while converting too: the window and the program refuse to close, telling the user that
    // Cancel in the progress window stops the conversion.
    CString GetBusyText() const override;

    // Whether a source is open (frames can be fetched).
    BOOL IsSourceOpen() const { return m_bSourceOpen; }
    BOOL IsAwbSampleMode() const { return m_nAwbSampleMode == 1; }
    void SetAwbSampleMode(BOOL bOn) { m_nAwbSampleMode = bOn ? 1 : 0; }

    // Settings that preset the next conversion (the save dialog reads and writes them).
    CString m_strCompressorName;
    CString m_strTargetPath;
    DWORD m_fccHandler = 0;
    DWORD m_dwQuality = 0;
    // 1 while the next click on the picture picks the white-balance sample point.
    int m_nAwbSampleMode = 0;

protected:
    // The concrete document marks its source open after a successful open and closed on closing.
    void SetSourceOpen(BOOL bOpen) { m_bSourceOpen = bOpen; }
    // Makes the display bitmap from the packed frame in the frame buffer; FALSE when the block holds
    // no packed frame bitmap.
    BOOL ShowPackedFrame(const void* block, size_t size);
    // After a reload: the record range becomes the reopened source's, the play range is kept inside
    // it, and the control bar shows both when this is the active document.
    void TakeReloadedRange();

    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bSourceOpen = FALSE;
    // The conversion that runs now.
    CConvertingDlg* m_pConverting = nullptr;
};
