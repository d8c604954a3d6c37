// The playback layer of every recording document: frame position, record and play ranges, recording
// rate, play rate word, loop and playing flags, the display bitmap and the pieces of the source path.
// It owns the play thread "Player", which moves the position while playing; the file documents supply
// the frames by overriding LoadFrame.
//
// Threads: the values the play thread reads (positions, ranges, flags, rates) are atomics. Everything
// else, and every Set operation, runs on the GUI thread; the play thread hands its calls over.
#pragma once

#include <atomic>
#include <memory>

#include "KivIc/Bars/BarOwners.h"
#include "KivIc/Play/PlayOwner.h"
#include "KivIc/Reticle/ReticleDoc.h"
#include "vomLib/Utility/CriticalSectionWrapper.h"

class CPlayThread;

// The recording rate a document has until its source says otherwise.
constexpr int kDefaultRecordRate = 1000;
// Documents start showing 6 frames per second, one frame per step.
constexpr PlaySpeedWord kDefaultDocPlaySpeed = 0x60001;

class CVesloDoc : public CReticleDoc, public IPlayDocument, public IImgListDocument {
    DECLARE_DYNAMIC(CVesloDoc)
public:
    CVesloDoc();
    ~CVesloDoc() override;

    // --- Document operations (the layers above override them) ------------------------------------
    virtual void SetFrameBitmap(HBITMAP hBitmap);
    // The second loop-related flag, kept for the file documents; playback does not read it.
    virtual void SetLoop(BOOL bLoop);
    // Frame floor(seconds x rate), kept to the play range, stored and loaded.
    void SetCurrentTime(double seconds, BOOL bUpdate) override;
    // Kept to the play range, stored and loaded; the control bar (active document) shows the stored
    // frame.
    void SetCurrentFrame(long frame, BOOL bUpdate) override;
    virtual void SetRecordBegin(long frame);
    virtual void SetRecordEnd(long frame);
    virtual void SetPlayBegin(long frame);
    virtual void SetPlayEnd(long frame);
    virtual void SetFrameRate(int rate);
    virtual HBITMAP GetFrameBitmap();
    // The display bitmap's size; FALSE (outputs untouched) while there is none.
    virtual BOOL GetBitmapSize(long* pWidth, long* pHeight);
    virtual CString GetNoteText() = 0;
    virtual const char* GetTypeText();
    virtual const char* GetPathText();
    virtual BOOL IsLoop();
    int GetDocKind() override = 0;
    long GetCurrentFrame() const override { return m_nCurrentFrame.load(); }
    virtual long GetRecordBegin() const { return m_nRecordBegin.load(); }
    virtual long GetRecordEnd() const { return m_nRecordEnd.load(); }
    long GetPlayBegin() const override { return m_nPlayBegin.load(); }
    long GetPlayEnd() const override { return m_nPlayEnd.load(); }
    virtual int GetFrameRate() const { return m_nFrameRate.load(); }
    // Posts EVT_PLAY / EVT_STOP to the play thread (the caller sets step and rate word first).
    virtual void Play();
    virtual void Stop();
    // Stops what plays this document: its own playback, or synchronised playback while it plays with
    // the others. A frame that cannot be read ends either, so the failure is shown once.
    void StopPlaying();
    // The information text of the source.
    virtual CString GetInformation();
    // Makes the display bitmap of the frame; the file documents read their source here.
    virtual void LoadFrame(long frame);

    // --- Play thread ------------------------------------------------------------------------------
    int GetPlayStep() const override { return m_nStep.load(); }
    BOOL IsLoopPlay() const override { return m_bLoopPlay.load(); }
    PlaySpeedWord GetPlaySpeedWord() const override { return m_dwPlaySpeed.load(); }
    BOOL IsPlaying() const override { return m_bPlaying.load(); }
    void SetPlaying(BOOL bPlaying) override { m_bPlaying = bPlaying ? TRUE : FALSE; }
    // Sends WM_FRAMECHANGED to every view, which redraws at once.
    void SendFrameChanged() override;

    void SetPlayStep(int step) { m_nStep = step < 0 ? -1 : 1; }
    void SetLoopPlay(BOOL bLoop) { m_bLoopPlay = bLoop ? TRUE : FALSE; }
    void SetPlaySpeedWord(PlaySpeedWord rate) { m_dwPlaySpeed = rate; }
    // Set by the child frame while its window is the active one (outside synchronised mode).
    void SetActive(BOOL bActive) { m_bActive = bActive ? TRUE : FALSE; }
    BOOL IsActive() const { return m_bActive.load(); }
    // The flag the conversion dialogs clear.
    void SetConvertFlag(BOOL bFlag) { m_bConvertFlag = bFlag; }
    BOOL GetConvertFlag() const { return m_bConvertFlag; }
    // TRUE while a long operation (a tracking run) works on the document: synchronised mode is not
    // switched on meanwhile.
    virtual BOOL IsBusy() const { return FALSE; }
    // Stops the play thread and waits for it to end; afterwards Play and Stop post nothing. Closing
    // runs it before any view goes.
    void StopPlayThread();
    // A new play thread after StopPlayThread: Play and Stop work again.
    void StartPlayThread();
    CPlayThread* GetPlayThread() const { return m_pPlayer.get(); }

    // --- Source path ------------------------------------------------------------------------------
    // Stores the path and its drive, directory, file name and extension. With bSequence the base name
    // loses the file name's trailing frame number (digits, with a sign directly before them); the
    // name's first character always stays.
    void SetSourcePath(LPCTSTR lpszPath, BOOL bSequence);
    void SetTypeText(LPCTSTR lpszType) { m_strType = lpszType; }
    // The file documents put the opened path here.
    void SetPathText(LPCTSTR lpszPath) { m_strDir = lpszPath; }
    const CString& GetFullPath() const { return m_strFullPath; }
    const CString& GetDrive() const { return m_strDrive; }
    const CString& GetDir() const { return m_strDir; }
    const CString& GetFileName() const { return m_strFileName; }
    const CString& GetExt() const { return m_strExt; }
    CCriticalSectionWrapper& GetFrameLock() { return m_frameLock; }

    // --- Image-list bar ---------------------------------------------------------------------------
    CString GetPathName() const override { return CDocument::GetPathName(); }
    CString GetBaseName() const override { return m_strBaseName; }
    void ActivateFirstView() override;

    // --- Reticle layer ----------------------------------------------------------------------------
    long GetCurrentFrameNo() override { return GetCurrentFrame(); }
    long GetRecordRate() override { return GetFrameRate(); }
    void GetPathName(CString& rPath) override { rPath = CDocument::GetPathName(); }
    long GetReticleImageHeight() override;

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    // Stops and joins the play thread, leaves the image-list bar, the position bar and the
    // synchronised list, then the framework's closing.
    void OnCloseDocument() override;

    // The program's main frame as a recording reaches it: its synchronised playback and its bars; null
    // without one (tests).
    static IPlayMainFrame* GetPlayMainFrame();
    static ICtrlBarOwner* GetBarOwner();

protected:
    // The frame clamped to the play range (when the range is not empty).
    long ClampToPlayRange(long frame) const;
    // Stores and loads the frame, shows it on the control bar when active, updates the views.
    void MoveToFrame(long frame, BOOL bUpdate);
    // A source just opened: record and play range first..last, its first frame loaded and shown.
    void OpenFrameRange(long first, long last);
    // For documents that own their display bitmap: the new one is in place before the old one is
    // deleted, so no view is left with a freed one; null deletes the one shown (their destructors).
    void ReplaceFrameBitmap(HBITMAP hBitmap);

    std::unique_ptr<CPlayThread> m_pPlayer;
    std::atomic<BOOL> m_bActive{FALSE};
    BOOL m_bConvertFlag = FALSE;
    HBITMAP m_hFrameBitmap = nullptr;
    BOOL m_bLoop = FALSE;
    std::atomic<long> m_nCurrentFrame{0};
    std::atomic<long> m_nRecordBegin{0};
    std::atomic<long> m_nRecordEnd{0};
    std::atomic<long> m_nPlayBegin{0};
    std::atomic<long> m_nPlayEnd{0};
    std::atomic<int> m_nFrameRate{kDefaultRecordRate};
    std::atomic<BOOL> m_bLoopPlay{FALSE};
    std::atomic<BOOL> m_bPlaying{FALSE};
    std::atomic<int> m_nStep{1};
    std::atomic<PlaySpeedWord> m_dwPlaySpeed{kDefaultDocPlaySpeed};
    HGLOBAL m_hFrameBuffer = nullptr;
    CString m_strType;
    CString m_strFullPath;
    CString m_strDrive;
    CString m_strDir;
    CString m_strFileName;
    CString m_strExt;
    CString m_strBaseName;
    CCriticalSectionWrapper m_frameLock;
};
