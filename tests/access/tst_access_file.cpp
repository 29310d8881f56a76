// Access files made by Access itself (Jet3 and Jet4), read by our reader and
// compared with libmdb's reading of the same tables.

#include "access_test_files.h"

#include "access/access_file.h"
#include "access/access_text.h"
#include "test_files.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace ruzez;

namespace {

using ruzez::JetWriter;

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
    void valuesReadRight_data();
    void valuesReadRight();
    void refusesAColumnItCannotRead();
    void opensOnlyRegularFiles_data();
    void opensOnlyRegularFiles();
    void fileCutWhileRead();
    void everyCharacterToWindows1252();

private:
    test::ScratchFolder m_scratch;
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
    QCOMPARE(test::AccessFileProbe::isJet4(access), jet4);
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

// A table of one column holding `value`, written by our writer.
QByteArray oneValue(JetWriter::ColumnType type, bool otherStorage, const QString &value)
{
    JetWriter writer(QStringLiteral("T"), {{QStringLiteral("V"), type, otherStorage}});
    writer.addRow({value});
    return writer.bytes();
}

void TestAccessFile::valuesReadRight_data()
{
    using Type = JetWriter::ColumnType;
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("otherStorage");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("text");   // as read, or empty when the read fails
    QTest::addColumn<QString>("error");  // a part of the error, when it fails
    const int date = int(Type::DateTime);
    QTest::newRow("date at midnight") << date << false << "36526" << "2000-01-01T00:00:00" << "";
    QTest::newRow("0.4 s rounds down") << date << false << "36526.500004629" << "2000-01-01T12:00:00" << "";
    QTest::newRow("0.6 s rounds up") << date << false << "36526.500006944" << "2000-01-01T12:00:01" << "";
    QTest::newRow("last instant rounds to the next day") << date << false << "36526.99999999"
                                                         << "2000-01-02T00:00:00" << "";
    QTest::newRow("before 1899-12-30, time added") << date << false << "-1.25" << "1899-12-29T06:00:00" << "";
    QTest::newRow("the epoch's own day, negative") << date << false << "-0.5" << "1899-12-30T12:00:00" << "";
    QTest::newRow("first day Access knows") << date << false << "-657434" << "0100-01-01T00:00:00" << "";
    QTest::newRow("date among the variable-length values") << date << true << "2.75"
                                                           << "1900-01-01T18:00:00" << "";
    for (const char *damaged : {"nan", "inf", "-inf", "1e300", "-657435", "2958466"})
        QTest::newRow(qPrintable(QStringLiteral("damaged date %1").arg(damaged)))
            << date << false << damaged << "" << "outside the years 100 to 9999";
    QTest::newRow("number among the variable-length values") << int(Type::LongInteger) << true << "-123456"
                                                             << "-123456" << "";
    QTest::newRow("fixed-length text") << int(Type::Text) << true << "ozone"
                                       << QStringLiteral("ozone").leftJustified(JetWriter::kMaxTextLength)
                                       << "";
}

void TestAccessFile::valuesReadRight()
{
    QFETCH(int, type);
    QFETCH(bool, otherStorage);
    QFETCH(QString, stored);
    QFETCH(QString, text);
    QFETCH(QString, error);
    AccessFile access;
    QString why;
    QVERIFY(access.openBytes(oneValue(JetWriter::ColumnType(type), otherStorage, stored), &why));
    const auto table = access.readTable(QStringLiteral("T"), &why);
    QCOMPARE(bool(table), error.isEmpty());
    if (!table) {
        QVERIFY2(why.contains(error), qPrintable(why));
        return;
    }
    QCOMPARE(table->rows.size(), std::size_t(1));
    QCOMPARE(table->rows[0][0], text);
}

// A column whose type this reader does not know is refused, not read as empty text.
void TestAccessFile::refusesAColumnItCannotRead()
{
    QByteArray bytes = oneValue(JetWriter::ColumnType::LongInteger, false, QStringLiteral("7"));
    constexpr int kDefinition = 4 * 4096, kFirstColumn = 63;
    QCOMPARE(int(bytes[kDefinition + kFirstColumn]), 0x04);
    bytes[kDefinition + kFirstColumn] = char(0x13);
    AccessFile access;
    QString error;
    QVERIFY(access.openBytes(bytes, &error));
    QVERIFY(!access.readTable(QStringLiteral("T"), &error));
    QCOMPARE(error, QStringLiteral("column V cannot be read: its type (code 19) is not one this reader knows"));
}

void TestAccessFile::opensOnlyRegularFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");
    const QString notRegular = QStringLiteral("not a regular file");
    QTest::newRow("device") << "/dev/zero" << notRegular;
    QTest::newRow("folder") << m_scratch.newFolder() << notRegular;
    const QString fifo = m_scratch.newPath();
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("pipe, with no writer") << fifo << notRegular;
    const QString large = m_scratch.newFile();
    QVERIFY(QFile::resize(large, (qint64(1) << 31) + 4096));  // sparse: no disc space taken
    QTest::newRow("over 2 GB") << large << "larger than an Access file can be";
    QTest::newRow("missing") << m_scratch.newPath() << "No such file";
}

void TestAccessFile::opensOnlyRegularFiles()
{
    QFETCH(QString, path);
    QFETCH(QString, error);
    QElapsedTimer timer;
    timer.start();
    AccessFile access;
    QString why;
    QVERIFY(!access.open(path, &why));
    QVERIFY2(why.contains(error), qPrintable(why));
    QVERIFY(timer.elapsed() < 1000);  // refused at once, never read or waited on
}

// A file cut short under an open database, even in the middle of a read: its pages are read
// as needed, never mapped, so what follows is an error naming the cut, never a bus error, and a
// value past the cut reads empty.
void TestAccessFile::fileCutWhileRead()
{
    JetWriter writer(QStringLiteral("T"), {{QStringLiteral("Texte"), JetWriter::ColumnType::Memo}});
    for (int i = 0; i < 3000; ++i)
        writer.addRow({QStringLiteral("ligne %1 ").arg(i).repeated(i % 7 == 0 ? 200 : 3)});
    const QString path = m_scratch.newFile(writer.bytes());
    AccessFile access;
    QString error;
    QVERIFY2(access.open(path, &error), qPrintable(error));
    const auto whole = access.readTable(QStringLiteral("T"), &error);
    QVERIFY(whole);
    StoredTable table;
    QVERIFY(access.locateTable(QStringLiteral("T"), [](AccessFile::Columns &, QString *) { return true; },
                               {QStringLiteral("Texte")}, &table, &error));
    std::vector<quint64> places;
    QStringList texts;
    const bool scanned = table.scan(
        [&](quint64 where, const StoredTable::Text *text) {
            places.push_back(where);
            texts << (text->oneByte.data() ? QString::fromLatin1(text->oneByte) : text->text.toString());
            if (places.size() == 100)
                QVERIFY(QFile::resize(path, 8 * 4096));
        },
        &error);
    QVERIFY(!scanned);
    QVERIFY2(error.contains(QStringLiteral("beyond the end of the file")), qPrintable(error));
    QVERIFY(places.size() >= 100 && places.size() < whole->rows.size());
    for (qsizetype row = 0; row < texts.size(); ++row)
        QCOMPARE(texts[row], whole->rows[std::size_t(row)][0]);
    // The rows on the pages left are still there to read again.
    QString value;
    table.value(places[1], 0, value);
    QCOMPARE(value, whole->rows[1][0]);
    QVERIFY(!access.readTable(QStringLiteral("T"), &error));
    QVERIFY2(error.contains(QStringLiteral("beyond the end of the file")), qPrintable(error));
}

// Every 16-bit character, stored two bytes wide (uncompressed, and in a compressed text's
// two-byte run), becomes the one windows-1252 byte that stands for it, or none.
void TestAccessFile::everyCharacterToWindows1252()
{
    int expected[0x10000];
    std::fill(std::begin(expected), std::end(expected), -1);
    for (int byte = 0; byte < 256; ++byte)
        expected[windows1252Char(uchar(byte))] = byte;
    for (int c = 1; c < 0x10000; ++c) {
        const char lo = char(c & 0xFF), hi = char(c >> 8);
        const char uncompressed[] = {lo, hi, 'a', 0};
        const char compressed[] = {char(0xFF), char(0xFE), 'x', 0, lo, hi, 0, 'y'};
        char out[8];
        // FF FE first is the mark of compressed text.
        if (c != 0xFEFF) {
            const qsizetype wide = jetTextToWindows1252(QByteArrayView(uncompressed, 4), out);
            QCOMPARE(wide, expected[c] < 0 ? -1 : 2);
            if (wide > 0)
                QCOMPARE(uchar(out[0]), uchar(expected[c]));
        }
        // A zero first byte in a two-byte run switches back to one byte per character.
        if (lo == 0)
            continue;
        const qsizetype run = jetTextToWindows1252(QByteArrayView(compressed, 8), out);
        QCOMPARE(run, expected[c] < 0 ? -1 : 3);
        if (run > 0)
            QCOMPARE(QByteArray(out, 3), QByteArray("x") + char(expected[c]) + 'y');
    }
    // Every byte in a compressed run, short and past sixteen bytes: a C1 control that
    // windows-1252 writes otherwise has no byte there.
    for (int byte = 1; byte < 256; ++byte) {
        for (const QByteArray &around : {QByteArray("x"), QByteArray(20, 'x')}) {
            const QByteArray text = QByteArray("\xFF\xFE") + around + char(byte) + around;
            QByteArray out(text.size(), '\0');
            const qsizetype size = jetTextToWindows1252(text, out.data());
            const bool foreign = byte >= 0x80 && byte < 0xA0 && windows1252Char(uchar(byte)) != byte;
            QCOMPARE(size, foreign ? -1 : 2 * around.size() + 1);
            if (size > 0)
                QCOMPARE(out.left(size), around + char(byte) + around);
        }
    }
}

QTEST_GUILESS_MAIN(TestAccessFile)
#include "tst_access_file.moc"
