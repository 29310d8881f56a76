// After Form_Unload the process ends at once, even while the engine is
// blocked reading a page (here a FIFO nobody writes to, as a dead share or
// a scratched disc would hold it). The program runs in a child process of
// this test, with the real engine and the real end of the program.

#include "browser/web_engine_browser.h"
#include "page_script.h"
#include "recording_desktop.h"
#include "shell/prompt_exit.h"
#include "test_files.h"
#include "window/frm_browser.h"
#include "window_harness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace ruzez;

namespace {

const char *const kChildFolder = "RUZEZ_EXIT_TEST_FOLDER";

// The program as main wires it, over fakes for what it asks the desktop; it
// closes its window when the test writes a line to its input.
int runProgram(int argc, char *argv[])
{
    QApplication app(argc, argv);
    test::FakeMessageBoxes boxes;
    test::FakeDrives drives;
    test::ScriptedDialupLine dialup;
    test::RecordingHelpEngine help;
    test::FakeWindowFrame frame;
    test::RecordingDesktop desktop;
    frmBrowser window(boxes, drives, dialup, help, frame, qEnvironmentVariable(kChildFolder),
                      std::make_unique<WebEngineBrowser>(desktop.handOff()), [] { endProcessNow(0); });
    window.Form_Load();
    window.show();
    std::puts("ready");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &window, [&window] { window.Command2_Click(); });
    QApplication::exec();
    return 3; // never reached: the program ends inside Form_Unload
}

} // namespace

class TestPromptExit : public QObject
{
    Q_OBJECT

private slots:
    void endsWhileAPageReadIsBlocked()
    {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString exchange = program.filePath(QStringLiteral("TEMPO.SZK"));
        QVERIFY(test::writeAll(exchange, QByteArray(25 * 128, '\0') + test::record("0")));
        QVERIFY(test::makeFile(program.filePath(QStringLiteral("index.html")),
                               "<html><head><meta http-equiv=\"refresh\" content=\"0; url=tube.html\"></head></html>"));
        const QByteArray fifo = program.filePath(QStringLiteral("tube.html")).toLocal8Bit();
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kChildFolder), program.path());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.setReadChannel(QProcess::StandardOutput);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());

        // Time for the engine to start reading the page.
        QVERIFY(child.waitForReadyRead(test::kEngineTimeout));
        QTest::qWait(2000);

        QElapsedTimer clock;
        clock.start();
        child.write("close\n");
        const bool ended = child.waitForFinished(10000);
        qInfo("ended %lld ms after the close was asked for", clock.elapsed());
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        QVERIFY(ended);
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(test::readAll(exchange).mid(18 * 128, 128), test::record("NON"));
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(kChildFolder))
        return runProgram(argc, argv);
    QApplication app(argc, argv);
    TestPromptExit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_prompt_exit.moc"
