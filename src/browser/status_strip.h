#pragma once

#include <QWidget>

class QLabel;

namespace ruzez {

namespace test {
struct StatusStripProbe;
}

// etat, the status strip along the window's bottom edge: the browser's
// status text in Label1 over a progress bar drawn on the strip itself.
// The window's layout keeps it hidden, but the events still maintain it.
class StatusStrip : public QWidget
{
    Q_OBJECT

public:
    explicit StatusStrip(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;

    // Draws the bar from the left edge to `width` pixels (kept until cleared).
    void drawBar(float width);
    void clearBar();

signals:
    // etat_Resize: the window lays itself out again.
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend struct test::StatusStripProbe;

    float m_barWidth = 0;
};

} // namespace ruzez
