#pragma once

#include <QLabel>

namespace ruzez {

// The panel's close picture, Image1: a picture the mouse clicks, and a
// button for the keyboard (Tab reaches it, Enter or Space presses it) and
// for screen readers.
class ClosePicture : public QLabel
{
    Q_OBJECT

public:
    explicit ClosePicture(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// The picture drawn for the device pixel ratio given, 32 x 32 logical
// pixels: sharp on scaled screens.
QPixmap closePicture(qreal ratio);

// Screen readers see the panel as a pane of the main window (a frame would
// be announced as a window of its own) and the close picture as a button
// they can press.
void installSearchAccessibility();

} // namespace ruzez
