#include "KivIc/Helpers/CommImgFunc.h"

BOOL CCommImgFunc::MapIndex(int x, int y, int count, BOOL mirror, int* pX, int* pY) const {
    const int n = count == -1 ? m_nCount : count;
    if (n == 0)
        return FALSE;
    *pX = x;
    *pY = mirror ? n - y : y;
    return TRUE;
}

BOOL CCommImgFunc::MapIndex(double x, double y, int count, BOOL mirror, double* pX, double* pY) const {
    const int n = count == -1 ? m_nCount : count;
    if (n == 0)
        return FALSE;
    *pX = x;
    *pY = mirror ? n - y : y;
    return TRUE;
}

BOOL CCommImgFunc::MapIndex2(double x, double y, int count, double* pX, double* pY) const {
    return MapIndex(x, y, count, m_nMirror2, pX, pY);
}
