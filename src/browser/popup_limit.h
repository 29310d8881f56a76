#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

class QWebEnginePage;

namespace ruzez {

class SeparateBrowserWindow;

// The windows that pages open on the pupil's clicks (the engine refuses the
// ones a script opens by itself): at most kMaxWindows at once, whoever opens
// them, the main page or a window it opened; a further one opens in the main
// window instead. They are windows of their own, not kept above the main
// window, smaller than it and offset from its corner, so its buttons stay in
// reach; they close when their owner goes.
class PopupLimit : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxWindows = 4;
    // Opens an address in the main window.
    using OpenHere = std::function<void(const QUrl &url)>;

    explicit PopupLimit(OpenHere openHere, QObject *parent = nullptr);
    ~PopupLimit() override;

    // The page a new window's contents go to.
    QWebEnginePage *open();
    QList<SeparateBrowserWindow *> windows() const;

private:
    OpenHere m_openHere;
    QList<QPointer<SeparateBrowserWindow>> m_windows;
    int m_opened = 0;
};

} // namespace ruzez
