// The image functions of a tracking window: the adapter through which the playback layer and the
// tracking job reach the window's frame services.
#pragma once

#include "KivIc/Helpers/CommImgFunc.h"

// What a tracking window offers the adapter.
class CTrackingFrameServices {
public:
    virtual ~CTrackingFrameServices() = default;
    virtual void SetPointPosition(PointFrame* pTable, long frame, int pointCount, int pointIndex, double x,
                                  double y, BOOL found, BOOL byHand) = 0;
    // The document shows the frame; its views redraw.
    virtual void GoToFrame(long frame) = 0;
    virtual BYTE* GetFrameGray(long frame, int* pWidth, int* pHeight) = 0;
    virtual void ConvertPoint(int height, double x, double y, double* pX, double* pY) = 0;
    virtual BYTE* GetFrameRgb(long frame, int* pWidth, int* pHeight, int* pBits, int* pExtra) = 0;
    virtual BYTE* ConvertToGray(const BYTE* pPixels, int width, int height) = 0;
};

class CCommImgFunc4Avi : public CCommImgFunc {
public:
    // pWnd is the window behind the services (the adapter's owner).
    explicit CCommImgFunc4Avi(CTrackingFrameServices* pFrame, CWnd* pWnd = nullptr)
        : CCommImgFunc(pWnd), m_pFrame(pFrame) {}

    void BeginUpdate() override {}
    int GetStatus() override { return 0; }
    void SetPointPosition(PointFrame* pTable, long frame, int pointCount, int pointIndex, double x, double y,
                          BOOL found, BOOL byHand) override;
    void GoToFrame(long frame) override;
    void EndUpdate() override {}
    void ShowFrame(long frame) override;
    BYTE* GetFrameGray(long frame, int* pWidth, int* pHeight) override;
    void ConvertPoint(int height, double x, double y, double* pX, double* pY) override;
    BYTE* GetFrameRgb(long frame, int* pWidth, int* pHeight, int* pBits, int* pExtra) override;
    BYTE* ConvertToGray(const BYTE* pPixels, int width, int height) override;

private:
    CTrackingFrameServices* m_pFrame;
};
