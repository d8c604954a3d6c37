// The document of a numbered image sequence: opening any one file opens every file of its folder that
// shares its base name and extension (see SequenceFiles.h), each as the frame of its number. The
// information file "<base>.txt" beside the files gives the information text and, in its "Frame_Rate:"
// line, the rate. Frames are read from their files each time they are shown; a number without a file
// (a gap) or a file that cannot be read shows nothing. The JPEG and TIFF documents change only how one
// file is read.
//
// Everything happens in the sequence's own folder: the process's current folder is never changed.
#pragma once

#include <vector>

#include "KivIc/Documents/SequenceFiles.h"
#include "KivIc/Tracking/TrackingDoc.h"

class CBmpDoc : public CTrackingDoc {
    DECLARE_DYNCREATE(CBmpDoc)
public:
    CBmpDoc();
    ~CBmpDoc() override;

    BOOL OnNewDocument() override;
    // Builds the frame map, reads the information file and shows the first frame; FALSE (the user
    // told) when the folder cannot be searched or no file of the sequence carries a frame number.
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    // The framework's with the path made full, keeping the sequence's base name as the title.
    void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE) override;
    // The frame's file becomes the display bitmap; without one there is none.
    void LoadFrame(long frame) override;
    // The information text; the playback layer's when there is none.
    CString GetInformation() override;
    CString GetNoteText() override { return CString(); }
    int GetDocKind() override { return 3; }

    // --- Sequence operations ------------------------------------------------------------------------
    // The names (without folder) of the files in the sequence's folder that match "<base>*<ext>",
    // leaving out folders and hidden files, in the order the search returns them; their count, or -1
    // when the folder cannot be searched.
    virtual int ScanSequence(const CString& fileName, const CString& ext, std::vector<CString>& names);
    // Each name that is a frame of the sequence, keyed by its number; of two files with one number
    // the first listed stays.
    virtual void BuildFrameMap(const std::vector<CString>& names, SequenceFrameMap& map);
    // "<base>.txt" of the sequence's folder, line by line (at most kMaxInfoText bytes); without it
    // "Picture Size = <width>x<height>" of the first frame that can be read.
    virtual void ReadInfoFile();
    // The bitmap of frame n on dc, or null (no file, or one that cannot be read).
    virtual HBITMAP ReadFrame(HDC dc, long frame);
    // The bitmap of one image file on dc, or null; may throw the readers' exceptions.
    virtual HBITMAP ReadImageFile(HDC dc, LPCTSTR lpszPath);
    // The rate of the information text's "Frame_Rate:" line; without one the rate stays.
    virtual void ReadFrameRate();

    const SequenceFrameMap& GetFrameMap() const { return m_frameMap; }
    // The folder of the sequence's files, with a separator at its end.
    CString GetSequenceFolder() const;

    // The longest information text read from a file.
    static constexpr int kMaxInfoText = 1 << 20;

protected:
    // The user is told that the sequence could not be opened, and why.
    static void ReportOpenFailure(LPCTSTR lpszPath, LPCTSTR lpszReason);

    SequenceFrameMap m_frameMap;
    CString m_strInformation;
};
