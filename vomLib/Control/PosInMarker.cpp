#include "vomLib/Control/PosInMarker.h"

namespace PosInWnd {

namespace {

// Outlines only: a hollow brush, and a transparent background for pen gaps.
void Outline(HDC hDC, COLORREF color, int width, void (*draw)(HDC, const POINT*, int), const POINT* pts,
             int n) {
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HGDIOBJ oldPen = SelectObject(hDC, pen);
    HGDIOBJ oldBrush = SelectObject(hDC, GetStockObject(HOLLOW_BRUSH));
    const int oldBk = SetBkMode(hDC, TRANSPARENT);
    draw(hDC, pts, n);
    SetBkMode(hDC, oldBk);
    SelectObject(hDC, oldBrush);
    SelectObject(hDC, oldPen);
    DeleteObject(pen);
}

void PolygonOf(HDC hDC, const POINT* pts, int n) {
    Polygon(hDC, pts, n);
}

void EllipseOf(HDC hDC, const POINT* pts, int) {
    Ellipse(hDC, pts[0].x, pts[0].y, pts[1].x, pts[1].y);
}

void RectangleOf(HDC hDC, const POINT* pts, int) {
    Rectangle(hDC, pts[0].x, pts[0].y, pts[1].x, pts[1].y);
}

} // namespace

void DrawCircle(HDC hDC, POINT p, int r, COLORREF color) {
    const POINT box[2] = {{p.x - r, p.y - r}, {p.x + r, p.y + r}};
    Outline(hDC, color, 1, EllipseOf, box, 2);
}

void DrawTriangleUp(HDC hDC, POINT p, int r, COLORREF color) {
    const POINT pts[3] = {{p.x, p.y - r}, {p.x - r, p.y + r}, {p.x + r, p.y + r}};
    Outline(hDC, color, 1, PolygonOf, pts, 3);
}

void DrawTriangleDown(HDC hDC, POINT p, int r, COLORREF color) {
    const POINT pts[3] = {{p.x, p.y + r}, {p.x - r, p.y - r}, {p.x + r, p.y - r}};
    Outline(hDC, color, 1, PolygonOf, pts, 3);
}

void DrawSquare(HDC hDC, POINT p, int r, COLORREF color) {
    const POINT box[2] = {{p.x - r, p.y - r}, {p.x + r, p.y + r}};
    Outline(hDC, color, 1, RectangleOf, box, 2);
}

void DrawDiamond(HDC hDC, POINT p, int r, COLORREF color) {
    const POINT pts[4] = {{p.x - r, p.y}, {p.x, p.y + r}, {p.x + r, p.y}, {p.x, p.y - r}};
    Outline(hDC, color, 1, PolygonOf, pts, 4);
}

void DrawMarker(HDC hDC, POINT point, int shape, int r, COLORREF color) {
    switch (shape) {
    case MarkerCircle:
        DrawCircle(hDC, point, r, color);
        break;
    case MarkerTriangleUp:
        DrawTriangleUp(hDC, point, r, color);
        break;
    case MarkerTriangleDown:
        DrawTriangleDown(hDC, point, r, color);
        break;
    case MarkerSquare:
        DrawSquare(hDC, point, r, color);
        break;
    case MarkerDiamond:
        DrawDiamond(hDC, point, r, color);
        break;
    default:
        break;
    }
}

void DrawRect(HDC hDC, const RECT& rect, int width, COLORREF color) {
    const POINT box[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    Outline(hDC, color, width, RectangleOf, box, 2);
}

} // namespace PosInWnd
