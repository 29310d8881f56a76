#include "keyword_search.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <array>
#include <string>
#include <type_traits>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace ruzez {

namespace {

constexpr QChar kSpace = QLatin1Char(' ');

// The accented letters a pupil may type and the plain letter each stands
// for. Capitals and the rarer û, ç, œ are deliberately absent: the course's
// descriptions are written with them where they are meant.
constexpr std::array<std::pair<char16_t, char16_t>, 12> kPlainLetters{{
    {u'\u00E9', u'e'}, // é
    {u'\u00E8', u'e'}, // è
    {u'\u00EA', u'e'}, // ê
    {u'\u00EB', u'e'}, // ë
    {u'\u00F9', u'u'}, // ù
    {u'\u00F4', u'o'}, // ô
    {u'\u00F6', u'o'}, // ö
    {u'\u00E2', u'a'}, // â
    {u'\u00E0', u'a'}, // à
    {u'\u00FC', u'u'}, // ü
    {u'\u00EE', u'i'}, // î
    {u'\u00EF', u'i'}, // ï
}};

// The result lists (titles and addresses) while one search runs. Appends
// always go to the end and a removal always takes the last listed entry of
// a title, so each title's listed entries form a stack whose top is the
// row's listed position; every entry links to the one below it. Titles are
// numbered once per search so that a row finds its stack without hashing
// its title again for every word. Removed entries are only marked and are
// dropped at the end: every step is constant-time however many rows and
// results there are, and the outcome is that of removing from the lists
// in place.
class ResultList
{
public:
    explicit ResultList(const LinkRows &rows)
        : m_rows(rows)
        , m_titleOf(rows.size())
    {
        QHash<QString, Index> numbers;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const QString &title = rows.title(i);
            auto it = numbers.constFind(title);
            if (it == numbers.cend())
                it = numbers.insert(title, Index(numbers.size()));
            m_titleOf[i] = *it;
        }
        m_top.assign(std::size_t(numbers.size()), kNone);
    }

    bool isListed(std::size_t row) const { return m_top[m_titleOf[row]] != kNone; }

    void append(std::size_t row)
    {
        const Index title = m_titleOf[row];
        m_entries.push_back(Entry{Index(row), m_top[title]});
        m_top[title] = Index(m_entries.size()) - 1;
    }

    // Drops the last listed entry with the row's title, whichever row put it there.
    void removeLast(std::size_t row)
    {
        const Index title = m_titleOf[row];
        if (m_top[title] == kNone)
            return;
        Entry &entry = m_entries[std::size_t(m_top[title])];
        entry.listed = false;
        m_top[title] = entry.below;
    }

    QList<SearchHit> hits() const
    {
        QList<SearchHit> result;
        result.reserve(qsizetype(m_entries.size()));
        for (const Entry &entry : m_entries) {
            if (entry.listed)
                result.append(SearchHit{m_rows.title(std::size_t(entry.row)),
                                        m_rows.address(std::size_t(entry.row))});
        }
        return result;
    }

private:
    // Rows, titles and entries are counted in 32 bits (a table read from an Access file,
    // 2 GB at most, holds far fewer rows): the lists take half the fresh memory, which a
    // search over a large table pays for page by page.
    using Index = qint32;
    static constexpr Index kNone = -1;

    struct Entry
    {
        Index row = 0;
        Index below = kNone; // the entry listed before it with the same title
        bool listed = true;
    };

    const LinkRows &m_rows;
    std::vector<Index> m_titleOf; // row -> title number
    std::vector<Index> m_top;     // title number -> its last listed entry
    std::vector<Entry> m_entries;
};

// Letter case is ignored one character at a time, with the simple case
// folding of Qt's case-insensitive comparison: É finds é, but an accented
// letter never finds its plain letter. Qt's own case-insensitive search
// folds every character through several lookups; a table of the 65,536
// foldings, built once per search, makes the same test several times
// faster over a large table. A low surrogate is folded with the high
// surrogate before it, as Qt does.
class CaseFolding
{
public:
    CaseFolding()
        : m_table(0x10000)
    {
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            const char32_t folded = QChar::isSurrogate(unit) ? unit : QChar::toCaseFolded(unit);
            m_table[unit] = QChar::requiresSurrogates(folded) ? char16_t(unit) : char16_t(folded);
        }
    }

    char16_t at(const char16_t *text, qsizetype index) const
    {
        const char16_t unit = text[index];
        if (QChar::isLowSurrogate(unit) && index > 0 && QChar::isHighSurrogate(text[index - 1]))
            return QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(text[index - 1], unit)));
        return m_table[unit];
    }

    // Latin-1 text holds no surrogates: each byte is its own character.
    char16_t at(const uchar *text, qsizetype index) const { return m_table[text[index]]; }

    // A word prepared for contains(): folded, with the distances of Horspool's search.
    struct Word
    {
        std::u16string folded;
        // How far a window may move when its last unit, folded, has these low 8 bits: the
        // smallest distance any folded unit of the word with those bits allows.
        std::array<qsizetype, 256> shift{};
        // For Latin-1 text, the same distance by the unit as stored, folded in advance; 0 where
        // the unit folds to the word's last unit and the window must be compared.
        std::array<qsizetype, 256> latin1Shift{};
        qsizetype lastShift = 1; // the distance after a window that ends on the last unit
        // The Latin-1 units that fold to the word's first and last units, when no more than two
        // each (a letter and its capital, mostly), for the block-wise search.
        std::array<uchar, 2> firstUnits{};
        std::array<uchar, 2> lastUnits{};
        bool blockwise = false;
    };

    Word prepare(QStringView text) const
    {
        Word word;
        word.folded.resize(std::size_t(text.size()));
        for (qsizetype i = 0; i < text.size(); ++i)
            word.folded[std::size_t(i)] = at(text.utf16(), i);
        const qsizetype length = text.size();
        word.shift.fill(std::max<qsizetype>(length, 1));
        for (qsizetype i = 0; i + 1 < length; ++i)
            word.shift[word.folded[std::size_t(i)] & 0xff] = length - 1 - i;
        if (length > 0) {
            const char16_t lastUnit = word.folded.back();
            word.lastShift = word.shift[lastUnit & 0xff];
            int firsts = 0;
            int lasts = 0;
            for (int unit = 0; unit < 256; ++unit) {
                const char16_t folded = m_table[std::size_t(unit)];
                word.latin1Shift[std::size_t(unit)] = folded == lastUnit ? 0 : word.shift[folded & 0xff];
                if (folded == word.folded.front() && firsts++ < 2)
                    word.firstUnits[std::size_t(firsts - 1)] = uchar(unit);
                if (folded == lastUnit && lasts++ < 2)
                    word.lastUnits[std::size_t(lasts - 1)] = uchar(unit);
            }
            // A single unit is looked for twice; a unit no Latin-1 unit folds to is never found.
            if (firsts == 1)
                word.firstUnits[1] = word.firstUnits[0];
            if (lasts == 1)
                word.lastUnits[1] = word.lastUnits[0];
            word.blockwise = firsts >= 1 && firsts <= 2 && lasts >= 1 && lasts <= 2;
        }
        return word;
    }

    // Whether `text` holds `word` with case ignored. Each window is tested from its last
    // unit and moved by the word's distances, so most units of a long text are never
    // looked at; the folding of a unit depends only on it and the unit before, so
    // windows can be tested in any order.
    bool contains(QAnyStringView text, const Word &word) const
    {
        return text.visit([&](auto view) {
            using View = decltype(view);
            if constexpr (std::is_same_v<View, QStringView>)
                return contains(view.utf16(), view.size(), word);
            else if constexpr (std::is_same_v<View, QLatin1StringView>)
                return containsLatin1(reinterpret_cast<const uchar *>(view.data()), view.size(), word);
            else
                return contains(QStringView(view.toString()), word);
        });
    }

private:
    template<typename Unit>
    bool contains(const Unit *units, qsizetype size, const Word &word) const
    {
        const std::u16string &w = word.folded;
        const qsizetype length = qsizetype(w.size());
        if (length == 0)
            return true;
        const char16_t lastUnit = w[std::size_t(length - 1)];
        for (qsizetype start = 0; start + length <= size;) {
            const char16_t last = at(units, start + length - 1);
            if (last == lastUnit) {
                qsizetype k = 0;
                while (k < length - 1 && at(units, start + k) == w[std::size_t(k)])
                    ++k;
                if (k == length - 1)
                    return true;
            }
            start += word.shift[last & 0xff];
        }
        return false;
    }

    // The same search over Latin-1 text, where a unit needs no look-up to be folded before
    // the window moves: the most travelled path of a search over the course's descriptions.
    bool containsLatin1(const uchar *units, qsizetype size, const Word &word) const
    {
        const std::u16string &w = word.folded;
        const qsizetype last = qsizetype(w.size()) - 1;
        if (last < 0)
            return true;
        qsizetype start = 0;
#ifdef __SSE2__
        // Sixteen windows at a time: those whose first and last units fold to the word's are
        // compared whole, the others are passed over.
        if (word.blockwise) {
            const __m128i first0 = _mm_set1_epi8(char(word.firstUnits[0]));
            const __m128i first1 = _mm_set1_epi8(char(word.firstUnits[1]));
            const __m128i last0 = _mm_set1_epi8(char(word.lastUnits[0]));
            const __m128i last1 = _mm_set1_epi8(char(word.lastUnits[1]));
            for (; start + last + 16 <= size; start += 16) {
                const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + start));
                const __m128i tail = _mm_loadu_si128(
                    reinterpret_cast<const __m128i *>(units + start + last));
                const __m128i both = _mm_and_si128(
                    _mm_or_si128(_mm_cmpeq_epi8(head, first0), _mm_cmpeq_epi8(head, first1)),
                    _mm_or_si128(_mm_cmpeq_epi8(tail, last0), _mm_cmpeq_epi8(tail, last1)));
                for (unsigned mask = unsigned(_mm_movemask_epi8(both)); mask != 0; mask &= mask - 1) {
                    const qsizetype at = start + std::countr_zero(mask);
                    qsizetype k = 1;
                    while (k < last && m_table[units[at + k]] == w[std::size_t(k)])
                        ++k;
                    if (k >= last)
                        return true;
                }
            }
        }
#endif
        while (start + last < size) {
            qsizetype step = word.latin1Shift[units[start + last]];
            if (step == 0) {
                qsizetype k = 0;
                while (k < last && m_table[units[start + k]] == w[std::size_t(k)])
                    ++k;
                if (k == last)
                    return true;
                step = word.lastShift;
            }
            start += step;
        }
        return false;
    }

    std::vector<char16_t> m_table;
};

// One word over every row. `passe` is 0 for the first word of a search and
// 1 for each later word.
void cherchemot(const LinkRows &rows, const CaseFolding &folding,
                const QString &word, SearchMode mode, int passe, ResultList &list)
{
    const bool anyWord = mode == SearchMode::AuMoinsUnMot;
    const CaseFolding::Word folded = folding.prepare(word);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // The first word of "tous les mots" looks at every row.
        const bool listed = (anyWord || passe == 1) && list.isListed(i);
        if (anyWord && listed)
            continue;
        if (!anyWord && !listed && passe == 1)
            continue;
        const bool found = folding.contains(rows.description(i), folded);
        if (found && (anyWord || passe == 0))
            list.append(i);
        else if (!found && listed && !anyWord && passe == 1)
            list.removeLast(i);
    }
}

} // namespace

QString nettoiquest(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        for (const auto &[accented, plain] : kPlainLetters) {
            if (c.unicode() == accented) {
                c = QChar(plain);
                break;
            }
        }
    }
    return result;
}

QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == kSpace)
        ++begin;
    while (end > begin && text.at(end - 1) == kSpace)
        --end;
    return text.mid(begin, end - begin);
}

QStringList splitKeywords(const QString &text)
{
    QStringList words;
    QString remaining = trimSpaces(text);
    while (!remaining.isEmpty()) {
        const qsizetype space = remaining.indexOf(kSpace);
        if (space < 0) {
            words.append(remaining);
            break;
        }
        words.append(trimSpaces(remaining.left(space)));
        remaining = trimSpaces(remaining.mid(space + 1));
    }
    return words;
}

QList<SearchHit> searchLinks(const std::vector<LinkRow> *rows, const QString &keywords,
                             SearchMode mode)
{
    if (!rows)
        return {};
    const LinkRowList list(*rows);
    return searchLinks(&list, keywords, mode);
}

QList<SearchHit> searchLinks(const LinkRows *rows, const QString &keywords, SearchMode mode)
{
    if (!rows)
        return {};
    ResultList list(*rows);
    const CaseFolding folding;
    int passe = 0;
    for (const QString &word : splitKeywords(keywords)) {
        cherchemot(*rows, folding, word, mode, passe, list);
        passe = 1;
    }
    return list.hits();
}

QString resultMessage(qsizetype count)
{
    if (count >= 2)
        return QString::number(count) + QStringLiteral(" pages trouvées");
    if (count == 1)
        return QStringLiteral("Une page trouvée");
    return QStringLiteral("Aucune page trouvée");
}

bool isBlankKeywords(const QString &boxText)
{
    return trimSpaces(boxText).isEmpty();
}

KeywordSearch keywordSearch(const std::vector<LinkRow> *rows, const QString &boxText,
                            SearchMode mode)
{
    if (!rows)
        return keywordSearch(nullptr, boxText, mode);
    const LinkRowList list(*rows);
    return keywordSearch(&list, boxText, mode);
}

KeywordSearch keywordSearch(const LinkRows *rows, const QString &boxText, SearchMode mode)
{
    KeywordSearch search;
    search.keywords = nettoiquest(boxText);
    if (isBlankKeywords(search.keywords))
        return search;
    search.ran = true;
    search.keywords = trimSpaces(search.keywords);
    search.hits = searchLinks(rows, search.keywords, mode);
    search.message = resultMessage(search.hits.size());
    return search;
}

} // namespace ruzez
