#include "KivIc/Bars/ExSliderWidget.h"

#include <algorithm>
#include <cstdlib>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "KivIc/Bars/ExSliderCtrl.h"

namespace {
constexpr int kMargin = 8;
constexpr int kThumbHalfWidth = 4;
} // namespace

CExSliderWidget::CExSliderWidget(CExSliderCtrl* slider, QWidget* parent) : QWidget(parent), m_slider(slider) {
    m_slider->AddRef();
    m_slider->SetWidget(this);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(24);
}

CExSliderWidget::~CExSliderWidget() {
    m_slider->SetWidget(nullptr);
    m_slider->Release();
}

int CExSliderWidget::PositionOf(long value) const {
    const long range = m_slider->Max() - m_slider->Min();
    const int track = std::max(1, width() - 2 * kMargin);
    if (range <= 0)
        return kMargin;
    return kMargin + static_cast<int>(static_cast<long long>(value - m_slider->Min()) * track / range);
}

long CExSliderWidget::ValueAt(int x) const {
    const long range = m_slider->Max() - m_slider->Min();
    const int track = std::max(1, width() - 2 * kMargin);
    const long long offset = static_cast<long long>(x - kMargin) * range;
    // Rounded to the nearest value.
    const long long value = m_slider->Min() + (offset + (offset >= 0 ? track / 2 : -track / 2)) / track;
    return static_cast<long>(value);
}

void CExSliderWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int trackY = height() / 3;
    const int left = kMargin;
    const int right = width() - kMargin;
    const bool enabled = m_slider->Enabled() != FALSE;
    painter.setPen(enabled ? palette().color(QPalette::Dark) : palette().color(QPalette::Mid));
    painter.drawLine(left, trackY, right, trackY);
    if (m_slider->Extra(EXSLIDER_SHOWSELECTION)) {
        const int start = PositionOf(m_slider->SelStart());
        const int end = PositionOf(m_slider->SelEnd());
        painter.fillRect(QRect(start, trackY - 2, std::max(1, end - start), 5), palette().highlight());
        const int markY = trackY + 8;
        painter.setBrush(palette().text());
        for (const int x : {start, end}) {
            const QPoint marker[3] = {QPoint(x, markY), QPoint(x - 4, markY + 6), QPoint(x + 4, markY + 6)};
            painter.drawPolygon(marker, 3);
        }
    }
    const int thumb = PositionOf(m_slider->Value());
    painter.setBrush(enabled ? palette().button() : palette().window());
    painter.drawRect(QRect(thumb - kThumbHalfWidth, trackY - 7, 2 * kThumbHalfWidth, 14));
}

void CExSliderWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_slider->Enabled())
        return;
    const int x = static_cast<int>(event->position().x());
    const int y = static_cast<int>(event->position().y());
    m_drag = Drag::Value;
    if (m_slider->Extra(EXSLIDER_SHOWSELECTION) && y > height() / 3 + 4) {
        const int toStart = std::abs(x - PositionOf(m_slider->SelStart()));
        const int toEnd = std::abs(x - PositionOf(m_slider->SelEnd()));
        m_drag = toStart <= toEnd ? Drag::SelStart : Drag::SelEnd;
    }
    MoveDragged(x);
}

void CExSliderWidget::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag != Drag::None)
        MoveDragged(static_cast<int>(event->position().x()));
}

void CExSliderWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (m_drag != Drag::None)
        MoveDragged(static_cast<int>(event->position().x()));
    m_drag = Drag::None;
}

void CExSliderWidget::MoveDragged(int x) {
    const long value = ValueAt(x);
    switch (m_drag) {
    case Drag::Value:
        m_slider->UserMoveValue(value);
        break;
    case Drag::SelStart:
        m_slider->UserMoveSelStart(value);
        break;
    case Drag::SelEnd:
        m_slider->UserMoveSelEnd(value);
        break;
    case Drag::None:
        break;
    }
}

void CExSliderWidget::keyPressEvent(QKeyEvent* event) {
    const long large = std::max<long>(1, m_slider->Extra(EXSLIDER_LARGECHANGE));
    const long value = m_slider->Value();
    switch (event->key()) {
    case Qt::Key_Left:
        m_slider->UserMoveValue(value - 1);
        break;
    case Qt::Key_Right:
        m_slider->UserMoveValue(value + 1);
        break;
    case Qt::Key_PageUp:
        m_slider->UserMoveValue(value - large);
        break;
    case Qt::Key_PageDown:
        m_slider->UserMoveValue(value + large);
        break;
    case Qt::Key_Home:
        m_slider->UserMoveValue(m_slider->Min());
        break;
    case Qt::Key_End:
        m_slider->UserMoveValue(m_slider->Max());
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
