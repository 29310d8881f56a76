#include "desktop.h"

#include <QFile>
#include <QStandardPaths>

namespace ruzez::test {

namespace {

const QByteArray kOpenboxConfig =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
    "  <focus><focusNew>no</focusNew><followMouse>no</followMouse></focus>\n"
    "  <placement><policy>Smart</policy></placement>\n"
    "</openbox_config>\n";

} // namespace

bool Desktop::start()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (xvfb.isEmpty() || openbox.isEmpty()) {
        missing = QStringLiteral("Xvfb or openbox is not installed (scripts/packages.sh "
                                 "installs xvfb and openbox)");
        return false;
    }
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                        QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
    if (!server.waitForReadyRead(20000)) {
        missing = QStringLiteral("Xvfb did not start");
        return false;
    }
    const QByteArray display = ':' + server.readLine().trimmed();
    qputenv("DISPLAY", display);
    const QString config = folder.filePath(QStringLiteral("rc.xml"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(kOpenboxConfig) < 0)
        return false;
    file.close();
    windowManager.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    windowManager.start(openbox, {QStringLiteral("--sm-disable"),
                                  QStringLiteral("--config-file"), config});
    return windowManager.waitForStarted(20000);
}

Desktop::~Desktop()
{
    for (QProcess *process : {&windowManager, &server}) {
        process->terminate();
        if (!process->waitForFinished(5000))
            process->kill();
    }
}

} // namespace ruzez::test
