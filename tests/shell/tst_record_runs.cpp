#include "shell/record_file.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using test::readAll;
using test::record;

// Reading and writing runs of records must give exactly what reading and
// writing them one by one gives.
class TestRecordRuns : public QObject
{
    Q_OBJECT

private:
    QString fresh(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("r%1.LST").arg(++m_count));
        test::writeAll(path, bytes);
        return path;
    }

    QTemporaryDir m_dir;
    int m_count = 0;

private slots:
    void readRunMatchesRecordByRecord_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("texts and a blank")
            << record("Un") + record("") + record("  trois  ") + record("quatre");
        QTest::newRow("every byte of the code page")
            << record(QByteArray("\x80\x81\x8d\x8f\x90\x9d\xe9\xff\x01", 9)) + record("b");
        QTest::newRow("length past the record")
            << QByteArray("\xff\x00", 2) + QByteArray(126, 'x') + record("suite");
        QTest::newRow("file cut inside the last record") << record("a") + QByteArray("\x05\x00ab", 4);
        QTest::newRow("file cut inside a length") << record("a") + QByteArray("\x05", 1);
    }
    void readRunMatchesRecordByRecord()
    {
        QFETCH(QByteArray, bytes);
        RecordFile file(fresh(bytes));
        QVERIFY(file.open());
        const int count = int(bytes.size() / RecordFile::kRecordSize) + 3;
        for (int first : {1, 2}) {
            QStringList run;
            QVERIFY(file.readRun(first, count, run));
            QCOMPARE(run.size(), count);
            for (int i = 0; i < count; ++i) {
                QString one;
                QVERIFY(file.read(first + i, one));
                QCOMPARE(run.at(i), one);
            }
        }
    }

    void writeRunMatchesRecordByRecord()
    {
        const QStringList texts = {QStringLiteral("Aller à..."), QString(), QString(126, QLatin1Char('z')),
                                   QStringLiteral("aΩb")};
        const QByteArray start = record("garde") + record("x") + record("y");
        const QString byRun = fresh(start);
        const QString byRecord = fresh(start);
        {
            RecordFile run(byRun);
            RecordFile one(byRecord);
            QVERIFY(run.open() && one.open());
            QVERIFY(run.writeRun(2, texts));
            for (int i = 0; i < texts.size(); ++i)
                QVERIFY(one.write(2 + i, texts.at(i)));
        }
        QCOMPARE(readAll(byRun), readAll(byRecord));
        QCOMPARE(readAll(byRun).left(128), record("garde"));
    }

    void refusedRunWritesNothing_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("one text of 127") << 1 << QStringList{"a", QString(127, QLatin1Char('b')), "c"};
        QTest::newRow("run past record 32767") << 32767 << QStringList{"a", "b"};
        QTest::newRow("record 0") << 0 << QStringList{"a"};
    }
    void refusedRunWritesNothing()
    {
        QFETCH(int, first);
        QFETCH(QStringList, texts);
        const QByteArray before = record("A") + record("B");
        const QString path = fresh(before);
        {
            RecordFile file(path);
            QVERIFY(file.open());
            QVERIFY(!file.writeRun(first, texts));
            QVERIFY(!file.errorString().isEmpty());
            QStringList none;
            QVERIFY(first >= 1 || !file.readRun(first, 1, none));
        }
        QCOMPARE(readAll(path), before);
    }

    void readOnlyFileRefusesARun()
    {
        const QByteArray before = record("A");
        const QString path = fresh(before);
        test::ReadOnlyGuard guard(path);
        if (!guard.effective())
            QSKIP("cannot make a read-only file here");
        RecordFile file(path);
        QVERIFY(file.open());
        QVERIFY(!file.writeRun(1, {QStringLiteral("B")}));
        QStringList run;
        QVERIFY(file.readRun(1, 1, run));
        QCOMPARE(run, QStringList{"A"});
        file.close();
        QCOMPARE(readAll(path), before);
    }
};

QTEST_GUILESS_MAIN(TestRecordRuns)
#include "tst_record_runs.moc"
