// The event record of a play thread, its event numbers and the rate word.
#pragma once

#include "platform/win32/types.h"

// Event numbers a play thread understands.
enum : int {
    EVT_PLAY = 1001,   // start playing
    EVT_STOP = 1002,   // stop playing (also made by the thread at the end of the range)
    EVT_RATE = 1004,   // recompute the frame interval from the owner's rate word
    EVT_TICK = 1005,   // move to the position the event carries (made on each tick; posted to seek)
    EVT_NOTIFY = 1007, // calls CPlayThread::Notify
};

// Sent to a document's first view after each frame change so that it redraws.
constexpr UINT WM_FRAMECHANGED = 0x0BD0;

// Copied by value into and out of the queue. A seek carries its position itself: a frame number in
// value2 for a document's thread, a time in seconds in time for the synchronised thread, so nothing
// the event refers to can change or vanish while it waits in the queue.
class PlayEvent {
public:
    PlayEvent() = default;
    PlayEvent(const char* source, int id, int value1 = 0, int value2 = 0, double time = 0.0)
        : source(source), id(id), value1(value1), value2(value2), time(time) {}
    virtual ~PlayEvent() = default;
    PlayEvent(const PlayEvent&) = default;
    PlayEvent& operator=(const PlayEvent&) = default;

    const char* source = nullptr; // the sender's name, a text that lives for ever; may be null
    int id = 0;
    int value1 = 0;
    int value2 = 0;    // a frame number
    double time = 0.0; // a time in seconds
};

// The rate word: high 16 bits display frames per second, low 16 bits frames per step.
using PlaySpeedWord = DWORD;

constexpr PlaySpeedWord MakePlaySpeedWord(int framesPerSecond) {
    return (static_cast<DWORD>(framesPerSecond) << 16) | 1u;
}

// The frame interval in milliseconds: (word AND 0xFFFF) x 1000 / (word >> 16). A word without a
// frame rate (high half 0) would divide by zero; it is taken as 1 frame per second, the slowest
// rate the word can say.
constexpr DWORD PlayIntervalFromRate(PlaySpeedWord rate) {
    const DWORD perSecond = rate >> 16;
    return (rate & 0xFFFFu) * 1000u / (perSecond != 0 ? perSecond : 1u);
}
