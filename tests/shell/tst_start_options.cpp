#include "shell/start_options.h"

#include <QTest>

using namespace ruzez;

class TestStartOptions : public QObject
{
    Q_OBJECT

private slots:
    // The program folder is where the course's files are read and written:
    // a wrong one writes the wrong TEMPO.SZK and misses the disc.
    void programFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("startedAs");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("exitCode"); // -1: the program goes on; started in /home/prof
        QTest::newRow("absolute start path") << QStringList{"ruzez"} << "/opt/cours/RUZEZ.EXE" << "/opt/cours" << -1;
        QTest::newRow("link's own folder, relative") << QStringList{"./RUZEZ.EXE"} << "./cours/../cours/RUZEZ.EXE"
                                                     << "/home/prof/cours" << -1;
        QTest::newRow("program at the root") << QStringList{"ruzez"} << "/ruzez" << "/" << -1;
        QTest::newRow("option wins") << QStringList{"ruzez", "--program-folder", "/srv/Mon cours/"}
                                     << "/usr/bin/ruzez" << "/srv/Mon cours" << -1;
        QTest::newRow("option with =, relative") << QStringList{"ruzez", "--program-folder=élève"}
                                                 << "/usr/bin/ruzez" << QStringLiteral("/home/prof/élève") << -1;
        QTest::newRow("engine flags left alone") << QStringList{"ruzez", "--no-sandbox", "--program-folder", "/c"}
                                                 << "/usr/bin/ruzez" << "/c" << -1;
        QTest::newRow("option without folder") << QStringList{"ruzez", "--program-folder"} << "/usr/bin/ruzez"
                                               << "" << 2;
        QTest::newRow("help") << QStringList{"ruzez", "--help", "--program-folder", "/c"} << "/usr/bin/ruzez"
                              << "" << 0;
    }
    void programFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, startedAs);
        QFETCH(QString, folder);
        QFETCH(int, exitCode);
        const StartOptions options = parseStartOptions(arguments, startedAs, QStringLiteral("/home/prof"));
        QCOMPARE(options.exitCode.value_or(-1), exitCode);
        if (exitCode < 0)
            QCOMPARE(options.programFolder, folder);
        else
            QVERIFY(!options.message.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStartOptions)
#include "tst_start_options.moc"
