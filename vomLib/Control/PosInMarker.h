// Marker painters of the overlays: small shapes around a point and rectangle outlines.
#pragma once

#include "platform/afx/afxwin.h"

namespace PosInWnd {

enum MarkerShape {
    MarkerCircle = 2,
    MarkerTriangleUp = 3,
    MarkerTriangleDown = 4,
    MarkerSquare = 5,
    MarkerDiamond = 6
};

// A marker of size r around the point in a solid pen of width 1; unknown shapes draw nothing.
void DrawMarker(HDC hDC, POINT point, int shape, int r, COLORREF color);
void DrawCircle(HDC hDC, POINT point, int r, COLORREF color);
void DrawTriangleUp(HDC hDC, POINT point, int r, COLORREF color);
void DrawTriangleDown(HDC hDC, POINT point, int r, COLORREF color);
void DrawSquare(HDC hDC, POINT point, int r, COLORREF color);
void DrawDiamond(HDC hDC, POINT point, int r, COLORREF color);
// A rectangle outline with a solid pen of the given width.
void DrawRect(HDC hDC, const RECT& rect, int width, COLORREF color);

} // namespace PosInWnd
