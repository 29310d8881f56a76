#include "status_strip.h"

#include "shell/twips.h"

#include <QLabel>
#include <QPainter>

namespace ruzez {

StatusStrip::StatusStrip(QWidget *parent)
    : QWidget(parent)
    , Label1(new QLabel(this))
{
    Label1->setGeometry(twipsToPixels(120), twipsToPixels(30), twipsToPixels(11295), twipsToPixels(255));
    QFont font = Label1->font();
    font.setBold(true);
    font.setPointSizeF(9.75);
    Label1->setFont(font);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(palette);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
}

void StatusStrip::drawBar(float width)
{
    m_barWidth = width;
    update();
}

void StatusStrip::clearBar()
{
    m_barWidth = 0;
    update();
}

void StatusStrip::paintEvent(QPaintEvent *)
{
    if (m_barWidth <= 0)
        return;
    QPainter painter(this);
    // Dark blue, entry 1 of the sixteen-colour palette.
    painter.fillRect(QRectF(0, 0, m_barWidth, height()), QColor(0, 0, 128));
}

void StatusStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

} // namespace ruzez
