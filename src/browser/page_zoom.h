#pragma once

#include <QObject>
#include <QString>

class QWebEngineView;

namespace ruzez {

// The page zoom the pupil chooses: Ctrl and plus, minus or 0 (the keypad's
// too), or Ctrl and the wheel, over any window that shows pages. One zoom
// holds for every page and pop-up, in steps from 50 % to 300 %, and is
// remembered in `settingsFile` (the user's own configuration, never the
// course folder's record files) for the next start.
class PageZoom : public QObject
{
    Q_OBJECT

public:
    // Watches the application's events from now on.
    explicit PageZoom(QString settingsFile, QObject *parent = nullptr);
    ~PageZoom() override;

    qreal factor() const { return m_factor; }
    // One step up or down (bounded), or back to 100 %.
    void zoomIn();
    void zoomOut();
    void reset();

    static constexpr qreal kMinimum = 0.5;
    static constexpr qreal kMaximum = 3.0;

signals:
    void changed(qreal factor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setFactor(qreal factor);
    static void apply(QWebEngineView *view, qreal factor);

    QString m_settingsFile;
    qreal m_factor = 1.0;
    int m_wheel = 0;
};

} // namespace ruzez
