#include "KivIc/App/AppIcon.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "KivIc/Main/MainFrame.h"

namespace {

// Drawn in a 64-unit square, scaled to each size so small sizes stay sharp.
QPixmap Draw(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // The film: a dark strip with perforations above and below the picture.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x26, 0x32, 0x48));
    p.drawRoundedRect(QRectF(2, 6, 60, 52), 6, 6);
    p.setBrush(QColor(0xE8, 0xEC, 0xF2));
    for (int i = 0; i < 6; ++i) {
        p.drawRect(QRectF(7 + i * 9.2, 9, 5, 4));
        p.drawRect(QRectF(7 + i * 9.2, 51, 5, 4));
    }
    // The picture.
    p.setBrush(QColor(0x4A, 0x7D, 0xB8));
    p.drawRect(QRectF(6, 16, 52, 32));

    // A point's path through the frames, ending at its latest position.
    QPainterPath path(QPointF(11, 42));
    path.cubicTo(QPointF(22, 40), QPointF(28, 22), QPointF(46, 24));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xFF, 0xD2, 0x4A), 3.0, Qt::DashLine, Qt::RoundCap));
    p.drawPath(path);
    p.setPen(QPen(Qt::white, 2.0));
    p.setBrush(QColor(0xE8, 0x4A, 0x3A));
    p.drawEllipse(QPointF(47, 24), 6, 6);
    return pixmap;
}

} // namespace

void InstallProgramIcon() {
    if (AfxFindIcon(IDR_MAINFRAME).isNull()) {
        QIcon icon;
        for (int size : {16, 24, 32, 48, 64, 128})
            icon.addPixmap(Draw(size));
        AfxRegisterIcon(IDR_MAINFRAME, icon);
    }
    QApplication::setWindowIcon(AfxFindIcon(IDR_MAINFRAME));
}
