#include "shell/exchange_file.h"
#include "shell/record_file.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using ruzez::test::readAll;
using ruzez::test::record;

class TestExchangeFile : public QObject
{
    Q_OBJECT

private slots:
    void missingFileBecomesNineteenRecords()
    {
        QTemporaryDir dir;
        QCOMPARE(exchange::announceRunning(dir.path()), QString());
        const QByteArray bytes = readAll(dir.filePath(QStringLiteral("TEMPO.SZK")));
        QCOMPARE(bytes.size(), 2432);
        QCOMPARE(bytes.mid(2304), record("OUI"));
        QCOMPARE(bytes.left(2304), QByteArray(2304, '\0'));
    }

    void activityIsHandedBackUntrimmed()
    {
        QTemporaryDir dir;
        QByteArray bytes(25 * 128, '\0');
        bytes += record(" 23\r");
        test::writeAll(exchange::path(dir.path()), bytes);
        QCOMPARE(exchange::announceRunning(dir.path()), QStringLiteral(" 23\r"));
    }

    // The main course program owns every other byte of the file.
    void onlyRecordNineteenChanges()
    {
        QTemporaryDir dir;
        QByteArray bytes;
        for (int i = 0; i < 40 * 128; ++i)
            bytes += char((i * 7 + 3) % 251);
        bytes.replace(25 * 128, 128, record("21"));
        const QString path = exchange::path(dir.path());
        test::writeAll(path, bytes);

        QCOMPARE(exchange::announceRunning(dir.path()), QStringLiteral("21"));
        QByteArray expected = bytes;
        expected.replace(18 * 128, 128, record("OUI"));
        QCOMPARE(readAll(path), expected);

        QVERIFY(exchange::announceStopped(dir.path()));
        expected.replace(18 * 128, 128, record("NON"));
        QCOMPARE(readAll(path), expected);
        QCOMPARE(readAll(path).mid(2304, 5), QByteArray("\x03\x00NON", 5));
    }

    void readOnlyFileStillGivesTheActivity()
    {
        QTemporaryDir dir;
        QByteArray bytes(25 * 128, '\0');
        bytes += record("22");
        const QString path = exchange::path(dir.path());
        test::writeAll(path, bytes);
        test::ReadOnlyGuard guard(path);
        if (!guard.effective())
            QSKIP("this file system cannot make a file read-only here");
        QCOMPARE(exchange::announceRunning(dir.path()), QStringLiteral("22"));
        QVERIFY(!exchange::announceStopped(dir.path()));
        QCOMPARE(readAll(path), bytes);
    }

    void pathJoinsWithOneSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "/opt/ruzez" << "/opt/ruzez/TEMPO.SZK";
        QTest::newRow("ends with separator") << "/opt/ruzez/" << "/opt/ruzez/TEMPO.SZK";
        QTest::newRow("root") << "/" << "/TEMPO.SZK";
    }
    void pathJoinsWithOneSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(exchange::path(folder), expected);
    }
};

QTEST_GUILESS_MAIN(TestExchangeFile)
#include "tst_exchange_file.moc"
