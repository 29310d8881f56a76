#include "shell/network_manager_dialup.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <optional>

using namespace ruzez;

namespace {

using Settings = QMap<QString, QVariantMap>;

const auto kService = QStringLiteral("org.freedesktop.NetworkManager");
const auto kManager = QStringLiteral("/org/freedesktop/NetworkManager");
const auto kMock = QStringLiteral("org.freedesktop.DBus.Mock");

// Far below what a teacher would notice, well above a healthy answer.
constexpr qint64 kQuickMs = NetworkManagerDialup::kCallTimeoutMs;

} // namespace

// Runs NetworkManagerDialup against python-dbusmock's NetworkManager on a
// private message bus that the test starts and stops itself.
class TestNetworkManagerDialup : public QObject
{
    Q_OBJECT

private:
    QString m_python;
    QProcess m_daemon;
    QProcess m_mock;
    QString m_address;
    std::optional<QDBusConnection> m_bus;
    QString m_device;
    int m_activeCount = 0;

    QDBusMessage mockCall(const QString &path, const QString &interface, const QString &method,
                          const QVariantList &args)
    {
        auto message = QDBusMessage::createMethodCall(kService, path, interface, method);
        message.setArguments(args);
        return m_bus->call(message, QDBus::Block, 5000);
    }

    // Starts NetworkManager's mock with one modem device and no connection.
    void startNetworkManager()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        m_mock.setProcessEnvironment(env);
        m_mock.setStandardOutputFile(QProcess::nullDevice());
        m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_mock.start(m_python, {"-m", "dbusmock", "--template", "networkmanager"});
        QVERIFY(m_mock.waitForStarted(5000));
        // The manager answers once the template has loaded.
        QTRY_VERIFY_WITH_TIMEOUT(activeConnections().has_value(), 15000);
        const auto device =
            mockCall(kManager, kMock, "AddEthernetDevice", {"modem0", "ttyUSB0", 100});
        QVERIFY2(device.type() == QDBusMessage::ReplyMessage, qPrintable(device.errorMessage()));
        m_device = kManager + "/Devices/modem0";
    }

    // Adds an active connection described as "type[/bluetooth-type][+ppp]:state".
    QString addActive(const QString &description)
    {
        const QStringList parts = description.split(':');
        QString type = parts.first();
        Settings settings;
        if (type.endsWith("+ppp")) {
            type.chop(4);
            settings["ppp"] = {{"lcp-echo-interval", 30}};
        }
        if (type.contains('/')) {
            settings["bluetooth"] = {{"type", type.section('/', 1)}};
            type = type.section('/', 0, 0);
        }
        settings["connection"] = {{"type", type}, {"id", description}};
        const auto added = mockCall(kManager + "/Settings", kService + ".Settings", "AddConnection",
                                    {QVariant::fromValue(settings)});
        const auto active = mockCall(
            kManager, kMock, "AddActiveConnection",
            {QStringList{m_device}, added.arguments().value(0).value<QDBusObjectPath>().path(), "/",
             QString::number(m_activeCount++), parts.value(1).toUInt()});
        return active.arguments().value(0).toString();
    }

    std::optional<QStringList> activeConnections()
    {
        const auto reply = mockCall(kManager, "org.freedesktop.DBus.Properties", "Get",
                                    {kService, "ActiveConnections"});
        if (reply.type() != QDBusMessage::ReplyMessage)
            return std::nullopt;
        const auto argument =
            reply.arguments().value(0).value<QDBusVariant>().variant().value<QDBusArgument>();
        QStringList paths;
        for (const auto &path : qdbus_cast<QList<QDBusObjectPath>>(argument))
            paths << path.path();
        return paths;
    }

private slots:
    void initTestCase()
    {
        qDBusRegisterMetaType<Settings>();
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed (package dbus)");
        for (const QString &candidate :
             {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")}) {
            QProcess probe;
            probe.start(candidate, {"-c", "import dbusmock"});
            if (probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit
                && probe.exitCode() == 0) {
                m_python = candidate;
                break;
            }
        }
        if (m_python.isEmpty())
            QSKIP("python3 cannot import dbusmock (package python3-dbusmock)");

        m_daemon.start(daemon, {"--session", "--nofork", "--print-address"});
        QVERIFY(m_daemon.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_daemon.canReadLine(), 10000);
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_bus = QDBusConnection::connectToBus(m_address, QStringLiteral("ruzez-test-bus"));
        QVERIFY2(m_bus->isConnected(), qPrintable(m_bus->lastError().message()));
    }

    void cleanup()
    {
        m_mock.kill();
        m_mock.waitForFinished(5000);
        m_activeCount = 0;
    }

    void cleanupTestCase()
    {
        if (m_bus)
            QDBusConnection::disconnectFromBus(m_bus->name());
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }

    // Only the first dial-up connection NetworkManager lists decides;
    // "decider" is its index, and a Yes hangs up exactly that one.
    void firstDialupConnectionDecides_data()
    {
        QTest::addColumn<QStringList>("connections");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("decider");
        QTest::newRow("no connection") << QStringList{} << false << -1;
        QTest::newRow("mobile broadband gsm") << QStringList{"gsm:2"} << true << 0;
        QTest::newRow("mobile broadband cdma") << QStringList{"cdma:2"} << true << 0;
        QTest::newRow("pppoe") << QStringList{"pppoe:2"} << true << 0;
        QTest::newRow("bluetooth dial-up") << QStringList{"bluetooth/dun:2"} << true << 0;
        QTest::newRow("bluetooth network link") << QStringList{"bluetooth/panu:2"} << false << -1;
        QTest::newRow("other kind running ppp") << QStringList{"generic+ppp:2"} << true << 0;
        QTest::newRow("still dialling") << QStringList{"gsm:1"} << false << 0;
        QTest::newRow("hanging up") << QStringList{"gsm:3"} << false << 0;
        QTest::newRow("wifi only") << QStringList{"802-11-wireless:2"} << false << -1;
        QTest::newRow("ethernet only") << QStringList{"802-3-ethernet:2"} << false << -1;
        QTest::newRow("wifi listed first is skipped")
            << QStringList{"802-11-wireless:2", "gsm:2"} << true << 1;
        QTest::newRow("first dial-up still dialling")
            << QStringList{"gsm:1", "pppoe:2"} << false << 0;
        QTest::newRow("first dial-up connected") << QStringList{"pppoe:2", "gsm:1"} << true << 0;
    }
    void firstDialupConnectionDecides()
    {
        QFETCH(QStringList, connections);
        QFETCH(bool, connected);
        QFETCH(int, decider);
        startNetworkManager();
        if (QTest::currentTestFailed())
            return;
        QStringList paths;
        for (const QString &connection : connections)
            paths << addActive(connection);
        QCOMPARE(activeConnections(), std::optional(paths));
        NetworkManagerDialup line(*m_bus);

        QCOMPARE(line.connexionactive(), connected);
        if (!connected)
            return;
        line.hangUp();
        paths.removeAt(decider);
        QCOMPARE(activeConnections(), std::optional(paths));
    }

    void hangUpWithoutACheckFindsTheLine()
    {
        startNetworkManager();
        if (QTest::currentTestFailed())
            return;
        const QString wifi = addActive("802-11-wireless:2");
        addActive("gsm:2");
        NetworkManagerDialup(*m_bus).hangUp();
        QCOMPARE(activeConnections(), std::optional(QStringList{wifi}));
    }

    // Without NetworkManager, or without a bus at all, the window closes
    // with no question and no wait.
    void noNetworkManagerMeansNotConnectedAtOnce_data()
    {
        QTest::addColumn<bool>("privateBus");
        QTest::newRow("bus without NetworkManager") << true;
        QTest::newRow("no bus") << false;
    }
    void noNetworkManagerMeansNotConnectedAtOnce()
    {
        QFETCH(bool, privateBus);
        NetworkManagerDialup line(privateBus ? *m_bus
                                             : QDBusConnection::connectToBus(
                                                 "unix:path=/nonexistent/bus", "ruzez-no-bus"));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!line.connexionactive());
        line.hangUp();
        QVERIFY2(clock.elapsed() < kQuickMs, qPrintable(QString::number(clock.elapsed())));
    }

    // A NetworkManager that holds its name but never answers must not
    // hold up the closing window.
    void silentNetworkManagerIsWaitedForBriefly()
    {
        startNetworkManager();
        if (QTest::currentTestFailed())
            return;
        addActive("gsm:2");
        ::kill(static_cast<pid_t>(m_mock.processId()), SIGSTOP);
        NetworkManagerDialup line(*m_bus);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!line.connexionactive());
        line.hangUp();
        QVERIFY2(clock.elapsed() < 2 * NetworkManagerDialup::kBudgetMs, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestNetworkManagerDialup)
#include "tst_network_manager_dialup.moc"
