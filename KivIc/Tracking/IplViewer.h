// A debugging aid: shows an IPL image of any common depth in a window of its own, titled after the
// caller's text, either modally (the caller waits until the window is closed) or beside the running
// program, up to ten at a time.
#pragma once

#include <exception>

#include "platform/ipl/ipl.h"
#include "platform/win32/types.h"

class IplViewerException : public std::exception {
public:
    // 0: the image could not be scaled or described; 1: memory, conversion or the viewer table.
    explicit IplViewerException(unsigned char failure) : code(failure) {}
    const char* what() const noexcept override;
    unsigned char code;
};

constexpr int kMaxIplViewers = 10;

// Shows a copy of the image scaled to 8 bits (signed values shifted so that the lowest shows black and
// the highest white); the title is cut to 127 bytes, "IPLib image" without one. Any thread may call:
// the windows live on the GUI thread, and other threads hand the call over to it.
// Modal: returns 0 once the window is closed (on the GUI thread a nested event loop runs meanwhile).
// Non-modal: returns an event handle that is signalled when the window closes; the caller closes it.
// 0 for a null image, and when ten viewers are open (the user is told). Throws IplViewerException.
HANDLE ShowIplImage(IplImage* image, const char* title, bool modal);

// Draws an 8-bit gray (1 channel) or RGB image at (0, 0): 1 drawn, 0 an unsupported colour model,
// channel count or depth, -1 no image or no pixel data.
int DrawIplImage(HDC dc, IplImage* image);

// How many viewers are open.
int GetIplViewerCount();
