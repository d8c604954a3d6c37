// The program's wrapper of the raw camera file server: one late-bound call by DISPID per method.
// Failures arrive as COleDispatchException* (with the server's text) or COleException*.
#pragma once

#include <vector>

#include "platform/afx/ole/dispdriver.h"

class IBremFc : public COleDispatchDriver {
public:
    IBremFc() = default;

    void Open(LPCTSTR fileName) { Call(1, VTS_BSTR, fileName); }
    void Close() { Call(2, VTS_NONE); }
    // The frame buffer is the caller's block of BitmapSize bytes.
    void ConvertBitmap(void* buffer, size_t capacity) { Call(3, VTS_BUFFER, buffer, capacity); }
    void SetAwbSamplePos(short x, short y) { Call(5, VTS_I2 VTS_I2, x, y); }
    long GetBitmapSize() { return GetI4(6); }
    short GetBrightness() { return GetI2(7); }
    void SetBrightness(short value) { SetProperty(7, VT_I2, value); }
    long GetCameraSN() { return GetI4(8); }
    long GetCameraVer() { return GetI4(9); }
    short GetCameraID() { return GetI2(11); }
    short GetContrast() { return GetI2(12); }
    void SetContrast(short value) { SetProperty(12, VT_I2, value); }
    void SetCurrentFrame(long frame) { SetProperty(13, VT_I4, static_cast<LONG>(frame)); }
    short GetEnhance() { return GetI2(16); }
    void SetEnhance(short value) { SetProperty(16, VT_I2, value); }
    // Width in the high and height in the low 16 bits: the size of the pictures the server converts.
    long GetDispPixels() { return GetI4(14); }
    // The same for the raw frame as recorded.
    long GetFramePixels() { return GetI4(18); }
    long GetFrameRate() { return GetI4(19); }
    short GetGain() { return GetI2(20); }
    void SetGain(short value) { SetProperty(20, VT_I2, value); }
    short GetGamma() { return GetI2(21); }
    void SetGamma(short value) { SetProperty(21, VT_I2, value); }
    long GetFileVer() { return GetI4(24); }
    long GetRecordedBegin() { return GetI4(27); }
    long GetRecordedEnd() { return GetI4(28); }
    short GetSegmentNo() { return GetI2(29); }
    long GetShutterSpeed() { return GetI4(30); }
    CString GetTriggerTime() {
        CString text;
        GetProperty(31, VT_BSTR, &text);
        return text;
    }
    short GetWhiteBalance() { return GetI2(33); }
    void SetWhiteBalance(short value) { SetProperty(33, VT_I2, value); }
    short GetChroma() { return GetI2(35); }
    void SetChroma(short value) { SetProperty(35, VT_I2, value); }
    long GetFileLength() { return GetI4(36); }
    void SetBayerFilter(long rgb, long bayer, long pos, long val) {
        Call(45, VTS_I4 VTS_I4 VTS_I4 VTS_I4, static_cast<LONG>(rgb), static_cast<LONG>(bayer),
             static_cast<LONG>(pos), static_cast<LONG>(val));
    }
    short GetRecGain() { return GetI2(50); }
    short GetSceneNo() { return GetI2(51); }
    // Addition of this platform: the settings record of the server's colour pipeline (every setting,
    // kernel and gain; fc/WqFc/PipelineSettings.h), from which the program builds pipelines of its own.
    std::vector<BYTE> ClonePipeline() {
        LONG size = 0;
        InvokeHelper(52, DISPATCH_METHOD, VT_I4, &size, reinterpret_cast<const BYTE*>(VTS_BUFFER),
                     static_cast<void*>(nullptr), size_t{0});
        std::vector<BYTE> record(size > 0 ? static_cast<size_t>(size) : 0);
        if (record.empty())
            return record;
        LONG written = 0;
        InvokeHelper(52, DISPATCH_METHOD, VT_I4, &written, reinterpret_cast<const BYTE*>(VTS_BUFFER),
                     static_cast<void*>(record.data()), record.size());
        // The server never writes more than it said; a shorter record keeps only what was written.
        if (written < size)
            record.resize(written > 0 ? static_cast<size_t>(written) : 0);
        return record;
    }

private:
    template <class... Args> void Call(DISPID id, const char* params, Args... args) {
        InvokeHelper(id, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(params), args...);
    }
    long GetI4(DISPID id) {
        LONG value = 0;
        GetProperty(id, VT_I4, &value);
        return value;
    }
    short GetI2(DISPID id) {
        SHORT value = 0;
        GetProperty(id, VT_I2, &value);
        return value;
    }
};
