// The slider's face: a track with the selection band and its two markers below, and the thumb.
// Dragging the thumb moves the value; dragging near a marker below the track moves that end of the
// selection; the arrow keys step by 1 and PageUp/PageDown by the large change.
#pragma once

#include <QWidget>

class CExSliderCtrl;

class CExSliderWidget : public QWidget {
public:
    // Holds a reference to the slider while it lives.
    explicit CExSliderWidget(CExSliderCtrl* slider, QWidget* parent = nullptr);
    ~CExSliderWidget() override;
    CExSliderWidget(const CExSliderWidget&) = delete;
    CExSliderWidget& operator=(const CExSliderWidget&) = delete;

    // Track geometry, shared by painting and the mouse.
    int PositionOf(long value) const;
    long ValueAt(int x) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Value, SelStart, SelEnd };
    void MoveDragged(int x);

    CExSliderCtrl* m_slider;
    Drag m_drag = Drag::None;
};
