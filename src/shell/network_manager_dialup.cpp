#include "shell/network_manager_dialup.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLatin1StringView>
#include <QVariantMap>

#include <algorithm>
#include <array>

namespace ruzez {

namespace {

const auto kService = QStringLiteral("org.freedesktop.NetworkManager");
const auto kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const auto kActiveInterface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const auto kSettingsInterface =
    QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const auto kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

constexpr std::array kDialupTypes{QLatin1StringView("gsm"), QLatin1StringView("cdma"),
                                  QLatin1StringView("pppoe"), QLatin1StringView("adsl")};
constexpr std::array kNetworkTypes{QLatin1StringView("802-3-ethernet"),
                                   QLatin1StringView("802-11-wireless"),
                                   QLatin1StringView("loopback")};

template<std::size_t N>
bool listed(const std::array<QLatin1StringView, N> &types, const QString &type)
{
    return std::any_of(types.begin(), types.end(),
                       [&type](QLatin1StringView t) { return type == t; });
}

// Unwraps a reply argument that may come as a variant ('v') or as a
// structured value still in its D-Bus form.
template<typename T>
T fromReply(const QVariant &value)
{
    QVariant inner = value;
    if (inner.userType() == qMetaTypeId<QDBusVariant>())
        inner = inner.value<QDBusVariant>().variant();
    if (inner.userType() == qMetaTypeId<QDBusArgument>())
        return qdbus_cast<T>(inner.value<QDBusArgument>());
    return inner.value<T>();
}

using ConnectionSettings = QMap<QString, QVariantMap>;

} // namespace

NetworkManagerDialup::NetworkManagerDialup(QDBusConnection bus) : m_bus(std::move(bus)) {}

bool NetworkManagerDialup::connexionactive()
{
    m_connected.clear();
    const auto line = firstDialup(QDeadlineTimer(kBudgetMs));
    if (!line || line->state != kActivated)
        return false;
    m_connected = line->path;
    return true;
}

void NetworkManagerDialup::hangUp()
{
    const QDeadlineTimer deadline(kBudgetMs);
    QString path = m_connected;
    if (path.isEmpty()) {
        const auto line = firstDialup(deadline);
        if (line && line->state == kActivated)
            path = line->path;
    }
    m_connected.clear();
    if (path.isEmpty())
        return;
    // A refusal (no permission, connection already gone) is ignored: the
    // window closes either way.
    call(kManagerPath, kService, QStringLiteral("DeactivateConnection"),
         {QVariant::fromValue(QDBusObjectPath(path))}, deadline);
}

std::optional<NetworkManagerDialup::ActiveDialup>
NetworkManagerDialup::firstDialup(const QDeadlineTimer &deadline) const
{
    const auto listing = call(kManagerPath, kPropertiesInterface, QStringLiteral("Get"),
                              {kService, QStringLiteral("ActiveConnections")}, deadline);
    if (!listing || listing->isEmpty())
        return std::nullopt;
    const auto paths = fromReply<QList<QDBusObjectPath>>(listing->first());
    for (const QDBusObjectPath &active : paths) {
        // A connection that vanished since the listing cannot be told
        // apart, so it is passed over like any non-dial-up one.
        const auto reply = call(active.path(), kPropertiesInterface, QStringLiteral("GetAll"),
                                {kActiveInterface}, deadline);
        if (!reply || reply->isEmpty())
            continue;
        const auto properties = fromReply<QVariantMap>(reply->first());
        const QString type = properties.value(QStringLiteral("Type")).toString();
        const QString connection =
            properties.value(QStringLiteral("Connection")).value<QDBusObjectPath>().path();
        if (isDialup(type, connection, deadline))
            return ActiveDialup{active.path(), properties.value(QStringLiteral("State")).toUInt()};
    }
    return std::nullopt;
}

bool NetworkManagerDialup::isDialup(const QString &type, const QString &connectionPath,
                                    const QDeadlineTimer &deadline) const
{
    if (listed(kDialupTypes, type))
        return true;
    if (listed(kNetworkTypes, type) || connectionPath.isEmpty())
        return false;
    const auto reply = call(connectionPath, kSettingsInterface, QStringLiteral("GetSettings"),
                            {}, deadline);
    if (!reply || reply->isEmpty())
        return false;
    const auto settings = fromReply<ConnectionSettings>(reply->first());
    if (type == QLatin1StringView("bluetooth")) {
        const QVariantMap bluetooth = settings.value(QStringLiteral("bluetooth"));
        return bluetooth.value(QStringLiteral("type")).toString() == QLatin1StringView("dun");
    }
    return settings.contains(QStringLiteral("ppp"));
}

std::optional<QVariantList> NetworkManagerDialup::call(const QString &path,
                                                       const QString &interface,
                                                       const QString &method,
                                                       const QVariantList &args,
                                                       const QDeadlineTimer &deadline) const
{
    if (!m_bus.isConnected())
        return std::nullopt;
    const qint64 left = deadline.remainingTime();
    if (left == 0)
        return std::nullopt;
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(args);
    // Asking must not start a NetworkManager that is not running.
    message.setAutoStartService(false);
    const int timeout = static_cast<int>(left < 0 ? kCallTimeoutMs
                                                  : std::min<qint64>(left, kCallTimeoutMs));
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, timeout);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments();
}

} // namespace ruzez
