#include "worksheet_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace ruzez {

namespace {

const QSize kSize(47, 49);

void drawSheet(QPainter &painter)
{
    const QPolygonF sheet{{6, 2}, {30, 2}, {38, 10}, {38, 46}, {6, 46}};
    // Its shadow, down and to the right.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xa0, 0xa0, 0xa8));
    painter.drawPolygon(sheet.translated(2, 2));
    painter.setPen(QPen(QColor(0x70, 0x70, 0x78), 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(sheet);
    // The folded corner.
    painter.setBrush(QColor(0xd8, 0xd8, 0xd8));
    painter.drawPolygon(QPolygonF{{30, 2}, {30, 10}, {38, 10}});
    // Lines of writing, the last ones shorter.
    painter.setPen(QPen(QColor(0x38, 0x58, 0xa0), 1.2));
    const qreal ends[] = {26, 34, 34, 32, 34, 30, 24, 18};
    for (int line = 0; line < 8; ++line)
        painter.drawLine(QPointF(10, 8 + line * 4.5), QPointF(ends[line], 8 + line * 4.5));
}

// Drawn along the x axis from its point at the origin, then turned into place.
void drawPencil(QPainter &painter)
{
    painter.save();
    painter.translate(17, 43);
    painter.rotate(-45);
    painter.setPen(QPen(QColor(0x60, 0x40, 0x10), 0.8));
    painter.setBrush(QColor(0xf5, 0xd7, 0xa0)); // the sharpened wood
    painter.drawPolygon(QPolygonF{{0, 0}, {7, -3.5}, {7, 3.5}});
    painter.setBrush(QColor(0x30, 0x30, 0x30)); // the lead
    painter.drawPolygon(QPolygonF{{0, 0}, {2.5, -1.25}, {2.5, 1.25}});
    painter.setBrush(QColor(0xf0, 0xb0, 0x20)); // the painted body
    painter.drawRect(QRectF(7, -3.5, 22, 7));
    painter.setPen(QPen(QColor(0xd0, 0x80, 0x10), 1));
    painter.drawLine(QPointF(7, 0), QPointF(29, 0));
    painter.setPen(QPen(QColor(0x60, 0x40, 0x10), 0.8));
    painter.setBrush(QColor(0xb0, 0xb0, 0xb8)); // the ferrule
    painter.drawRect(QRectF(29, -3.5, 3, 7));
    painter.setBrush(QColor(0xe8, 0x80, 0x90)); // the eraser
    QPainterPath eraser;
    eraser.addRoundedRect(QRectF(32, -3.5, 4, 7), 1.5, 1.5);
    painter.drawPath(eraser);
    painter.restore();
}

} // namespace

QPixmap worksheetPicture(qreal ratio)
{
    ratio = qMax<qreal>(1, ratio);
    QPixmap picture(kSize * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawSheet(painter);
    drawPencil(painter);
    return picture;
}

} // namespace ruzez
