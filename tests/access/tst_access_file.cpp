// Access files made by Access itself (Jet3 and Jet4), read by our reader and
// compared with libmdb's reading of the same tables.

#include "access_test_files.h"

#include "access/access_file.h"

#include <QTest>

using namespace ruzez;

namespace {

QString fixture(const QString &name)
{
    return qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/tests/fixtures/access/") + name;
}

// Values both readers write the same way; libmdb formats dates and
// fractional numbers its own way, which says nothing about the file.
bool comparable(int type)
{
    constexpr int kBool = 0x01, kByte = 0x02, kInt = 0x03, kLong = 0x04, kText = 0x0A, kMemo = 0x0C;
    return type == kBool || type == kByte || type == kInt || type == kLong || type == kText
        || type == kMemo;
}

} // namespace

class TestAccessFile : public QObject
{
    Q_OBJECT

private slots:
    void sameAsLibmdb_data();
    void sameAsLibmdb();
    void knownValues_data();
    void knownValues();
};

void TestAccessFile::sameAsLibmdb_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("jet4");
    QTest::newRow("Jet3, many column types") << "testV1997.mdb" << "Table1" << 2 << false;
    QTest::newRow("Jet3, empty table") << "testV1997.mdb" << "Table2" << 0 << false;
    QTest::newRow("Jet3, text and memo") << "test2V1997.mdb" << "MSP_PROJECTS" << 1 << false;
    QTest::newRow("Jet4, text and memo") << "test2V2000.mdb" << "MSP_PROJECTS" << 1 << true;
    QTest::newRow("Jet4, compressed Unicode") << "testUnicodeCompV2003.mdb" << "Table" << 8 << true;
    QTest::newRow("table name in other letter case") << "testUnicodeCompV2003.mdb" << "TABLE" << 8 << true;
}

void TestAccessFile::sameAsLibmdb()
{
    QFETCH(QString, file);
    QFETCH(QString, table);
    QFETCH(int, rows);
    QFETCH(bool, jet4);
    AccessFile access;
    QString error;
    QVERIFY2(access.open(fixture(file), &error), qPrintable(error));
    QCOMPARE(access.isJet4(), jet4);
    const auto read = access.readTable(table, &error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(int(read->rows.size()), rows);

    if (!test::haveMdbExport())
        QSKIP("mdb-export is not installed");
    const auto exported = test::mdbExport(fixture(file), table);
    QVERIFY(exported);
    QCOMPARE(exported->front(), read->columns);
    QCOMPARE(int(exported->size()), rows + 1);
    int compared = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < read->columns.size(); ++c) {
            if (!comparable(read->types[c]))
                continue;
            QCOMPARE(read->rows[r][c], (*exported)[r + 1][c]);
            ++compared;
        }
    }
    QVERIFY(rows == 0 || compared > 0);
}

void TestAccessFile::knownValues_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");  // a value some row holds, as its text
    QTest::newRow("Jet4 compressed Unicode, Greek") << "testUnicodeCompV2003.mdb" << "Table" << "Unicode"
                                                    << QString::fromUtf16(u"\u03f0\u03b1\u1f76 \u03c4\u1f79\u03c4' \u1f10\u03b3\u1f7c "
                                                                       u"\u039a\u1f7b\u03f0\u03bb\u03c9\u03c0\u03b1");
    QTest::newRow("Jet4 compressed Unicode, Japanese") << "testUnicodeCompV2003.mdb" << "Table" << "Unicode"
                                                       << QStringLiteral("漢字仮名交じり文");
    QTest::newRow("Jet4 compressed Unicode, Latin-1") << "testUnicodeCompV2003.mdb" << "Table" << "Unicode"
                                                      << QStringLiteral("ääkkösiä");
    QTest::newRow("Jet3 text") << "testV1997.mdb" << "Table1" << "B" << "hijklmnop";
}

void TestAccessFile::knownValues()
{
    QFETCH(QString, file);
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, text);
    AccessFile access;
    QVERIFY(access.open(fixture(file), nullptr));
    const auto read = access.readTable(table, nullptr);
    QVERIFY(read);
    const int c = int(read->columns.indexOf(column));
    QVERIFY(c >= 0);
    bool found = false;
    for (const QStringList &values : read->rows)
        found = found || values[c] == text;
    QVERIFY(found);
}

QTEST_GUILESS_MAIN(TestAccessFile)
#include "tst_access_file.moc"
