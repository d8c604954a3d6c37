// What the bars need from the main frame and the documents they list, and what a recording reaches
// of the main frame's bars. The main frame and the playback document implement these.
#pragma once

#include "platform/afx/core/afxcore.h"

class CCtrlBar;
class CDlgBarImgList;
class CPosDlgBar;
class IImgListDocument;
struct PositionRow;

// Where the control bar sends the user's moves of its slider: the active document, or the common time
// axis in synchronised mode. And the bars as a recording reaches them.
class ICtrlBarOwner {
public:
    virtual ~ICtrlBarOwner() = default;
    virtual void SyncSetCurrentFrame(long frame) = 0;
    virtual void SyncSetPlayBegin(long frame) = 0;
    virtual void SyncSetPlayEnd(long frame) = 0;

    virtual CCtrlBar* GetCtrlBar() = 0;
    virtual CDlgBarImgList* GetImgListBar() = 0;
    virtual CPosDlgBar* GetPosBar() = 0;
    // Pass the values to the control bar once its window exists.
    virtual void SetCtrlBarFrame(long frame) = 0;
    virtual void SetCtrlBarRecordRange(long begin, long end) = 0;
    virtual void SetCtrlBarPlayRange(long begin, long end) = 0;
    // Fills the point-position bar; the index of the last row added, or -1.
    virtual int SetPositionList(const PositionRow* rows, int count) = 0;
    // The document of the active recording window, which the bars speak for; null without one.
    virtual IImgListDocument* GetActiveListDocument() const = 0;
};

// A document as the image-list bar shows it.
class IImgListDocument {
public:
    virtual ~IImgListDocument() = default;
    virtual CString GetPathName() const = 0;
    // The base name of its source (the file name, without a sequence's frame number).
    virtual CString GetBaseName() const = 0;
    // The item's image index.
    virtual int GetDocKind() = 0;
    // Brings the frame of its first view to the front.
    virtual void ActivateFirstView() = 0;
};
