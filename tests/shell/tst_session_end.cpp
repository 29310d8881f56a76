// The real program, ended under its window: by a signal, or by the loss of
// its display (a real X server killed under it).

#include "test_files.h"
#include "window_harness.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace ruzez;

namespace {

constexpr int kTimeout = 60000;

// The exchange file as the main course program leaves it: every record full
// of its own bytes, "NON" in 19, the activity in 26.
QByteArray exchangeFile()
{
    QByteArray bytes;
    for (int i = 0; i < 30 * 128; ++i)
        bytes += char((i * 31 + 5) % 251);
    return bytes.replace(18 * 128, 128, test::record("NON")).replace(25 * 128, 128, test::record("20"));
}

QByteArray runningFlag(const QString &path)
{
    const QByteArray bytes = test::readAll(path).mid(18 * 128, 128);
    return bytes.size() == 128 ? bytes.mid(2, quint8(bytes.at(0))) : QByteArray();
}

// An X server of its own, on the first free display; empty when it did not start.
QString startXServer(QProcess &server)
{
    server.start(QStandardPaths::findExecutable(QStringLiteral("Xvfb")),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server.waitForStarted() || !server.waitForReadyRead(kTimeout))
        return {};
    return QLatin1Char(':') + QString::fromLatin1(server.readLine().trimmed());
}

} // namespace

class TestSessionEnd : public QObject
{
    Q_OBJECT

private slots:
    // Record 19 reads "NON" afterwards, and no other byte has changed.
    void endingTheSessionRunsTheClosingHandlers_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM (shutdown, kill)") << SIGTERM;
        QTest::newRow("SIGHUP (terminal or session gone)") << SIGHUP;
        QTest::newRow("SIGINT (Ctrl+C)") << SIGINT;
        QTest::newRow("X server gone (logout)") << 0;
    }
    void endingTheSessionRunsTheClosingHandlers()
    {
        QFETCH(int, signal);
        QProcess x;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(); // offscreen, as the tests run
        if (signal == 0) {
            const QString display = startXServer(x);
            QVERIFY2(!display.isEmpty(), "Xvfb (package xvfb) did not start");
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            environment.insert(QStringLiteral("DISPLAY"), display);
        }

        // The program keeps its files beside itself: a copy of it, with a start page (no disc asked for).
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("ruzez"));
        QVERIFY(QFile::copy(QStringLiteral(RUZEZ_PROGRAM), program));
        QVERIFY(test::writeAll(folder.filePath(QStringLiteral("index.html")), "<title>Accueil</title>"));
        const QString exchange = folder.filePath(QStringLiteral("TEMPO.SZK"));
        const QByteArray bytes = exchangeFile();
        QVERIFY(test::writeAll(exchange, bytes));

        QProcess ruzez;
        ruzez.setProcessEnvironment(environment);
        ruzez.setProcessChannelMode(QProcess::ForwardedChannels);
        ruzez.start(program, {});
        QVERIFY(ruzez.waitForStarted());
        (void)QTest::qWaitFor([&] { return runningFlag(exchange) == "OUI" || ruzez.state() != QProcess::Running; }, kTimeout);
        QCOMPARE(runningFlag(exchange), QByteArray("OUI"));
        // Up to the first page, so that the end comes to a program at rest.
        QTest::qWait(1000);

        if (signal != 0)
            ::kill(pid_t(ruzez.processId()), signal);
        else
            x.kill();
        QVERIFY(ruzez.waitForFinished(kTimeout));
        QCOMPARE(runningFlag(exchange), QByteArray("NON"));
        QCOMPARE(test::readAll(exchange), bytes);
    }

    // The window's side: nobody is asked about the dial-up line at the end
    // of a session, and the handlers run once, whatever came first.
    void endSessionClosesWithoutTheQuestion_data()
    {
        QTest::addColumn<bool>("dialup");
        QTest::addColumn<bool>("closedBefore");
        QTest::newRow("dial-up line up") << true << false;
        QTest::newRow("no dial-up line") << false << false;
        QTest::newRow("window closed already") << true << true;
    }
    void endSessionClosesWithoutTheQuestion()
    {
        QFETCH(bool, dialup);
        QFETCH(bool, closedBefore);
        test::WindowHarness h;
        h.writeActivity("20");
        h.dialup.connected = dialup;
        h.browser->autoComplete = true;
        h.window->Form_Load();
        h.settle();
        if (closedBefore) {
            h.boxes.answerWith({vb::No});
            h.window->close();
        }
        h.window->endSession();
        h.window->endSession();
        QCOMPARE(h.boxes.calls.size(), closedBefore ? 1 : 0);
        QCOMPARE(h.dialup.hangUps, 0);
        QCOMPARE(h.programEnded, 1);
        QCOMPARE(runningFlag(QDir(h.programFolder()).filePath(QStringLiteral("TEMPO.SZK"))), QByteArray("NON"));
    }

    // Closing handlers that hang (a share that does not answer) do not keep
    // the program: the next signal ends it at once, whatever it is.
    void aSecondSignalEndsAtOnce_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("SIGTERM twice") << SIGTERM << SIGTERM;
        QTest::newRow("SIGHUP then SIGINT") << SIGHUP << SIGINT;
    }
    void aSecondSignalEndsAtOnce()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QProcess helper;
        helper.start(QStringLiteral(SESSION_END_HELPER), {});
        QVERIFY(helper.waitForReadyRead(kTimeout));
        QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));

        ::kill(pid_t(helper.processId()), first);
        QVERIFY(helper.waitForReadyRead(kTimeout));
        QCOMPARE(helper.readLine().trimmed(), QByteArray("closing"));
        QVERIFY(!helper.waitForFinished(200));

        ::kill(pid_t(helper.processId()), second);
        QVERIFY(helper.waitForFinished(kTimeout));
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
        QCOMPARE(helper.exitCode(), second);
    }
};

QTEST_MAIN(TestSessionEnd)
#include "tst_session_end.moc"
