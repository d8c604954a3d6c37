// The image functions through which the tracking code reaches the frames of its window: an interface
// that the tracking child frame's adapter fills, and the coordinate mappers (rows mirrored against a
// height when the picture is stored bottom-up).
#pragma once

#include "platform/win32/types.h"

class CWnd;
class PointFrame;

class CCommImgFunc {
public:
    explicit CCommImgFunc(CWnd* pOwner = nullptr) : m_pOwner(pOwner) {}
    virtual ~CCommImgFunc() = default;

    // Filled by the adapter of the tracking child frame.
    virtual void BeginUpdate() = 0;
    virtual int GetStatus() = 0;
    virtual void SetPointPosition(PointFrame* pTable, long frame, int pointCount, int pointIndex, double x,
                                  double y, BOOL found, BOOL byHand) = 0;
    virtual void GoToFrame(long frame) = 0;
    virtual void EndUpdate() = 0;
    virtual void ShowFrame(long frame) = 0;
    virtual BYTE* GetFrameGray(long frame, int* pWidth, int* pHeight) = 0;
    virtual void ConvertPoint(int height, double x, double y, double* pX, double* pY) = 0;
    virtual BYTE* GetFrameRgb(long frame, int* pWidth, int* pHeight, int* pBits, int* pExtra) = 0;
    virtual BYTE* ConvertToGray(const BYTE* pPixels, int width, int height) = 0;

    // (x, y) to (x, count - y) when mirroring, else unchanged. count -1 means the object's count; a count
    // of 0 fails.
    virtual BOOL MapIndex(int x, int y, int count, BOOL mirror, int* pX, int* pY) const;
    virtual BOOL MapIndex(double x, double y, int count, BOOL mirror, double* pX, double* pY) const;
    // The same with the second mirror flag.
    virtual BOOL MapIndex2(double x, double y, int count, double* pX, double* pY) const;
    // The mappers with the object's first mirror flag.
    BOOL MapPoint(int x, int y, int count, int* pX, int* pY) const {
        return MapIndex(x, y, count, m_nMirror1, pX, pY);
    }
    BOOL MapPoint(double x, double y, int count, double* pX, double* pY) const {
        return MapIndex(x, y, count, m_nMirror1, pX, pY);
    }

    CWnd* m_pOwner;
    int m_nCount = 0;
    int m_nMirror1 = 1;
    int m_nMirror2 = 1;
    int m_nMirror3 = 1;
};
