// What the bars need from the main frame and the documents they list. The main frame and the
// playback document implement these.
#pragma once

#include "platform/afx/core/afxcore.h"

// Where the control bar sends the user's moves of its slider: the active document, or the common time
// axis in synchronised mode.
class ICtrlBarOwner {
public:
    virtual ~ICtrlBarOwner() = default;
    virtual void SyncSetCurrentFrame(long frame) = 0;
    virtual void SyncSetPlayBegin(long frame) = 0;
    virtual void SyncSetPlayEnd(long frame) = 0;
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
