#include "held_link_rows.h"
#include "search/keyword_search.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <algorithm>
#include <optional>

using namespace ruzez;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ruzez::SearchMode)

namespace {

LinkRow row(const char *id, const char *url, const char *title, const char *description)
{
    return LinkRow{QString::fromUtf8(id), QString::fromUtf8(url), QString::fromUtf8(title),
                   QString::fromUtf8(description)};
}

// A small links table in stored order; two rows share the title "Ozone".
std::vector<LinkRow> courseRows()
{
    return {
        row("1", "air/ozone.html", "Ozone", "L'ozone filtre les UV ; près du sol il pollue l'air."),
        row("2", "air/co2.html", "Dioxyde de carbone", "Le CO2 renforce l'effet de serre."),
        row("3", "air/ozone-ville.html", "Ozone", "Mesures d'OZONE en ville, l'été."),
        row("4", "air/energie.html", "Energie", "L'energie tirée des combustibles."),
        row("5", "air/energie-solaire.html", "Énergie solaire", "L'énergie du soleil."),
        row("6", "air/eclairage.html", "Eclairage", "Un éclairage public économe."),
        row("7", "air/cfc.html", "CFC", "Les CFC détruisent la couche d'ozone ; effet de serre."),
        row("8", "air/ozone-min.html", "ozone", "ozone : la molécule O3."),
    };
}

// The same rows with each description that Latin-1 can hold handed out as
// Latin-1, the way a table read from its file hands them out.
class Latin1Rows final : public LinkRows
{
public:
    explicit Latin1Rows(const std::vector<LinkRow> &rows) : m_rows(rows)
    {
        for (const LinkRow &r : rows) {
            const bool latin1 = std::all_of(r.Description.cbegin(), r.Description.cend(),
                                            [](QChar c) { return c.unicode() < 0x100; });
            m_latin1.push_back(latin1 ? std::optional(r.Description.toLatin1()) : std::nullopt);
        }
    }

    bool forEachRow(const RowVisitor &visit, QString * = nullptr) const override
    {
        for (std::size_t row = 0; row < m_rows.size(); ++row) {
            const LinkText description = m_latin1[row]
                ? LinkText{{}, false, QLatin1StringView(*m_latin1[row])}
                : LinkText{{}, false, m_rows[row].Description};
            visit(row, LinkText{{}, false, m_rows[row].SubCategory}, description);
        }
        return true;
    }
    std::size_t rowCountHint() const override { return 0; }
    QString address(std::size_t row) const override { return m_rows[row].URL; }

private:
    const std::vector<LinkRow> &m_rows;
    std::vector<std::optional<QByteArray>> m_latin1;
};

// The same rows with each description that windows-1252 holds handed out as its bytes there,
// and each that Latin-1 holds as Latin-1 bytes, the way a table read from its file hands them
// out. Titles too, but only on every other row, so that one title comes in both forms.
class OneByteRows final : public LinkRows
{
public:
    explicit OneByteRows(const std::vector<LinkRow> &rows) : m_rows(rows)
    {
        for (const LinkRow &r : rows) {
            m_descriptions.push_back(oneByte(r.Description));
            m_titles.push_back(m_titles.size() % 2 ? std::nullopt : oneByte(r.SubCategory));
        }
    }

    bool forEachRow(const RowVisitor &visit, QString * = nullptr) const override
    {
        for (std::size_t row = 0; row < m_rows.size(); ++row)
            visit(row, text(m_titles[row], m_rows[row].SubCategory),
                  text(m_descriptions[row], m_rows[row].Description));
        return true;
    }
    // A hint far from the truth: room is only a matter of speed.
    std::size_t rowCountHint() const override { return 3; }
    QString address(std::size_t row) const override { return m_rows[row].URL; }

    // The description as handed out.
    LinkText description(std::size_t row) const
    {
        return text(m_descriptions[row], m_rows[row].Description);
    }

private:
    struct Bytes
    {
        QByteArray bytes;
        bool windows1252 = false;
    };

    static std::optional<Bytes> oneByte(const QString &text)
    {
        const bool latin1 = std::all_of(text.cbegin(), text.cend(),
                                        [](QChar c) { return c.unicode() < 0x100; });
        if (latin1)
            return Bytes{text.toLatin1(), false};
        QStringEncoder encode("windows-1252");
        const QByteArray bytes = encode(text);
        if (!encode.hasError() && QStringDecoder("windows-1252").decode(bytes) == text)
            return Bytes{bytes, true};
        return std::nullopt;
    }

    static LinkText text(const std::optional<Bytes> &bytes, const QString &text)
    {
        return bytes ? LinkText{bytes->bytes, bytes->windows1252, {}} : LinkText{{}, false, text};
    }

    const std::vector<LinkRow> &m_rows;
    std::vector<std::optional<Bytes>> m_descriptions;
    std::vector<std::optional<Bytes>> m_titles;
};

// Hits written "title|address" so expected lists read as one line each.
QStringList written(const QList<SearchHit> &hits)
{
    QStringList result;
    for (const SearchHit &hit : hits)
        result.append(hit.title + QLatin1Char('|') + hit.address);
    return result;
}

// The search as the panel's description states it, with no index: every
// row rescans the whole list for the last equal title, removals happen in
// place. Used as an oracle for the indexed search on random tables.
QStringList plainSearch(const std::vector<LinkRow> &rows, const QString &keywords, SearchMode mode)
{
    QStringList list1;
    QStringList list2;
    int passe = -1;
    for (const QString &word : splitKeywords(keywords)) {
        passe = qMin(passe + 1, 1);
        for (const LinkRow &r : rows) {
            qsizetype q = 0;
            for (qsizetype i = 0; i < list1.size(); ++i) {
                if (list1.at(i) == r.SubCategory)
                    q = i + 1;
            }
            if (mode == SearchMode::AuMoinsUnMot && q != 0)
                continue;
            if (mode == SearchMode::TousLesMots && q == 0 && passe == 1)
                continue;
            const bool found = r.Description.contains(word, Qt::CaseInsensitive);
            if (found && (mode == SearchMode::AuMoinsUnMot || passe == 0)) {
                list1.append(r.SubCategory);
                list2.append(r.URL);
            } else if (!found && q != 0 && mode == SearchMode::TousLesMots && passe == 1) {
                list1.removeAt(q - 1);
                list2.removeAt(q - 1);
            }
        }
    }
    QStringList result;
    for (qsizetype i = 0; i < list1.size(); ++i)
        result.append(list1.at(i) + QLatin1Char('|') + list2.at(i));
    return result;
}

} // namespace

class TestKeywordSearch : public QObject
{
    Q_OBJECT

private slots:
    void nettoiquestReplacesTwelveVowels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one letter") << "é" << "e";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("all twelve among others")
            << "xéyèzêwëqùrôsöuâvàtüiîoïp" << "xeyezewequrosouavatuiioip";
        QTest::newRow("capitals stay") << "ÉÈÊËÙÔÖÂÀÜÎÏ" << "ÉÈÊËÙÔÖÂÀÜÎÏ";
        QTest::newRow("rarer letters stay") << "û ç œ ÿ á í ó ú" << "û ç œ ÿ á í ó ú";
        QTest::newRow("spaces stay") << "   élève  forêt " << "   eleve  foret ";
        QTest::newRow("punctuation and digits stay") << "l'été-à 3,5 °C !" << "l'ete-a 3,5 °C !";
        QTest::newRow("decomposed accent stays") << QString::fromUtf8("e\u0301") << QString::fromUtf8("e\u0301");
    }
    void nettoiquestReplacesTwelveVowels()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(nettoiquest(text), expected);
    }

    void nettoiquestLeavesEveryOtherCharacter()
    {
        const QString twelve = QStringLiteral("éèêëùôöâàüîï");
        QString all;
        for (char16_t c = 1; c < 0xD800; ++c) {
            if (!twelve.contains(QChar(c)))
                all.append(QChar(c));
        }
        QCOMPARE(nettoiquest(all), all);
    }

    void splitsOnSpacesOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("three spaces are one separator")
            << "ozone   air" << QStringList{"ozone", "air"};
        QTest::newRow("outer spaces dropped") << "  ozone air  " << QStringList{"ozone", "air"};
        QTest::newRow("typed order") << "c b a" << QStringList{"c", "b", "a"};
        QTest::newRow("punctuation stays in its word")
            << "l'air gaz-à-effet, CO2." << QStringList{"l'air", "gaz-à-effet,", "CO2."};
        QTest::newRow("tab is no separator") << "ozone\tair" << QStringList{"ozone\tair"};
        QTest::newRow("no-break space is no separator")
            << QString::fromUtf8("ozone\u00A0air") << QStringList{QString::fromUtf8("ozone\u00A0air")};
        QTest::newRow("blank") << "   " << QStringList{};
    }
    void splitsOnSpacesOnly()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QCOMPARE(splitKeywords(text), words);
    }

    void findsRows_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<SearchMode>("mode");
        QTest::addColumn<QStringList>("hits");
        const auto any = SearchMode::AuMoinsUnMot;
        const auto all = SearchMode::TousLesMots;
        QTest::newRow("any: a title is listed once, with its first row's address")
            << "ozone" << any
            << QStringList{"Ozone|air/ozone.html", "CFC|air/cfc.html", "ozone|air/ozone-min.html"};
        QTest::newRow("any: capitals in the keyword")
            << "OZONE" << any
            << QStringList{"Ozone|air/ozone.html", "CFC|air/cfc.html", "ozone|air/ozone-min.html"};
        QTest::newRow("any: inside a longer word")
            << "air" << any << QStringList{"Ozone|air/ozone.html", "Eclairage|air/eclairage.html"};
        QTest::newRow("any: plain letter does not find the accented one")
            << "energie" << any << QStringList{"Energie|air/energie.html"};
        QTest::newRow("any: capital accented letter finds the small one")
            << "ÉNERGIE" << any << QStringList{"Énergie solaire|air/energie-solaire.html"};
        QTest::newRow("any: second word's rows come after the first's")
            << "serre ozone" << any
            << QStringList{"Dioxyde de carbone|air/co2.html", "CFC|air/cfc.html",
                           "Ozone|air/ozone.html", "ozone|air/ozone-min.html"};
        QTest::newRow("any: three spaces between words")
            << "ville   soleil" << any
            << QStringList{"Ozone|air/ozone-ville.html",
                           "Énergie solaire|air/energie-solaire.html"};
        QTest::newRow("any: nothing") << "benzène" << any << QStringList{};
        QTest::newRow("all: one word lists rows sharing a title")
            << "ozone" << all
            << QStringList{"Ozone|air/ozone.html", "Ozone|air/ozone-ville.html", "CFC|air/cfc.html",
                           "ozone|air/ozone-min.html"};
        QTest::newRow("all: two words keep rows holding both")
            << "ozone serre" << all << QStringList{"CFC|air/cfc.html"};
        QTest::newRow("all: a row with only the second word is never listed")
            << "ozone CO2" << all << QStringList{};
        // Row 1 lacks "ville" and takes away the last "Ozone" entry, which
        // row 3 put there; row 3 then finds its title still listed.
        QTest::newRow("all: a removal takes the last entry of the title")
            << "ozone ville" << all << QStringList{"Ozone|air/ozone.html"};
        QTest::newRow("all: surviving entries keep their order")
            << "o u" << all
            << QStringList{"Ozone|air/ozone.html", "Ozone|air/ozone-ville.html",
                           "Energie|air/energie.html",
                           "Énergie solaire|air/energie-solaire.html", "Eclairage|air/eclairage.html",
                           "CFC|air/cfc.html", "ozone|air/ozone-min.html"};
    }
    void findsRows()
    {
        QFETCH(QString, keywords);
        QFETCH(SearchMode, mode);
        QFETCH(QStringList, hits);
        const std::vector<LinkRow> rows = courseRows();
        QCOMPARE(written(searchLinks(&rows, keywords, mode)), hits);
    }

    void unreadableTableFindsNothing()
    {
        const KeywordSearch search = keywordSearch(nullptr, QStringLiteral("ozone"),
                                                   SearchMode::AuMoinsUnMot);
        QVERIFY(search.ran);
        QVERIFY(search.hits.isEmpty());
        QCOMPARE(search.message, QStringLiteral("Aucune page trouvée"));
    }

    // The row numbers of a damaged table do not decide which rows are read.
    void visitsEveryRowWhateverItsNumber_data()
    {
        QTest::addColumn<QString>("lastId");
        QTest::newRow("smaller than the row count") << "1";
        QTest::newRow("not a number") << "dernier";
        QTest::newRow("empty") << "";
        QTest::newRow("beyond 16 bits") << "70000";
    }
    void visitsEveryRowWhateverItsNumber()
    {
        QFETCH(QString, lastId);
        std::vector<LinkRow> rows = courseRows();
        rows.back().LinkID = lastId;
        QCOMPARE(written(searchLinks(&rows, QStringLiteral("O3"), SearchMode::AuMoinsUnMot)),
                 QStringList{"ozone|air/ozone-min.html"});
    }

    void wordsTheCount_data()
    {
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << qsizetype(0) << "Aucune page trouvée";
        QTest::newRow("one") << qsizetype(1) << "Une page trouvée";
        QTest::newRow("two") << qsizetype(2) << "2 pages trouvées";
        QTest::newRow("many, no group separator") << qsizetype(12345) << "12345 pages trouvées";
    }
    void wordsTheCount()
    {
        QFETCH(qsizetype, count);
        QFETCH(QString, message);
        QCOMPARE(resultMessage(count), message);
    }

    void runsAsTheBoxDoes_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("ran");
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("hits");
        QTest::newRow("empty box") << "" << false << "" << "" << 0;
        QTest::newRow("spaces only: normalised, untrimmed") << "   " << false << "   " << "" << 0;
        QTest::newRow("normalised and trimmed")
            << "  énergie  " << true << "energie" << "Une page trouvée" << 1;
        QTest::newRow("tab is a keyword") << "\t" << true << "\t" << "Aucune page trouvée" << 0;
        QTest::newRow("two results")
            << "effet   serre" << true << "effet   serre" << "2 pages trouvées" << 2;
    }
    void runsAsTheBoxDoes()
    {
        QFETCH(QString, box);
        QFETCH(bool, ran);
        QFETCH(QString, keywords);
        QFETCH(QString, message);
        QFETCH(int, hits);
        const std::vector<LinkRow> rows = courseRows();
        const KeywordSearch search = keywordSearch(&rows, box, SearchMode::AuMoinsUnMot);
        QCOMPARE(search.ran, ran);
        QCOMPARE(search.keywords, keywords);
        QCOMPARE(search.message, message);
        QCOMPARE(search.hits.size(), hits);
    }

    // Many rows sharing few titles and words, so that removals and repeated
    // titles interleave in every way; the search must list exactly what
    // rescanning the list with Qt's own case-insensitive test would. The
    // words mix capitals, accents and characters with unusual case rules
    // (long s, Kelvin sign, micro sign, final sigma, dotted İ, capital
    // sharp s, letters outside the 16-bit range, lone surrogates). Each
    // table is searched as text and as Latin-1 where Latin-1 holds it.
    void matchesTheUnindexedSearch()
    {
        QRandomGenerator random(20261208);
        // Titles windows-1252 writes with the byte Latin-1 gives a control character (’ and
        // U+0092, € and U+0080), and one neither holds.
        const QStringList titles{"A", "B", "C", "a", "D", "É", u"l\u2019air"_s, u"l\u0092air"_s,
                                 u"\u20AC"_s, u"\u0080"_s, u"\u0081"_s, u"\u03A9"_s};
        const QStringList words{
            "ozone", "OZONE", "Été", "été", "ete", "ÉTÉ", "air", "éclairage", "co2",
            u"\u017Foleil"_s, "soleil", u"\u212Aelvin"_s, "kelvin", u"\u00B5g"_s, u"\u03BCg"_s,
            u"\u03A3\u039F\u03A6\u0399\u0391\u03A3"_s, u"\u03C3\u03BF\u03C6\u03B9\u03B1\u03C2"_s,
            u"\u0130le"_s, "ile", u"\u1E9E"_s, u"\u00DF"_s, u"\U00010400x"_s, u"\U00010428X"_s,
            QString(QChar(0xDC00)) + QLatin1Char('x'), QString(QChar(0xD801)), "l'air",
            "gaz-à-effet", u"l\u2019\u0153uvre"_s, u"L\u2019\u0152UVRE"_s, u"c\u0153ur"_s,
            u"12 \u20AC"_s, u"\u0160i"_s, u"\u0161I"_s, u"\u0178"_s, u"\u00FF"_s, u"\u2122"_s,
            u"\u0081\u0085"_s, u"\u00AB x \u00BB"_s};
        for (int round = 0; round < 300; ++round) {
            std::vector<LinkRow> rows;
            const int count = random.bounded(1, 40);
            for (int i = 0; i < count; ++i) {
                QString description;
                for (int w = random.bounded(0, 12); w > 0; --w)
                    description += words.at(random.bounded(words.size())) + QStringLiteral(" et ");
                rows.push_back(LinkRow{QString::number(i + 1), QStringLiteral("p%1.html").arg(i),
                                       titles.at(random.bounded(titles.size())), description});
            }
            QStringList query;
            // Every tenth query is long: words past the 32nd and the 64th count as the first.
            for (int w = round % 10 == 0 ? random.bounded(30, 70) : random.bounded(1, 4); w > 0; --w)
                query.append(words.at(random.bounded(words.size())));
            const QString keywords = query.join(QLatin1Char(' '));
            const Latin1Rows latin1(rows);
            const OneByteRows oneByte(rows);
            for (SearchMode mode : {SearchMode::AuMoinsUnMot, SearchMode::TousLesMots}) {
                const QStringList expected = plainSearch(rows, keywords, mode);
                QCOMPARE(written(searchLinks(&rows, keywords, mode)), expected);
                QCOMPARE(written(searchLinks(&latin1, keywords, mode)), expected);
                QCOMPARE(written(searchLinks(&oneByte, keywords, mode)), expected);
            }
        }
    }

    // Case is ignored character by character exactly as Qt's comparison
    // ignores it, for every character of the 16-bit range.
    void ignoresCaseAsQtDoes()
    {
        std::vector<LinkRow> rows;
        for (char32_t c = 0x20; c < 0x10000; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const QString text = QStringLiteral("<") + QChar(char16_t(c)) + QStringLiteral(">");
            rows.push_back(LinkRow{{}, text, text, text});
        }
        const OneByteRows oneByte(rows);
        const LinkText quote = oneByte.description(0x2019 - 0x20);
        QVERIFY(quote.bytes.size() == 3 && quote.windows1252);
        for (const char *probe : {"<e>", "<K>", "<\u00E9>", "<\u03C3>", "<S>", "<\u00DF>",
                                  "<\u0153>", "<\u0178>", "<\u00FF>", "<\u2019>"}) {
            const QString word = QString::fromUtf8(probe);
            QStringList expected;
            for (const LinkRow &r : rows) {
                if (r.Description.contains(word, Qt::CaseInsensitive))
                    expected.append(r.SubCategory + QLatin1Char('|') + r.URL);
            }
            QCOMPARE(written(searchLinks(&rows, word, SearchMode::TousLesMots)), expected);
            const Latin1Rows latin1(rows);
            QCOMPARE(written(searchLinks(&latin1, word, SearchMode::TousLesMots)), expected);
            QCOMPARE(written(searchLinks(&oneByte, word, SearchMode::TousLesMots)), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestKeywordSearch)
#include "tst_keyword_search.moc"
