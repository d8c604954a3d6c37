// What a play thread needs from the document it plays and from the main frame whose common time
// axis it plays, and what a recording reaches of the main frame's synchronised playback. The playback
// document and the main frame implement these.
//
// Threads: the Get/Is operations are called on the play thread while the GUI thread may change the
// values, so implementations keep those values in atomics. Every other operation is called on the
// GUI thread only: the play thread hands it over as a queued call and waits for it.
#pragma once

#include "KivIc/Play/PlayEvent.h"
#include "platform/win32/types.h"

class IPlayDocument {
public:
    virtual ~IPlayDocument() = default;

    // Read on the play thread.
    virtual long GetCurrentFrame() const = 0;
    virtual long GetPlayBegin() const = 0;
    virtual long GetPlayEnd() const = 0;
    // +1 playing forward, -1 backward.
    virtual int GetPlayStep() const = 0;
    // Playback wraps at the ends of the play range.
    virtual BOOL IsLoopPlay() const = 0;
    virtual PlaySpeedWord GetPlaySpeedWord() const = 0;
    virtual BOOL IsPlaying() const = 0;

    // Called on the GUI thread.
    virtual void SetPlaying(BOOL playing) = 0;
    // Keeps the frame to the play range, stores it and loads it.
    virtual void SetCurrentFrame(long frame, BOOL update) = 0;
    // The frame at seconds x the recording rate, kept to the play range, stored and loaded.
    virtual void SetCurrentTime(double seconds, BOOL update) = 0;
    // Sends WM_FRAMECHANGED to the first view, which redraws; nothing when there is no view.
    virtual void SendFrameChanged() = 0;
};

class IPlayMainFrame {
public:
    virtual ~IPlayMainFrame() = default;

    // Read on the play thread: the common time axis in seconds.
    virtual double GetSyncBeginTime() const = 0;
    virtual double GetSyncEndTime() const = 0;
    virtual double GetSyncCurrentTime() const = 0;
    // Signed: negative while playing backward.
    virtual double GetSyncStepTime() const = 0;
    virtual BOOL IsSyncLoop() const = 0;
    virtual PlaySpeedWord GetSyncPlaySpeedWord() const = 0;

    // Called on the GUI thread.
    virtual int GetSyncDocumentCount() const = 0;
    // The i-th synchronised document, or null past the end.
    virtual IPlayDocument* GetSyncDocument(int index) const = 0;
    virtual void SetSyncPlaying(BOOL playing) = 0;
    // Stores the current time and shows its frame in the control bar.
    virtual void SetSyncTime(double seconds) = 0;
    // Ends synchronised playback, looping or not (a document that cannot show its frame asks for it).
    virtual void StopSyncPlay() = 0;
    // Ends synchronised playback for certain and at once: the play thread is stopped and joined, so
    // nothing it handed over moves a document later, and a new one waits for the next start.
    virtual void EndSyncPlayNow() = 0;
    // In synchronised mode the control bar and the menus speak for the common time axis.
    virtual BOOL IsSyncMode() const = 0;
    // The document is one of those that play together.
    virtual BOOL IsSyncDocument(const IPlayDocument* doc) const = 0;
    // A closing document leaves those that play together.
    virtual void RemoveSyncDocument(const IPlayDocument* doc) = 0;
    // Renumbers the playback commands of every menu (the frame's and the recording windows') for the
    // current mode.
    virtual void RemapMenuCommands() = 0;
};
