#pragma once

#include "shell/dialup_line.h"

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QString>
#include <QVariantList>

#include <optional>

namespace ruzez {

// The dial-up line as NetworkManager reports it on the system bus.
//
// A dial-up connection is an active connection of one of these kinds:
//  - Type "gsm" or "cdma" (mobile broadband), "pppoe" or "adsl";
//  - Type "bluetooth" whose settings say bluetooth.type "dun" (a phone's
//    dial-up networking; "panu" is a network link, not a dial-up);
//  - any other Type whose settings carry a "ppp" section (NetworkManager
//    runs pppd for it), except the plain network types "802-3-ethernet",
//    "802-11-wireless" and "loopback", which are never read further.
// Connections of other kinds are skipped: the first dial-up connection in
// NetworkManager's ActiveConnections list decides, wherever it stands.
//
// Closing the window must never wait on a missing or stuck service: every
// call is bounded (kCallTimeoutMs each, kBudgetMs for a whole check),
// never starts NetworkManager through bus activation, and any failure
// reads as "not connected".
class NetworkManagerDialup final : public DialupLine
{
public:
    static constexpr int kCallTimeoutMs = 500;
    static constexpr int kBudgetMs = 1500;
    static constexpr uint kActivated = 2; // NM_ACTIVE_CONNECTION_STATE_ACTIVATED

    // Build it once the application object exists (the system bus needs it).
    explicit NetworkManagerDialup(QDBusConnection bus = QDBusConnection::systemBus());

    bool connexionactive() override;
    // Deactivates the connection the last check found connected; without
    // such a check, looks for it first.
    void hangUp() override;

private:
    struct ActiveDialup
    {
        QString path;
        uint state = 0;
    };

    std::optional<ActiveDialup> firstDialup(const QDeadlineTimer &deadline) const;
    bool isDialup(const QString &type, const QString &connectionPath,
                  const QDeadlineTimer &deadline) const;
    std::optional<QVariantList> call(const QString &path, const QString &interface,
                                     const QString &method, const QVariantList &args,
                                     const QDeadlineTimer &deadline) const;

    QDBusConnection m_bus;
    QString m_connected; // active connection path found connected by the last check
};

} // namespace ruzez
