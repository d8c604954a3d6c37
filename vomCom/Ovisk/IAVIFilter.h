// The AVI filter server's dual interface IAVIFilter ("IAVIFilter Interface"): one member per
// operation of its type library, in DISPID order. Calling a member here and invoking its DISPID
// through IDispatch give the same results and HRESULTs; a failure leaves its string-table text in
// the thread's error information. Buffers travel as a ComBuffer (address and capacity), the device
// context as its handle.
//
// The program's dispatch wrapper (KivIc/Servers/aviFilter.h) bears the same name; the two never meet
// in one binary.
#pragma once

#include "platform/com/interfaces.h"
#include "vomCom/Ovisk/OviskIds.h"

struct IAVIFilter : IDispatch {
    virtual HRESULT SetHandle(HDC lhDC) = 0;
    virtual HRESULT Open(BSTR bstrFname) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT Jump(LONG lFrame) = 0;
    virtual HRESULT GetFrameCount(LONG* lpFrameCount) = 0;
    virtual HRESULT GetImageSize(LONG* lpWidth, LONG* lpHeight) = 0;
    virtual HRESULT Draw() = 0;
    virtual HRESULT SetDrawRect(LONG lX, LONG lY, LONG lWidth, LONG lHeight) = 0;
    virtual HRESULT SetImageRect(LONG lX, LONG lY, LONG lWidth, LONG lHeight) = 0;
    virtual HRESULT get_SceneIndex(LONG* pVal) = 0;
    virtual HRESULT put_SceneIndex(LONG newVal) = 0;
    virtual HRESULT GetFrameRate(LONG* lpFrameRate) = 0;
    virtual HRESULT GetRange(LONG lStream, LONG* plBeg, LONG* plEnd) = 0;
    virtual HRESULT GetImage(LONG lFrame, ComBuffer pImage, LONG* pImageSize) = 0;
    virtual HRESULT GetBitmap(LONG lFrame, ComBuffer lphBmp, LONG* lpImageSize) = 0;
    virtual HRESULT GetBitmapSize(LONG lFrame, LONG* lpSize) = 0;
    virtual HRESULT GetStreamOptionData(LONG fccType, ComBuffer lpData, LONG* lpLength) = 0;

protected:
    ~IAVIFilter() = default;
};
