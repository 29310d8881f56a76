#include "x_desktop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace ruzez::test {

namespace {

// Openbox publishes the work area once it manages the screen; a window
// shown before then would be placed on a screen with no work area yet.
bool workAreaPublished(const QByteArray &display)
{
    xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
    bool published = false;
    if (!xcb_connection_has_error(connection)) {
        const char name[] = "_NET_WORKAREA";
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, true, uint16_t(strlen(name)), name), nullptr);
        if (atom && atom->atom != XCB_ATOM_NONE) {
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
            xcb_get_property_reply_t *value = xcb_get_property_reply(
                connection, xcb_get_property(connection, false, root, atom->atom, XCB_ATOM_CARDINAL, 0, 4),
                nullptr);
            published = value && xcb_get_property_value_length(value) == 16;
            std::free(value);
        }
        std::free(atom);
    }
    xcb_disconnect(connection);
    return published;
}

} // namespace

bool XDesktop::start(QSize screen, int bottomPanel)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (xvfb.isEmpty() || openbox.isEmpty()) {
        m_missing = QStringLiteral("Xvfb or openbox is not installed (scripts/packages.sh installs them)");
        return false;
    }
    m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"),
                          QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                          QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_server.waitForReadyRead(20000)) {
        m_missing = QStringLiteral("Xvfb did not start");
        return false;
    }
    m_display = ':' + m_server.readLine().trimmed();
    // Openbox's margins are what a panel's strut would take from the work area.
    const QByteArray config =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
        "  <focus><focusNew>no</focusNew></focus>\n"
        "  <margins><top>0</top><left>0</left><right>0</right><bottom>"
        + QByteArray::number(bottomPanel) + "</bottom></margins>\n</openbox_config>\n";
    const QString configFile = m_folder.filePath(QStringLiteral("rc.xml"));
    QFile file(configFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size()) {
        m_missing = QStringLiteral("cannot write openbox's configuration");
        return false;
    }
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    m_windowManager.setProcessEnvironment(environment);
    m_windowManager.start(openbox, {QStringLiteral("--sm-disable"), QStringLiteral("--config-file"), configFile});
    const QDeadlineTimer deadline(20000);
    bool ready = m_windowManager.waitForStarted(20000);
    while (ready && !workAreaPublished(m_display)) {
        ready = !deadline.hasExpired() && m_windowManager.state() == QProcess::Running;
        QThread::msleep(50);
    }
    if (!ready)
        m_missing = QStringLiteral("openbox did not start");
    return ready;
}

XDesktop::~XDesktop()
{
    for (QProcess *process : {&m_windowManager, &m_server}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(5000))
            process->kill();
    }
}

} // namespace ruzez::test
