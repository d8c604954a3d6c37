// The program's wrapper of the AVI filter server: one late-bound call by DISPID per method, out
// values by reference. Failures arrive as COleDispatchException* (with the server's text) or
// COleException*.
#pragma once

#include "platform/afx/ole/dispdriver.h"

class IAVIFilter : public COleDispatchDriver {
public:
    IAVIFilter() = default;

    void Open(LPCTSTR fileName) { Call(2, VTS_BSTR, fileName); }
    void Close() { Call(3, VTS_NONE); }
    void GetFrameCount(LONG* count) { Call(5, VTS_PI4, count); }
    void GetRange(long stream, LONG* first, LONG* last) {
        Call(12, VTS_I4 VTS_PI4 VTS_PI4, static_cast<LONG>(stream), first, last);
    }
    // The frame as a packed bitmap into the caller's block of `capacity` bytes; a null block asks
    // only for the size.
    void GetBitmap(long frame, void* buffer, size_t capacity, LONG* size) {
        Call(14, VTS_I4 VTS_BUFFER VTS_PI4, static_cast<LONG>(frame), buffer, capacity, size);
    }
    void GetBitmapSize(long frame, LONG* size) { Call(15, VTS_I4 VTS_PI4, static_cast<LONG>(frame), size); }
    // An extra data chunk of the selected stream ('txts', ...): length in, length out; a null block
    // asks only for the length.
    void GetStreamOptionData(long fccType, void* data, size_t capacity, LONG* length) {
        Call(16, VTS_I4 VTS_BUFFER VTS_PI4, static_cast<LONG>(fccType), data, capacity, length);
    }

private:
    template <class... Args> void Call(DISPID id, const char* params, Args... args) {
        InvokeHelper(id, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(params), args...);
    }
};
