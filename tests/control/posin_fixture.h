// A zoom-and-point view in a window of known client size, with a bitmap whose pixels name their own
// coordinates (red = x, green = y), so a shown colour tells which image pixel is drawn there.
#pragma once

#include <memory>

#include <QImage>
#include <QWidget>

#include "afx/afx_test_app.h"
#include "platform/gdi/gdiqt.h"
#include "vomLib/Control/PosInView.h"

class TestPosInView : public CPosInView {
public:
    int overlays = 0;
    int zoomNotices = 0;
    void DrawOverlay(CDC*) override { ++overlays; }
    void OnZoomChanged() override { ++zoomNotices; }
    void PostNcDestroy() override {} // the fixture owns the object
};

inline QImage CoordinateImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x >> 8) * 16 + (y >> 8)));
    return image;
}

inline CPoint PixelAt(const QImage& shot, int x, int y) {
    const QRgb c = shot.pixel(x, y);
    return CPoint(qRed(c) + (qBlue(c) / 16) * 256, qGreen(c) + (qBlue(c) % 16) * 256);
}

class PosInFixture : public ::testing::Test {
protected:
    // A window whose client is clientW x clientH once both scroll bars show (16 pixels each).
    void Make(int bitmapW, int bitmapH, int windowW, int windowH) {
        EnsureQt();
        bitmap = CreateBitmapFromImage(CoordinateImage(bitmapW, bitmapH));
        view = std::make_unique<TestPosInView>();
        ASSERT_TRUE(view->Create(nullptr, "view", WS_OVERLAPPED, CRect(0, 0, windowW, windowH), nullptr, 0));
        view->SetBitmap(bitmap);
        view->SetZoom(1, 1, FALSE);
        view->GetWidget()->show();
        Pump();
    }
    void TearDown() override {
        if (view)
            view->DestroyWindow();
        view.reset();
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        Pump();
    }
    CSize Client() const {
        CRect rc;
        view->GetClientRect(&rc);
        return rc.Size();
    }
    // What the window shows now (its widget grabbed, scroll bars included).
    QImage Shot() {
        view->Invalidate(TRUE);
        view->UpdateWindow();
        return view->GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    void Send(UINT msg, int x, int y, WPARAM keys = 0) { view->SendMessage(msg, keys, MAKELPARAM(x, y)); }

    HBITMAP bitmap = nullptr;
    std::unique_ptr<TestPosInView> view;
};
