#include "worksheet_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace ruzez {

QPixmap worksheetPicture()
{
    QPixmap picture(47, 49);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // The sheet, with its ruled lines.
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(4.5, 2.5, 30, 42));
    painter.setPen(QPen(QColor(20, 100, 180), 1));
    for (int line = 0; line < 6; ++line)
        painter.drawLine(QPointF(9, 10.5 + line * 6), QPointF(30, 10.5 + line * 6));

    // The pencil, across the sheet's lower right corner.
    painter.translate(38, 30);
    painter.rotate(35);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(QColor(240, 190, 40));
    painter.drawRect(QRectF(-3, -16, 6, 24));
    QPainterPath tip;
    tip.moveTo(-3, 8);
    tip.lineTo(3, 8);
    tip.lineTo(0, 15);
    tip.closeSubpath();
    painter.setBrush(QColor(230, 200, 160));
    painter.drawPath(tip);
    return picture;
}

} // namespace ruzez
