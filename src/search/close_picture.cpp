#include "search/close_picture.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <mutex>

namespace ruzez {

ClosePicture::ClosePicture(QWidget *parent)
    : QLabel(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void ClosePicture::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        if (!event->isAutoRepeat())
            emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClosePicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClosePicture::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // The panel's blue hides the style's thin focus frame: a white outline.
    QPainter painter(this);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

QPixmap closePicture(qreal ratio)
{
    ratio = qMax<qreal>(1, ratio);
    QPixmap picture(QSize(32, 32) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(QColor(200, 40, 40));
    painter.drawRoundedRect(QRectF(2, 2, 28, 28), 5, 5);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10, 10), QPointF(22, 22));
    painter.drawLine(QPointF(22, 10), QPointF(10, 22));
    return picture;
}

namespace {

class ClosePictureAccessible final : public QAccessibleWidget
{
public:
    explicit ClosePictureAccessible(ClosePicture *picture)
        : QAccessibleWidget(picture, QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("clicked()"));
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            emit static_cast<ClosePicture *>(widget())->clicked();
    }
};

QAccessibleInterface *searchAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("ruzez::SearchPanel") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Pane);
    if (className == QLatin1String("ruzez::ClosePicture"))
        return new ClosePictureAccessible(static_cast<ClosePicture *>(object));
    return nullptr;
}

} // namespace

void installSearchAccessibility()
{
    // Qt keeps one list of factories for the process.
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(searchAccessible); });
}

} // namespace ruzez
