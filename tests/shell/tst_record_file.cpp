#include "shell/record_file.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using ruzez::test::readAll;
using ruzez::test::record;

class TestRecordFile : public QObject
{
    Q_OBJECT

private:
    QString fresh(const QByteArray &bytes = {}, bool create = true)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.LST").arg(++m_count));
        if (create)
            test::writeAll(path, bytes);
        return path;
    }

    QTemporaryDir m_dir;
    int m_count = 0;

private slots:
    void missingFileIsCreatedEmpty()
    {
        const QString path = fresh({}, false);
        RecordFile file(path);
        QVERIFY(file.open());
        QVERIFY(QFile::exists(path));
        QString text = QStringLiteral("junk");
        QVERIFY(file.read(1, text));
        QCOMPARE(text, QString());
        file.close();
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void writeLaysOutRecordBytes_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("first record") << 1 << "OUI" << record("OUI");
        QTest::newRow("fourth record of an empty file")
            << 4 << "x" << QByteArray(384, '\0') + record("x");
        QTest::newRow("accents in windows-1252") << 1 << "é€’à" << record("\xe9\x80\x92\xe0");
        QTest::newRow("outside the code page becomes ?") << 1 << "aΩ中😀b" << record("a???b");
        QTest::newRow("empty text") << 1 << "" << record("");
        QTest::newRow("126 characters") << 1 << QString(126, QLatin1Char('z')) << record(QByteArray(126, 'z'));
    }
    void writeLaysOutRecordBytes()
    {
        QFETCH(int, n);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        const QString path = fresh();
        {
            RecordFile file(path);
            QVERIFY(file.open());
            QVERIFY(file.write(n, text));
        }
        QCOMPARE(readAll(path), expected);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("Adresse de la page d'accueil:");
        QTest::newRow("accents") << QStringLiteral("Aller à... « é è ê ë ù ô » œ €");
        QTest::newRow("126 characters") << QString(126, QLatin1Char('a'));
        QTest::newRow("leading and trailing blanks") << QStringLiteral("  titre  ");
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        const QString path = fresh();
        RecordFile file(path);
        QVERIFY(file.open());
        QVERIFY(file.write(7, text));
        QString back;
        QVERIFY(file.read(7, back));
        QCOMPARE(back, text);
        QString between;
        QVERIFY(file.read(3, between));
        QCOMPARE(between, QString());
    }

    void tooLongIsRefusedAndRecordKept()
    {
        const QString path = fresh(record("ancien") + record("suivant"));
        const QByteArray before = readAll(path);
        RecordFile file(path);
        QVERIFY(file.open());
        QVERIFY(!file.write(1, QString(127, QLatin1Char('x'))));
        QVERIFY(!file.errorString().isEmpty());
        file.close();
        QCOMPARE(readAll(path), before);
    }

    void writeDoesNotTouchOtherRecords()
    {
        QByteArray bytes;
        for (int i = 1; i <= 30; ++i)
            bytes += record(QByteArray::number(i)) ;
        bytes[2 * 128 + 100] = '\x55'; // noise after a text of another record
        const QString path = fresh(bytes);
        {
            RecordFile file(path);
            QVERIFY(file.open());
            QVERIFY(file.write(19, QStringLiteral("NON")));
        }
        QByteArray expected = bytes;
        expected.replace(18 * 128, 128, record("NON"));
        QCOMPARE(readAll(path), expected);
    }

    void readsPastTheEndAreEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("record 5 of 2") << record("a") + record("b") << 5 << QString();
        QTest::newRow("all zero record") << QByteArray(256, '\0') << 2 << QString();
        QTest::newRow("last record") << record("a") + record("b") << 2 << QStringLiteral("b");
        // Damaged files written by other programs: never read past the record.
        QTest::newRow("length beyond the record")
            << (QByteArray("\xff\x00", 2) + QByteArray(126, 'q') + record("next")) << 1
            << QString(126, QLatin1Char('q'));
        QTest::newRow("file cut inside the text")
            << record("a") + QByteArray("\x0a\x00" "abc", 5) << 2 << QStringLiteral("abc");
        QTest::newRow("file cut inside the length") << record("a") + QByteArray("\x05", 1) << 2 << QString();
    }
    void readsPastTheEndAreEmpty()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, n);
        QFETCH(QString, expected);
        RecordFile file(fresh(bytes));
        QVERIFY(file.open());
        QString text = QStringLiteral("junk");
        QVERIFY(file.read(n, text));
        QCOMPARE(text, expected);
    }

    void badRecordNumbersFail_data()
    {
        QTest::addColumn<int>("n");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -1;
        QTest::newRow("beyond 16 bits") << 32768;
    }
    void badRecordNumbersFail()
    {
        QFETCH(int, n);
        const QString path = fresh();
        RecordFile file(path);
        QVERIFY(file.open());
        QString text;
        QVERIFY(!file.read(n, text));
        QVERIFY(!file.write(n, QStringLiteral("x")));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void closedFileFails()
    {
        RecordFile file(fresh(record("a")));
        QString text;
        QVERIFY(!file.read(1, text));
        QVERIFY(!file.write(1, QStringLiteral("b")));
    }

    void readOnlyFileIsReadableButNeverWritten()
    {
        const QString path = fresh(record("titre") + record("adresse"));
        const QByteArray before = readAll(path);
        test::ReadOnlyGuard guard(path);
        if (!guard.effective())
            QSKIP("this file system cannot make a file read-only here");
        RecordFile file(path);
        QVERIFY(file.open());
        QVERIFY(!file.isWritable());
        QString text;
        QVERIFY(file.read(2, text));
        QCOMPARE(text, QStringLiteral("adresse"));
        QVERIFY(!file.write(1, QStringLiteral("x")));
        QVERIFY(!file.write(9, QStringLiteral("x")));
        file.close();
        QCOMPARE(readAll(path), before);
    }

    void missingFileInReadOnlyFolderCannotOpen()
    {
        QTemporaryDir dir;
        test::ReadOnlyGuard guard(dir.path());
        if (!guard.effective())
            QSKIP("this file system cannot make a folder read-only here");
        RecordFile file(dir.filePath(QStringLiteral("FAVORIS.LST")));
        QVERIFY(!file.open());
        QVERIFY(!file.errorString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_record_file.moc"
