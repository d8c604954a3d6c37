#include "KivIc/Bars/CommandIcons.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include "KivIc/Bars/CtrlBar.h"
#include "platform/afx/afxwin.h"

namespace {

const QColor kInk(48, 48, 48);
const QColor kAccent(200, 40, 40);

// Glyphs are drawn on a 32-unit grid and scaled to the wanted side.
void Triangle(QPainter& p, QPointF a, QPointF b, QPointF c) {
    p.drawPolygon(QPolygonF({a, b, c}));
}

void Bar(QPainter& p, double x, double top, double bottom, double width = 3.0) {
    p.drawRect(QRectF(x, top, width, bottom - top));
}

void Draw(QPainter& p, CommandGlyph glyph) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    switch (glyph) {
    case CommandGlyph::Play:
        Triangle(p, {10, 7}, {10, 25}, {25, 16});
        break;
    case CommandGlyph::PlayBackward:
        Triangle(p, {22, 7}, {22, 25}, {7, 16});
        break;
    case CommandGlyph::Stop:
        p.drawRect(QRectF(9, 9, 14, 14));
        break;
    case CommandGlyph::StepForward:
        Triangle(p, {8, 8}, {8, 24}, {19, 16});
        Bar(p, 21, 8, 24);
        break;
    case CommandGlyph::StepBackward:
        Bar(p, 8, 8, 24);
        Triangle(p, {24, 8}, {24, 24}, {13, 16});
        break;
    case CommandGlyph::FirstFrame:
        Bar(p, 5, 8, 24);
        Triangle(p, {18, 8}, {18, 24}, {9, 16});
        Triangle(p, {27, 8}, {27, 24}, {18, 16});
        break;
    case CommandGlyph::LastFrame:
        Triangle(p, {5, 8}, {5, 24}, {14, 16});
        Triangle(p, {14, 8}, {14, 24}, {23, 16});
        Bar(p, 24, 8, 24);
        break;
    case CommandGlyph::Trigger:
        // A mark standing on the time line at the trigger.
        Bar(p, 4, 23, 25, 24);
        Bar(p, 14.5, 10, 23);
        p.setBrush(kAccent);
        Triangle(p, {10, 4}, {22, 4}, {16, 11});
        break;
    case CommandGlyph::Loop: {
        QPen pen(kInk, 3.0);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(6, 8, 20, 16), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        Triangle(p, {17, 3}, {17, 13}, {24, 8});
        break;
    }
    case CommandGlyph::RangeBegin:
        Bar(p, 6, 6, 26);
        Bar(p, 6, 6, 9, 7);
        Bar(p, 6, 23, 26, 7);
        Triangle(p, {27, 10}, {27, 22}, {17, 16});
        break;
    case CommandGlyph::RangeEnd:
        Bar(p, 23, 6, 26);
        Bar(p, 19, 6, 9, 7);
        Bar(p, 19, 23, 26, 7);
        Triangle(p, {5, 10}, {5, 22}, {15, 16});
        break;
    case CommandGlyph::PointInput: {
        QPen pen(kAccent, 2.0);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 8, 8);
        p.drawLine(QPointF(16, 3), QPointF(16, 29));
        p.drawLine(QPointF(3, 16), QPointF(29, 16));
        break;
    }
    case CommandGlyph::FrameRate: {
        QPen pen(kInk, 2.5);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 11, 11);
        p.drawLine(QPointF(16, 16), QPointF(16, 8));
        p.drawLine(QPointF(16, 16), QPointF(22, 19));
        break;
    }
    case CommandGlyph::More:
        for (double x : {7.0, 14.5, 22.0})
            p.drawEllipse(QRectF(x, 14, 4, 4));
        break;
    case CommandGlyph::Synchronize:
        // Two recordings playing together, tied by a common line.
        Triangle(p, {6, 4}, {6, 14}, {15, 9});
        Triangle(p, {6, 18}, {6, 28}, {15, 23});
        p.setBrush(kAccent);
        Bar(p, 19, 4, 28);
        break;
    case CommandGlyph::Tile: {
        p.setPen(QPen(kInk, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4, 6, 11, 20));
        p.drawRect(QRectF(17, 6, 11, 20));
        break;
    }
    }
}

} // namespace

QImage DrawCommandGlyph(CommandGlyph glyph, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 32.0, side / 32.0);
    Draw(painter, glyph);
    painter.end();
    return image;
}

void RegisterCommandIcon(UINT nID, CommandGlyph glyph) {
    QIcon icon;
    for (int side : {16, 24, 32})
        icon.addPixmap(QPixmap::fromImage(DrawCommandGlyph(glyph, side)));
    AfxRegisterIcon(nID, icon);
}

void RegisterCtrlBarIcons() {
    static const bool done = [] {
        const struct {
            UINT command;
            CommandGlyph glyph;
        } buttons[] = {
            {ID_PLAY_START_FRAME, CommandGlyph::FirstFrame},
            {ID_PLAY_REVERSE_STEP, CommandGlyph::StepBackward},
            {ID_PLAY_REWIND, CommandGlyph::PlayBackward},
            {ID_PLAY_STOP, CommandGlyph::Stop},
            {ID_PLAY_PLAY, CommandGlyph::Play},
            {ID_PLAY_FORWARD_STEP, CommandGlyph::StepForward},
            {ID_PLAY_END_FRAME, CommandGlyph::LastFrame},
            {ID_PLAY_T0, CommandGlyph::Trigger},
            {ID_PLAY_LOOP, CommandGlyph::Loop},
        };
        // A face under the document command and under its synchronised command.
        for (const auto& button : buttons) {
            RegisterCommandIcon(button.command, button.glyph);
            RegisterCommandIcon(CCtrlBar::MapPlaybackCommand(button.command, 2), button.glyph);
        }
        RegisterCommandIcon(ID_PLAY_SET_BEGIN, CommandGlyph::RangeBegin);
        RegisterCommandIcon(ID_PLAY_SET_END, CommandGlyph::RangeEnd);
        RegisterCommandIcon(ID_RETICLE_INPUT, CommandGlyph::PointInput);
        RegisterCommandIcon(ID_FRAME_RATE, CommandGlyph::FrameRate);
        RegisterCommandIcon(ID_CTRL_2001, CommandGlyph::More);
        RegisterCommandIcon(IDC_CTRL_1037, CommandGlyph::More);
        return true;
    }();
    (void)done;
}
