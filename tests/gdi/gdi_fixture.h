// Shared pieces of the GDI tests: a memory DC with its own bitmap, filled with one colour.
#pragma once

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdiqt.h"

struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    Surface(int width, int height, COLORREF fill = RGB(0, 0, 0)) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // The pixels of row y as '#' (pen), 'o' (brush), '.' (background) or '?' for other colours.
    std::string Row(int y, COLORREF pen, COLORREF brush, COLORREF background) const {
        BITMAP bm{};
        GetObject(bitmap, sizeof(bm), &bm);
        std::string s;
        for (int x = 0; x < bm.bmWidth; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            s += c == pen ? '#' : c == brush ? 'o' : c == background ? '.' : '?';
        }
        return s;
    }
};

class GdiTest : public ::testing::Test {
protected:
    void SetUp() override { m_objects = GetGdiObjectCount(); }
    // Every test gives back what it created.
    void TearDown() override { EXPECT_EQ(GetGdiObjectCount(), m_objects); }

private:
    DWORD m_objects = 0;
};
