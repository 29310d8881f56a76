#pragma once

#include <QProcess>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

namespace ruzez::test {

// An X server (Xvfb) of one screen with openbox managing it, for tests of
// what a window manager does; `bottomPanel` pixels at the bottom are kept
// out of the work area, as a desktop's panel does. Stopped when destroyed.
class XDesktop
{
public:
    XDesktop() = default;
    ~XDesktop();
    XDesktop(const XDesktop &) = delete;
    XDesktop &operator=(const XDesktop &) = delete;

    // False with the reason in missing() (not installed, did not start).
    bool start(QSize screen, int bottomPanel = 0);
    QString missing() const { return m_missing; }
    // The DISPLAY of the server.
    QByteArray display() const { return m_display; }

private:
    QTemporaryDir m_folder;
    QProcess m_server;
    QProcess m_windowManager;
    QByteArray m_display;
    QString m_missing;
};

} // namespace ruzez::test
