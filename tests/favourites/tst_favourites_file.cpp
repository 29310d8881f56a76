#include "favourites/favourites_file.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using test::readAll;
using test::record;

namespace {

// Bytes of a favourites file: each pair is one slot, title then address.
QByteArray entriesBytes(const QList<QPair<QByteArray, QByteArray>> &entries)
{
    QByteArray bytes;
    for (const auto &[title, address] : entries)
        bytes += record(title) + record(address);
    return bytes;
}

// A real record file that refuses one chosen write or read, or every one
// from it on, as a disk that fails part-way does.
class FailingStore final : public RecordStore
{
public:
    enum Mode { OnlyThat, FromThatOn };

    FailingStore(const QString &path, int failingWrite, int failingRead, Mode mode)
        : m_file(path), m_failingWrite(failingWrite), m_failingRead(failingRead), m_mode(mode)
    {
        m_file.open();
    }

    bool read(int n, QString &text) override
    {
        return !fails(++m_reads, m_failingRead) && m_file.read(n, text);
    }
    bool write(int n, const QString &text) override
    {
        return !fails(++m_writes, m_failingWrite) && m_file.write(n, text);
    }
    bool readRun(int first, int count, QStringList &texts) override
    {
        texts.clear();
        return !fails(++m_reads, m_failingRead) && m_file.readRun(first, count, texts);
    }
    bool writeRun(int first, const QStringList &texts) override
    {
        return !fails(++m_writes, m_failingWrite) && m_file.writeRun(first, texts);
    }

    int writes() const { return m_writes; }

private:
    bool fails(int count, int failing) const
    {
        return failing > 0 && (m_mode == OnlyThat ? count == failing : count >= failing);
    }

    RecordFileStore m_file;
    int m_failingWrite = 0;
    int m_failingRead = 0;
    Mode m_mode = OnlyThat;
    int m_writes = 0;
    int m_reads = 0;
};

using Entry = QPair<QString, QString>;

// Every occupied slot of the file, listed or not, in file order.
QList<Entry> occupiedSlots(const QString &path)
{
    RecordFileStore file(path);
    file.open();
    QList<Entry> entries;
    for (int k = 1; k <= FavouritesFile::kMaxEntries; ++k) {
        Entry e;
        file.read(FavouritesFile::titleRecord(k), e.first);
        file.read(FavouritesFile::addressRecord(k), e.second);
        if (!FavouritesFile::isBlank(e.first))
            entries.append(e);
        if (qint64(k) * 256 >= QFileInfo(path).size())
            break;
    }
    return entries;
}

const QList<QPair<QByteArray, QByteArray>> kFive = {
    {"Un", "file:///a/1.html"}, {"Deux", "file:///a/2.html"}, {"Trois", "file:///a/3.html"},
    {"Quatre", "file:///a/4.html"}, {"Cinq", "file:///a/5.html"}};

} // namespace

class TestFavouritesFile : public QObject
{
    Q_OBJECT

private:
    QString fresh(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1/FAVORIS.LST").arg(++m_count));
        test::makeFile(path, bytes);
        return path;
    }

    QTemporaryDir m_dir;
    int m_count = 0;

private slots:
    void add_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QByteArray>("after");

        const QString url = QStringLiteral("file:///cd/re2rira/air/presentair.html#CO2");
        const QByteArray urlBytes = url.toLatin1();
        QTest::newRow("empty file: records 1 and 2")
            << QByteArray() << "Pollution de l'air" << url << true
            << entriesBytes({{"Pollution de l'air", urlBytes}});
        QTest::newRow("after three entries: records 7 and 8")
            << entriesBytes({{"A", "a"}, {"B", "b"}, {"C", "c"}}) << "D" << "d" << true
            << entriesBytes({{"A", "a"}, {"B", "b"}, {"C", "c"}, {"D", "d"}});
        QTest::newRow("blank title in record 3 is filled")
            << entriesBytes({{"A", "a"}, {"   ", "old"}, {"C", "c"}}) << "B" << "b" << true
            << entriesBytes({{"A", "a"}, {"B", "b"}, {"C", "c"}});
        QTest::newRow("the same page twice is two entries")
            << entriesBytes({{"A", "a"}}) << "A" << "a" << true << entriesBytes({{"A", "a"}, {"A", "a"}});
        QTest::newRow("a tab is not blank: only spaces are")
            << entriesBytes({{"\t", "t"}}) << "A" << "a" << true << entriesBytes({{"\t", "t"}, {"A", "a"}});
        QTest::newRow("title of 150 cut to 100")
            << QByteArray() << QString(150, QLatin1Char('t')) << "a" << true
            << entriesBytes({{QByteArray(100, 't'), "a"}});
        QTest::newRow("leading and trailing spaces kept, accents in windows-1252")
            << QByteArray() << "  Effet de serre é  " << "a" << true
            << entriesBytes({{"  Effet de serre \xe9  ", "a"}});
        QTest::newRow("address of 126 stored")
            << QByteArray() << "T" << QString(126, QLatin1Char('u')) << true
            << entriesBytes({{"T", QByteArray(126, 'u')}});
        QTest::newRow("address of 127 refused, file unchanged")
            << entriesBytes({{"A", "a"}}) << "T" << QString(127, QLatin1Char('u')) << false
            << entriesBytes({{"A", "a"}});
    }
    void add()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, title);
        QFETCH(QString, address);
        QFETCH(bool, added);
        QFETCH(QByteArray, after);
        const QString path = fresh(before);
        {
            RecordFileStore file(path);
            QVERIFY(file.open());
            FavouritesFile favourites(file);
            QCOMPARE(favourites.add(title, address), added);
        }
        QCOMPARE(readAll(path), after);
    }

    void fullFileRefusesAnAdd()
    {
        QByteArray full;
        full.reserve(FavouritesFile::kMaxEntries * 256);
        for (int k = 1; k <= FavouritesFile::kMaxEntries; ++k)
            full += record("T" + QByteArray::number(k)) + record("a");
        const QString path = fresh(full);
        RecordFileStore file(path);
        QVERIFY(file.open());
        FavouritesFile favourites(file);
        QVERIFY(!favourites.add(QStringLiteral("Une de trop"), QStringLiteral("b")));
        QCOMPARE(readAll(path), full);

        // One slot freed inside: the next add takes it, the last record
        // (32767) is never used.
        QVERIFY(file.write(FavouritesFile::titleRecord(16383), QString()));
        QVERIFY(favourites.add(QStringLiteral("Derniere"), QStringLiteral("b")));
        QCOMPARE(QFileInfo(path).size(), qint64(FavouritesFile::kMaxEntries) * 256);
    }

    void titlesStopAtTheFirstFreeSlot_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("missing or empty") << QByteArray() << QStringList();
        QTest::newRow("untrimmed, duplicates kept")
            << entriesBytes({{" A ", "a"}, {" A ", "b"}}) << QStringList{" A ", " A "};
        QTest::newRow("entry behind a blank title is not listed")
            << entriesBytes({{"A", "a"}, {"  ", "x"}, {"C", "c"}}) << QStringList{"A"};
        QTest::newRow("all-zero record is blank")
            << entriesBytes({{"A", "a"}}) + QByteArray(256, '\0') + entriesBytes({{"C", "c"}}) << QStringList{"A"};
    }
    void titlesStopAtTheFirstFreeSlot()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, titles);
        RecordFileStore file(fresh(bytes));
        QVERIFY(file.open());
        QStringList read;
        QVERIFY(FavouritesFile(file).titles(read));
        QCOMPARE(read, titles);
    }

    void remove_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QByteArray>("after");
        const QByteArray blank = record("") + record("");
        QTest::newRow("first of three")
            << 1 << entriesBytes({{"B", "b"}, {"C", "c"}}) + blank;
        QTest::newRow("middle of three")
            << 2 << entriesBytes({{"A", "a"}, {"C", "c"}}) + blank;
        QTest::newRow("last of three")
            << 3 << entriesBytes({{"A", "a"}, {"B", "b"}}) + blank;
    }
    void remove()
    {
        QFETCH(int, entry);
        QFETCH(QByteArray, after);
        // The entry behind the blank slot 4 stays where it is.
        const QByteArray tail = entriesBytes({{"", ""}, {"Z", "z"}});
        const QString path = fresh(entriesBytes({{"A", "a"}, {"B", "b"}, {"C", "c"}}) + tail);
        {
            RecordFileStore file(path);
            QVERIFY(file.open());
            QVERIFY(FavouritesFile(file).remove(entry));
        }
        QCOMPARE(readAll(path), after + tail);
    }

    // Removing an entry of five on a store that refuses its k-th write (or
    // every write from the k-th on, or a read) must neither lose an entry
    // nor leave one twice, nor mix two.
    void removeOnAFailingStoreKeepsEveryEntry_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("failingWrite");
        QTest::addColumn<int>("failingRead");
        QTest::addColumn<int>("mode");
        for (int entry : {1, 2, 5}) {
            const int writes = entry == 5 ? 2 : 3;
            for (int k = 1; k <= writes; ++k) {
                QTest::addRow("entry %d, write %d fails", entry, k)
                    << entry << k << 0 << int(FailingStore::OnlyThat);
                QTest::addRow("entry %d, writes fail from %d on", entry, k)
                    << entry << k << 0 << int(FailingStore::FromThatOn);
            }
            QTest::addRow("entry %d, read fails", entry) << entry << 0 << 1 << int(FailingStore::OnlyThat);
        }
    }
    void removeOnAFailingStoreKeepsEveryEntry()
    {
        QFETCH(int, entry);
        QFETCH(int, failingWrite);
        QFETCH(int, failingRead);
        QFETCH(int, mode);
        const QString path = fresh(entriesBytes(kFive));
        const QList<Entry> before = occupiedSlots(path);
        QList<Entry> removed = before;
        removed.removeAt(entry - 1);
        {
            FailingStore store(path, failingWrite, failingRead, FailingStore::Mode(mode));
            QVERIFY(!FavouritesFile(store).remove(entry));
            if (failingRead > 0)
                QCOMPARE(store.writes(), 0);
        }
        const QList<Entry> after = occupiedSlots(path);
        QCOMPARE(QFileInfo(path).size(), qint64(before.size()) * 256);
        if (mode == FailingStore::OnlyThat) {
            // Each entry once, in order: the removal happened or it did not.
            QVERIFY2(after == before || after == removed, qPrintable(describe(after)));
        } else {
            // With every later write refused a copy cannot be taken back,
            // but no entry is lost and none is mixed with another.
            for (const Entry &e : removed)
                QVERIFY2(after.contains(e), qPrintable(describe(after)));
            for (const Entry &e : after)
                QVERIFY2(before.contains(e), qPrintable(describe(after)));
        }
    }

    void unreadableStoreIsReported()
    {
        QList<QPair<QByteArray, QByteArray>> many;
        for (int k = 1; k <= 600; ++k)
            many.append({"T" + QByteArray::number(k), "a"});
        const QString path = fresh(entriesBytes(many));
        FailingStore store(path, 0, 2, FailingStore::FromThatOn);
        FavouritesFile favourites(store);
        QStringList titles;
        QVERIFY(!favourites.titles(titles));
        // What was read before the failure is kept.
        QVERIFY(!titles.isEmpty() && titles.size() < 600);
        QCOMPARE(titles.first(), QStringLiteral("T1"));
        int entry = 0;
        QVERIFY(!favourites.firstFreeEntry(entry));
        QVERIFY(!favourites.add(QStringLiteral("X"), QStringLiteral("x")));
        QCOMPARE(readAll(path), entriesBytes(many));
    }

private:
    static QString describe(const QList<Entry> &entries)
    {
        QStringList parts;
        for (const Entry &e : entries)
            parts << e.first + QLatin1Char('=') + e.second;
        return parts.join(QLatin1String(", "));
    }
};

QTEST_GUILESS_MAIN(TestFavouritesFile)
#include "tst_favourites_file.moc"
