#include "shell/record_file.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using test::record;

// A run of records must read exactly as its records one by one do, also
// in damaged files. (Writing runs is checked byte for byte by the
// favourites tests, whose removals write them.)
class TestRecordRuns : public QObject
{
    Q_OBJECT

    QString fresh(const QByteArray &bytes) { return m_scratch.newFile(bytes); }
    test::ScratchFolder m_scratch;

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
};

QTEST_GUILESS_MAIN(TestRecordRuns)
#include "tst_record_runs.moc"
