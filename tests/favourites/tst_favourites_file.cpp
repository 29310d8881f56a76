#include "favourites/favourites_file.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using test::readAll;

namespace {

using Entry = QPair<QString, QString>;

QByteArray bytesOf(const QList<QPair<QByteArray, QByteArray>> &entries)
{
    QByteArray bytes;
    for (const auto &[title, address] : entries)
        bytes += test::record(title) + test::record(address);
    return bytes;
}

// A real record file that refuses its k-th write (or read), or every one
// from the k-th on, as a disk failing part-way does.
class FailingStore final : public RecordStore
{
public:
    FailingStore(const QString &path, int write, int read, bool onward)
        : m_file(path), m_failingWrite(write), m_failingRead(read), m_onward(onward)
    {
        m_file.open();
    }
    bool read(int n, QString &t) override { return ok(m_reads, m_failingRead) && m_file.read(n, t); }
    bool write(int n, const QString &t) override { return ok(m_writes, m_failingWrite) && m_file.write(n, t); }
    bool readRun(int first, int count, QStringList &t) override
    {
        return ok(m_reads, m_failingRead) && m_file.readRun(first, count, t);
    }
    bool writeRun(int first, const QStringList &t) override
    {
        return ok(m_writes, m_failingWrite) && m_file.writeRun(first, t);
    }
    int m_writes = 0;

private:
    bool ok(int &count, int failing)
    {
        ++count;
        return failing == 0 || (m_onward ? count < failing : count != failing);
    }
    RecordFileStore m_file;
    int m_failingWrite, m_failingRead, m_reads = 0;
    bool m_onward;
};

// Every occupied slot of the file, listed or not, in file order.
QList<Entry> occupiedSlots(const QString &path)
{
    RecordFileStore file(path);
    QStringList records;
    if (!file.open() || !file.readRun(1, int(QFileInfo(path).size() / 128), records))
        return {};
    QList<Entry> entries;
    for (int i = 0; i + 1 < records.size(); i += 2) {
        if (!FavouritesFile::isBlank(records[i]))
            entries.append({records[i], records[i + 1]});
    }
    return entries;
}

} // namespace

class TestFavouritesFile : public QObject
{
    Q_OBJECT

    QString fresh(const QByteArray &bytes) { return m_scratch.newFile(bytes); }
    test::ScratchFolder m_scratch;

private slots:
    void add_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("after"); // empty: refused, file unchanged

        const QByteArray abc = bytesOf({{"A", "a"}, {"B", "b"}, {"C", "c"}});
        QTest::newRow("empty file: records 1 and 2") << QByteArray() << "A" << "a" << bytesOf({{"A", "a"}});
        QTest::newRow("after three: records 7 and 8") << abc << "D" << "d" << abc + bytesOf({{"D", "d"}});
        QTest::newRow("blank title in record 3 is filled")
            << bytesOf({{"A", "a"}, {"   ", "old"}, {"C", "c"}}) << "B" << "b" << abc;
        QTest::newRow("same page twice") << bytesOf({{"A", "a"}}) << "A" << "a" << bytesOf({{"A", "a"}, {"A", "a"}});
        QTest::newRow("a tab is no blank") << bytesOf({{"\t", "t"}}) << "A" << "a" << bytesOf({{"\t", "t"}, {"A", "a"}});
        QTest::newRow("title of 150 cut to 100")
            << QByteArray() << QString(150, QLatin1Char('t')) << "a" << bytesOf({{QByteArray(100, 't'), "a"}});
        QTest::newRow("spaces kept, windows-1252")
            << QByteArray() << "  Serre é " << "a" << bytesOf({{"  Serre \xe9 ", "a"}});
        QTest::newRow("address of 126 stored")
            << QByteArray() << "T" << QString(126, QLatin1Char('u')) << bytesOf({{"T", QByteArray(126, 'u')}});
        QTest::newRow("address of 127 refused") << abc << "T" << QString(127, QLatin1Char('u')) << QByteArray();
    }
    void add()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, title);
        QFETCH(QString, address);
        QFETCH(QByteArray, after);
        const QString path = fresh(before);
        {
            RecordFileStore file(path);
            QVERIFY(file.open());
            QCOMPARE(FavouritesFile(file).add(title, address), !after.isEmpty());
        }
        QCOMPARE(readAll(path), after.isEmpty() ? before : after);
    }

    void fullFileRefusesAnAdd()
    {
        QList<QPair<QByteArray, QByteArray>> all;
        for (int k = 1; k <= FavouritesFile::kMaxEntries; ++k)
            all.append({"T" + QByteArray::number(k), "a"});
        const QByteArray full = bytesOf(all);
        const QString path = fresh(full);
        RecordFileStore file(path);
        QVERIFY(file.open());
        QVERIFY(!FavouritesFile(file).add(QStringLiteral("Une de trop"), QStringLiteral("b")));
        QCOMPARE(readAll(path), full);
    }

    void remove_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("first") << 1 << bytesOf({{"B", "b"}, {"C", "c"}, {"", ""}});
        QTest::newRow("middle") << 2 << bytesOf({{"A", "a"}, {"C", "c"}, {"", ""}});
        QTest::newRow("last") << 3 << bytesOf({{"A", "a"}, {"B", "b"}, {"", ""}});
    }
    void remove()
    {
        QFETCH(int, entry);
        QFETCH(QByteArray, after);
        // The entry behind the blank slot 4 is not in the list: it stays put.
        const QByteArray tail = bytesOf({{" ", ""}, {"Z", "z"}});
        const QString path = fresh(bytesOf({{"A", "a"}, {"B", "b"}, {"C", "c"}}) + tail);
        {
            RecordFileStore file(path);
            QVERIFY(file.open());
            QVERIFY(FavouritesFile(file).remove(entry));
        }
        QCOMPARE(readAll(path), after + tail);
    }

    // A removal on a store that refuses a write or a read neither loses an
    // entry, nor keeps one twice, nor mixes two.
    void removeOnAFailingStoreKeepsEveryEntry_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("failingWrite");
        QTest::addColumn<int>("failingRead");
        QTest::addColumn<bool>("onward");
        for (int entry : {1, 2, 5}) {
            for (int k = 1; k <= (entry == 5 ? 2 : 3); ++k) {
                QTest::addRow("entry %d, write %d fails", entry, k) << entry << k << 0 << false;
                QTest::addRow("entry %d, writes fail from %d on", entry, k) << entry << k << 0 << true;
            }
            QTest::addRow("entry %d, read fails", entry) << entry << 0 << 1 << false;
        }
    }
    void removeOnAFailingStoreKeepsEveryEntry()
    {
        QFETCH(int, entry);
        QFETCH(int, failingWrite);
        QFETCH(int, failingRead);
        QFETCH(bool, onward);
        const QString path = fresh(bytesOf({{"Un", "1"}, {"Deux", "2"}, {"Trois", "3"}, {"Quatre", "4"}, {"Cinq", "5"}}));
        const QList<Entry> before = occupiedSlots(path);
        QList<Entry> removed = before;
        removed.removeAt(entry - 1);
        FailingStore store(path, failingWrite, failingRead, onward);
        QVERIFY(!FavouritesFile(store).remove(entry));
        if (failingRead)
            QCOMPARE(store.m_writes, 0);

        const QList<Entry> after = occupiedSlots(path);
        QCOMPARE(QFileInfo(path).size(), 5 * 256);
        if (!onward) {
            QVERIFY(after == before || after == removed);
        } else {
            // With every later write refused a copy cannot be taken back:
            // an entry may be held twice, but none is lost or mixed.
            for (const Entry &e : removed)
                QVERIFY(after.contains(e));
            for (const Entry &e : after)
                QVERIFY(before.contains(e));
        }
    }

    void readFailureIsReportedAndKeepsWhatWasRead()
    {
        QList<QPair<QByteArray, QByteArray>> many;
        for (int k = 1; k <= 600; ++k)
            many.append({"T" + QByteArray::number(k), "a"});
        const QString path = fresh(bytesOf(many));
        FailingStore store(path, 0, 2, true);
        FavouritesFile favourites(store);
        QStringList titles;
        QVERIFY(!favourites.titles(titles));
        QVERIFY(titles.size() > 0 && titles.size() < 600);
        QVERIFY(!favourites.add(QStringLiteral("X"), QStringLiteral("x")));
        QCOMPARE(readAll(path), bytesOf(many));
    }
};

QTEST_GUILESS_MAIN(TestFavouritesFile)
#include "tst_favourites_file.moc"
