#include "KivIc/Helpers/CommImgFunc4Avi.h"

void CCommImgFunc4Avi::SetPointPosition(PointFrame* pTable, long frame, int pointCount, int pointIndex,
                                        double x, double y, BOOL found, BOOL byHand) {
    m_pFrame->SetPointPosition(pTable, frame, pointCount, pointIndex, x, y, found, byHand);
}

void CCommImgFunc4Avi::GoToFrame(long frame) {
    m_pFrame->GoToFrame(frame);
}

void CCommImgFunc4Avi::ShowFrame(long frame) {
    m_pFrame->GoToFrame(frame);
}

BYTE* CCommImgFunc4Avi::GetFrameGray(long frame, int* pWidth, int* pHeight) {
    return m_pFrame->GetFrameGray(frame, pWidth, pHeight);
}

void CCommImgFunc4Avi::ConvertPoint(int height, double x, double y, double* pX, double* pY) {
    m_pFrame->ConvertPoint(height, x, y, pX, pY);
}

BYTE* CCommImgFunc4Avi::GetFrameRgb(long frame, int* pWidth, int* pHeight, int* pBits, int* pExtra) {
    return m_pFrame->GetFrameRgb(frame, pWidth, pHeight, pBits, pExtra);
}

BYTE* CCommImgFunc4Avi::ConvertToGray(const BYTE* pPixels, int width, int height) {
    return m_pFrame->ConvertToGray(pPixels, width, height);
}
