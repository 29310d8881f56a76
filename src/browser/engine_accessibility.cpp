#include "browser/engine_accessibility.h"

#include <QAccessible>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace ruzez {

namespace {

constexpr int kBusAnswerMs = 1000;

// A property of org.a11y.Status on the session bus, false when nobody answers.
bool statusSays(const char *property)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QStringLiteral("org.a11y.Status") << QString::fromLatin1(property);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kBusAnswerMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

} // namespace

bool desktopAccessibilityOn()
{
    if (QAccessible::isActive() || qEnvironmentVariableIntValue("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        return true;
    if (!QDBusConnection::sessionBus().isConnected())
        return false;
    return statusSays("IsEnabled") || statusSays("ScreenReaderEnabled");
}

void exposePagesToScreenReaders()
{
    if (qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        return;
    if (desktopAccessibilityOn())
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
}

} // namespace ruzez
