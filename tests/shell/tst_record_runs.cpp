#include "shell/record_file.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using test::readAll;
using test::record;

// Runs of records must read and write exactly as records one by one do.
class TestRecordRuns : public QObject
{
    Q_OBJECT

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
        QTest::newRow("texts and a blank") << record("Un") + record("") + record("  trois  ");
        QTest::newRow("bytes the code page leaves undefined")
            << record(QByteArray("\x80\x81\x8d\x8f\x90\x9d\xe9\xff\x01", 9)) + record("b");
        QTest::newRow("length past the record") << QByteArray("\xff\x00", 2) + QByteArray(126, 'x') + record("s");
        QTest::newRow("file cut inside a text") << record("a") + QByteArray("\x05\x00ab", 4);
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

    void writeRun_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("written");
        const QStringList texts = {"Aller à...", "", QString(126, QLatin1Char('z')), "aΩb"};
        QTest::newRow("inside the file") << 2 << texts << true;
        QTest::newRow("past the end") << 6 << texts << true;
        QTest::newRow("a text of 127 refuses the run") << 1 << QStringList{"a", QString(127, QLatin1Char('b'))} << false;
        QTest::newRow("past record 32767") << 32767 << QStringList{"a", "b"} << false;
    }
    void writeRun()
    {
        QFETCH(int, first);
        QFETCH(QStringList, texts);
        QFETCH(bool, written);
        const QByteArray start = record("garde") + record("x") + record("y");
        const QString byRun = fresh(start);
        const QString byRecord = fresh(start);
        {
            RecordFile run(byRun);
            RecordFile one(byRecord);
            QVERIFY(run.open() && one.open());
            QCOMPARE(run.writeRun(first, texts), written);
            for (int i = 0; written && i < texts.size(); ++i)
                QVERIFY(one.write(first + i, texts.at(i)));
        }
        QCOMPARE(readAll(byRun), readAll(byRecord));
    }

    void readOnlyFileRefusesARun()
    {
        const QString path = fresh(record("A"));
        test::ReadOnlyGuard guard(path);
        if (!guard.effective())
            QSKIP("cannot make a read-only file here");
        RecordFile file(path);
        QVERIFY(file.open());
        QVERIFY(!file.writeRun(1, {QStringLiteral("B")}));
        file.close();
        QCOMPARE(readAll(path), record("A"));
    }
};

QTEST_GUILESS_MAIN(TestRecordRuns)
#include "tst_record_runs.moc"
