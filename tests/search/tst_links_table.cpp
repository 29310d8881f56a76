// The links table read through LinksTable from databases our writer makes,
// checked against libmdb's own reader (mdb-export) where it reads correctly,
// and the same table as the search reads it, a field at a time.

#include "access_test_files.h"

#include "access/access_text.h"
#include "search/keyword_search.h"
#include "search/links_table.h"
#include "test_files.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>
#include <optional>
#include <set>

using namespace ruzez;
using namespace Qt::StringLiterals;
using Placement = JetWriter::Placement;

Q_DECLARE_METATYPE(std::vector<ruzez::LinkRow>)
Q_DECLARE_METATYPE(std::vector<ruzez::JetWriter::Placement>)

namespace {

constexpr int kPage = 4096;

LinkRow row(int id, const QString &description = QStringLiteral("pollution de l'air"))
{
    return {QString::number(id), QStringLiteral("air/page%1.html").arg(id),
            QStringLiteral("Page %1").arg(id), description};
}

// The fields the search reads, in stored order, as LinksTable::open() hands them out.
std::optional<std::vector<QStringList>> searchedFields(const QString &path, QString *error = nullptr)
{
    const std::unique_ptr<LinkRows> table = LinksTable(path).open(error);
    if (!table)
        return std::nullopt;
    const auto text = [](const LinkText &field) {
        if (!field.bytes.data())
            return field.text.toString();
        QString text;
        for (char c : field.bytes)
            text += QChar(field.windows1252 ? windows1252Char(uchar(c)) : char16_t(uchar(c)));
        return text;
    };
    std::vector<QStringList> fields;
    const bool read = table->forEachRow(
        [&](std::size_t row, const LinkText &title, const LinkText &description) {
            if (row != fields.size())
                return false;
            fields.push_back({QString(), text(title), text(description)});
            return true;
        },
        error);
    if (!read)
        return std::nullopt;
    for (std::size_t row = 0; row < fields.size(); ++row)
        fields[row][0] = table->address(row);
    return fields;
}

std::vector<QStringList> searchedFields(const std::vector<LinkRow> &rows)
{
    std::vector<QStringList> fields;
    for (const LinkRow &r : rows)
        fields.push_back({r.URL, r.SubCategory, r.Description});
    return fields;
}

std::vector<LinkRow> numbered(int count)
{
    std::vector<LinkRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back(row(i));
    return rows;
}

quint32 get32(const QByteArray &b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16
        | quint32(uchar(b[at + 3])) << 24;
}
quint16 get16(const QByteArray &b, qsizetype at)
{
    return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}
void set16(QByteArray &b, qsizetype at, quint16 v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char(v >> 8);
}
void set32(QByteArray &b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

// Calls `visit(page, slot, slotValue)` for every row slot of the data pages owned by `owner`.
template<typename Visit>
void forEachSlot(const QByteArray &file, const QByteArray &owner, Visit visit)
{
    for (qsizetype page = 0; page < file.size() / kPage; ++page) {
        const qsizetype base = page * kPage;
        if (file[base] != 0x01 || file.mid(base + 4, 4) != owner)
            continue;
        for (int slot = 0; slot < get16(file, base + 12); ++slot)
            visit(quint32(page), slot, get16(file, base + 14 + 2 * slot));
    }
}

QByteArray tableOwner()
{
    QByteArray owner(4, '\0');
    owner[0] = 4;  // the writer's table definition page
    return owner;
}

// A memo chain whose next-to-last piece leads to itself or back to the first piece.
QByteArray loopingMemo(bool selfLoop)
{
    QByteArray file = test::linksDatabase({row(1, QString(12000, u'a'))});
    std::map<quint32, quint32> next;      // piece -> the piece after it
    std::map<quint32, qsizetype> offset;  // piece -> where its link is stored
    forEachSlot(file, "LVAL", [&](quint32 page, int slot, quint16 slotValue) {
        const quint32 piece = page << 8 | quint32(slot);
        offset[piece] = page * kPage + (slotValue & 0x1fff);
        next[piece] = get32(file, offset[piece]);
    });
    std::set<quint32> targets;
    for (const auto &[piece, after] : next)
        targets.insert(after);
    std::vector<quint32> chain;
    for (const auto &[piece, after] : next)
        if (!targets.count(piece))
            chain.push_back(piece);
    while (next[chain.back()] != 0)
        chain.push_back(next[chain.back()]);
    const quint32 piece = chain[chain.size() - 2];
    set32(file, offset[piece], selfLoop ? piece : chain.front());
    return file;
}

// Rows whose memo fields all point at the first row's long value.
QByteArray sharedMemo()
{
    std::vector<LinkRow> rows{row(1, QString(60000, u'M'))};
    for (int i = 2; i <= 50; ++i)
        rows.push_back(row(i, QString(1025, u'm')));
    QByteArray file = test::linksDatabase(rows);
    const QByteArray longHeader = QByteArray::fromHex("c0d40100");   // 120,000 bytes in a chain
    const QByteArray shortHeader = QByteArray::fromHex("02080040");  // 2,050 bytes in one row
    const QByteArray first = file.mid(file.indexOf(longHeader), 12);
    for (qsizetype at = file.indexOf(shortHeader); at >= 0; at = file.indexOf(shortHeader, at + 12))
        file.replace(at, 12, first);
    return file;
}

// The table's page map cut to no bytes at all.
QByteArray emptyUsageMap()
{
    QByteArray file = test::linksDatabase(numbered(3));
    set16(file, kPage + 14 + 2 * 2, get16(file, kPage + 14 + 2 * 1));
    return file;
}

// A relocated row whose pointer leads back to its own slot.
QByteArray relocationLoop()
{
    QByteArray file = test::linksDatabase(numbered(3), {Placement::Stored, Placement::Relocated});
    forEachSlot(file, tableOwner(), [&](quint32 page, int slot, quint16 offset) {
        if ((offset & 0xc000) == 0x4000)
            set32(file, page * kPage + (offset & 0x1fff), page << 8 | quint32(slot));
    });
    return file;
}

// Rows written with one of the writer's damaged placements, every other row that way.
QByteArray sharing(Placement placement, int rows, const QString &description)
{
    std::vector<LinkRow> all;
    std::vector<Placement> placements;
    for (int i = 1; i <= rows; ++i) {
        all.push_back(row(i, description));
        placements.push_back(i == 1 ? Placement::Relocated : placement);
    }
    return test::linksDatabase(all, placements);
}

QByteArray withoutField()
{
    JetWriter writer(QStringLiteral("LINKS"),
                     {{QStringLiteral("LinkID"), JetWriter::ColumnType::LongInteger},
                      {QStringLiteral("URL"), JetWriter::ColumnType::Text},
                      {QStringLiteral("SubCategory"), JetWriter::ColumnType::Text}});
    writer.addRow({QStringLiteral("1"), QStringLiteral("a.html"), QStringLiteral("A")});
    return writer.bytes();
}

QByteArray otherTable()
{
    JetWriter writer(QStringLiteral("PAGES"), {{QStringLiteral("URL"), JetWriter::ColumnType::Text}});
    writer.addRow({QStringLiteral("a.html")});
    return writer.bytes();
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(7);
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

} // namespace

class TestLinksTable : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void readsWhatWasWritten_data();
    void readsWhatWasWritten();
    void manyRowsOverManyPages();
    void searchesAsHeldRows_data();
    void searchesAsHeldRows();
    void storedOrder_data();
    void storedOrder();
    void fieldsFoundByName();
    void damagedFiles_data();
    void damagedFiles();
    void corruptedBytesNeverCrash();

private:
    QString save(const QByteArray &bytes, const QString &name = QStringLiteral("environ.mdb"))
    {
        const QString path = m_dir.filePath(name);
        test::writeAll(path, bytes);
        return path;
    }
    QTemporaryDir m_dir;
};

void TestLinksTable::readsWhatWasWritten_data()
{
    QTest::addColumn<std::vector<LinkRow>>("rows");
    const QString accents = QStringLiteral("Émissions de dioxyde d'azote « NO₂ », œuvre, ça, à bientôt");
    QTest::newRow("accented text") << std::vector<LinkRow>{
        {QStringLiteral("1"), QStringLiteral("air/pagesair/éclairage.html"), QStringLiteral("L'énergie"), accents}};
    // U+0100 and U+4E00 have a zero low byte: such text cannot take the compressed form.
    QTest::newRow("non-Latin text") << std::vector<LinkRow>{
        {QStringLiteral("1"), QStringLiteral("air/中文.html"), QStringLiteral("Ελληνικά Āā 一"),
         QStringLiteral("русский текст, 大気汚染, عربى")}};
    // Compressed with switches between one-byte and two-byte runs.
    const QString typeset = QStringLiteral("L’œuvre « cœur » coûte 12 € ; l’air, c’est ça");
    QTest::newRow("typographic French") << std::vector<LinkRow>{
        {QStringLiteral("1"), QStringLiteral("air/l’air.html"), QStringLiteral("L’air"), typeset},
        row(2, QStringLiteral("€€ a€b ab€ abc€€ abcd€")), row(3, QStringLiteral("x’")),
        row(4, QStringLiteral("’x")), row(5, QStringLiteral("€xy")), row(6, QStringLiteral("€xyz"))};
    QTest::newRow("typographic memo in a long-value row") << std::vector<LinkRow>{
        row(1, QStringLiteral("l’air ").repeated(150)), row(2, typeset.repeated(40))};
    QTest::newRow("quotes, commas and line breaks") << std::vector<LinkRow>{
        {QStringLiteral("1"), QStringLiteral("a.html#CO2"), QStringLiteral("\"Titre\", suite"),
         QStringLiteral("ligne 1\r\nligne 2\n\"cité\", fin")}};
    QTest::newRow("memo at the inline limit") << std::vector<LinkRow>{
        row(1, QString(1022, u'x')), row(2, QString(1023, u'y')), row(3, QString(1025, u'z'))};
    QTest::newRow("memo of one long-value row") << std::vector<LinkRow>{row(1, QString(2000, u'é'))};
    QTest::newRow("memo over several pages") << std::vector<LinkRow>{
        row(1, QString(20000, u'a')), row(2, accents.repeated(300)), row(3, QStringLiteral("ozone"))};
    QTest::newRow("memo of 80,000 bytes") << std::vector<LinkRow>{row(1, QString(40000, u'q'))};
    QTest::newRow("empty texts and null number") << std::vector<LinkRow>{
        {QString(), QString(""), QString(""), QString("")}, row(2)};
    QTest::newRow("no rows") << std::vector<LinkRow>{};
}

void TestLinksTable::readsWhatWasWritten()
{
    QFETCH(std::vector<LinkRow>, rows);
    const QString path = save(test::linksDatabase(rows));
    QString error;
    const auto read = LinksTable(path).rows(&error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(read->size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        QCOMPARE(test::fields((*read)[i]), test::fields(rows[i]));
    const auto searched = searchedFields(path, &error);
    QVERIFY2(searched, qPrintable(error));
    QCOMPARE(*searched, searchedFields(rows));

    if (!test::haveMdbExport())
        QSKIP("mdb-export is not installed");
    const auto exported = test::mdbExport(path, QStringLiteral("LINKS"));
    QVERIFY(exported);
    QCOMPARE(exported->size(), rows.size() + 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        QCOMPARE((*exported)[i + 1], test::fields(rows[i]));
    }
}

void TestLinksTable::searchesAsHeldRows_data()
{
    QTest::addColumn<QString>("words");
    for (const char *words : {"l\u2019\u0152UVRE", "\u20AC air", "\u0178 \u00FF", "\u0081",
                              "\u0085", "\u03B5\u03BB\u03BB", "coeur c\u0153ur", "\u00AB \u00BB"})
        QTest::newRow(words) << QString::fromUtf8(words);
}

// The search over the file, whose texts are compared one byte per character where
// windows-1252 holds them, finds what it finds in the same rows held in memory: compressed text
// with and without switches, a C1 control windows-1252 gives a byte of its own or not, text it
// cannot hold, an uncompressed long memo and one gathered from several pages.
void TestLinksTable::searchesAsHeldRows()
{
    QFETCH(QString, words);
    std::vector<LinkRow> rows;
    const QStringList texts{u"L\u2019\u0153uvre co\u00FBte 12 \u20AC, \u00AB l\u2019air \u00BB"_s,
                            u"\u0178 et \u00FF, \u0081 libre"_s, u"contr\u00F4le \u0085 l\u2019air"_s,
                            u"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1 et \u20AC"_s,
                            u"le c\u0153ur \u00AB seul \u00BB"_s, QStringLiteral("air pur, coeur")};
    for (int i = 0; i < 60; ++i)
        rows.push_back(LinkRow{QString::number(i + 1), QStringLiteral("p%1.html").arg(i),
                               QStringLiteral("Titre %1").arg(i % 7), texts[i % texts.size()]});
    rows.push_back(row(61, texts[0].repeated(30)));   // longer than the format compresses
    rows.push_back(row(62, texts[2].repeated(400)));  // over several long-value pages
    const QString path = save(test::linksDatabase(rows));
    QString error;
    const std::unique_ptr<LinkRows> table = LinksTable(path).open(&error);
    QVERIFY2(table, qPrintable(error));
    const LinkRowList held(rows);
    for (SearchMode mode : {SearchMode::AuMoinsUnMot, SearchMode::TousLesMots}) {
        const KeywordSearch expected = keywordSearch(&held, words, mode);
        QVERIFY(mode == SearchMode::TousLesMots || !expected.hits.isEmpty());
        QCOMPARE(keywordSearch(table.get(), words, mode).hits, expected.hits);
    }
}

void TestLinksTable::manyRowsOverManyPages()
{
    std::vector<LinkRow> rows;
    for (int i = 1; i <= 30000; ++i)
        rows.push_back(row(i, i % 97 == 0 ? QString(3000, u'd') : QStringLiteral("qualité de l'air %1").arg(i)));
    const QString path = save(test::linksDatabase(rows));
    QVERIFY(QFileInfo(path).size() > 200 * kPage);
    const auto read = LinksTable(path).rows();
    QVERIFY(read);
    QCOMPARE(read->size(), rows.size());
    QVERIFY(*read == rows);
    if (!test::haveMdbExport())
        QSKIP("mdb-export is not installed");
    const auto exported = test::mdbExport(path, QStringLiteral("LINKS"));
    QVERIFY(exported);
    QCOMPARE(exported->size(), rows.size() + 1);
    QCOMPARE(exported->back(), test::fields(rows.back()));
}

void TestLinksTable::storedOrder_data()
{
    QTest::addColumn<std::vector<Placement>>("placements");
    const Placement S = Placement::Stored, R = Placement::Relocated, D = Placement::Deleted;
    QTest::newRow("first row relocated") << std::vector<Placement>{R, S, S, S};
    QTest::newRow("middle rows relocated") << std::vector<Placement>{S, R, S, R, S};
    QTest::newRow("last row relocated") << std::vector<Placement>{S, S, S, R};
    QTest::newRow("deleted rows") << std::vector<Placement>{D, S, D, S, S, D};
    QTest::newRow("relocated and deleted") << std::vector<Placement>{S, D, R, S, R, D, S};
    QTest::newRow("everything deleted") << std::vector<Placement>{D, D};
}

void TestLinksTable::storedOrder()
{
    QFETCH(std::vector<Placement>, placements);
    // Enough rows that relocated copies land on pages of their own among the data pages.
    std::vector<LinkRow> rows;
    std::vector<Placement> all;
    std::vector<LinkRow> expected;
    for (int block = 0; block < 300; ++block) {
        for (Placement placement : placements) {
            rows.push_back(row(int(rows.size()) + 1));
            all.push_back(placement);
            if (placement != Placement::Deleted)
                expected.push_back(rows.back());
        }
    }
    const QString path = save(test::linksDatabase(rows, all));
    const auto read = LinksTable(path).rows();
    QVERIFY(read);
    QCOMPARE(read->size(), expected.size());
    QVERIFY(*read == expected);
    QCOMPARE(searchedFields(path), searchedFields(expected));
}

void TestLinksTable::fieldsFoundByName()
{
    JetWriter writer(QStringLiteral("links"),
                     {{QStringLiteral("Description"), JetWriter::ColumnType::Memo},
                      {QStringLiteral("Extra"), JetWriter::ColumnType::Text},
                      {QStringLiteral("SubCategory"), JetWriter::ColumnType::Text},
                      {QStringLiteral("LinkID"), JetWriter::ColumnType::LongInteger},
                      {QStringLiteral("URL"), JetWriter::ColumnType::Text}});
    QVERIFY(writer.addRow({QStringLiteral("texte"), QStringLiteral("x"), QStringLiteral("Titre"),
                           QStringLiteral("7"), QStringLiteral("a.html")}));
    const auto read = LinksTable(save(writer.bytes())).rows();
    QVERIFY(read);
    QCOMPARE(read->size(), size_t(1));
    QCOMPARE(read->front(), (LinkRow{QStringLiteral("7"), QStringLiteral("a.html"),
                                     QStringLiteral("Titre"), QStringLiteral("texte")}));
}

void TestLinksTable::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");  // a part of the error text
    const QByteArray good = test::linksDatabase(numbered(50));
    QTest::newRow("empty file") << QByteArray() << "not an Access database";
    QTest::newRow("random bytes") << randomBytes(3 * kPage) << "not an Access database";
    QTest::newRow("header page only") << good.left(kPage) << "cut short";
    QTest::newRow("cut after the catalog") << good.left(4 * kPage) << "beyond the end";
    QTest::newRow("cut in the data pages") << good.left(good.size() - kPage / 2) << "beyond the end";
    QTest::newRow("random bytes after the header") << good.left(kPage) + randomBytes(4 * kPage) << "damaged";
    QTest::newRow("no LINKS table") << otherTable() << "no table LINKS";
    QTest::newRow("LINKS without Description") << withoutField() << "no field Description";
    QTest::newRow("memo chain leading to itself") << loopingMemo(true) << "loops";
    QTest::newRow("rows sharing one long memo") << sharedMemo() << "reached twice";
    QTest::newRow("memo chain leading back") << loopingMemo(false) << "loops";
    QTest::newRow("page map of no bytes") << emptyUsageMap() << "page map is empty";
    QTest::newRow("relocated row leading to itself") << relocationLoop() << "relocated row";
    // Fan-in: thousands of rows walking one chain of long values, or one relocated row.
    QTest::newRow("rows sharing one long-value chain")
        << sharing(Placement::SharingLongValue, 3000, QString(30000, u'c')) << "long-value record is reached twice";
    QTest::newRow("rows sharing one long-value record")
        << sharing(Placement::SharingLongValue, 3000, QString(1500, u'r')) << "long-value record is reached twice";
    QTest::newRow("slots sharing one relocated row")
        << sharing(Placement::SharingRelocated, 3000, QStringLiteral("air")) << "relocated row is reached twice";
}

void TestLinksTable::damagedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QElapsedTimer timer;
    timer.start();
    QString error;
    const QString path = save(bytes);
    QVERIFY(!LinksTable(path).rows(&error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QString searchError;
    QVERIFY(!searchedFields(path, &searchError));
    QCOMPARE(searchError, error);
    QVERIFY(timer.elapsed() < 2000);
}

void TestLinksTable::corruptedBytesNeverCrash()
{
    const QByteArray good = test::linksDatabase(
        {row(1), row(2, QString(5000, u'm')), row(3, QString(1500, u'é')), row(4)},
        {Placement::Stored, Placement::Relocated, Placement::Stored, Placement::Deleted});
    QRandomGenerator generator(2024);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = good;
        for (int n = 0; n < 8; ++n)
            bytes[generator.bounded(int(bytes.size()))] = char(generator.bounded(256));
        QString error;
        const QString path = save(bytes);
        const auto read = LinksTable(path).rows(&error);
        QVERIFY(read || !error.isEmpty());
        // The search's reader accepts exactly what the whole read accepts, and reads the same.
        QString searchError;
        const auto searched = searchedFields(path, &searchError);
        QCOMPARE(bool(searched), bool(read));
        QCOMPARE(searchError, error);
        if (read)
            QCOMPARE(*searched, searchedFields(*read));
    }
    QString error;
    QVERIFY(!LinksTable(m_dir.filePath(QStringLiteral("missing.mdb"))).rows(&error));
    QVERIFY(error.contains(QStringLiteral("cannot open")));
    QVERIFY(!LinksTable(QString()).rows(&error));
}

QTEST_GUILESS_MAIN(TestLinksTable)
#include "tst_links_table.moc"
