#include "keyword_search.h"

#include "access/access_text.h"
#include "search/case_folding.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>
#include <utility>

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
// numbered once per search, each when its row is first looked at, so that a
// row finds its stack without hashing its title again for every word.
// Removed entries are only marked and are dropped at the end: every step is
// constant-time however many rows and results there are, and the outcome is
// that of removing from the lists in place.
class ResultList
{
public:
    // Rows, titles and entries are counted in 32 bits (a table read from an Access file,
    // 2 GB at most, holds far fewer rows): the lists take half the fresh memory, which a
    // search over a large table pays for page by page.
    using Index = qint32;
    static constexpr Index kNone = -1;

    explicit ResultList(const LinkRows &rows)
        : m_rows(rows)
        , m_titleOf(rows.size(), kNone)
        , m_numbers(1024, kNone)
    {
    }

    // The row's title number. Numbered while the search reads the row's description, the
    // title is read from where the row already is in the cache.
    Index titleOf(std::size_t row)
    {
        const Index known = m_titleOf[row];
        return known != kNone ? known : numberTitle(row);
    }

    bool isListed(std::size_t row) { return m_top[std::size_t(titleOf(row))] != kNone; }

    void append(std::size_t row)
    {
        const Index title = titleOf(row);
        m_entries.push_back(Entry{Index(row), m_top[std::size_t(title)]});
        m_top[std::size_t(title)] = Index(m_entries.size()) - 1;
    }

    // Drops the last listed entry with the row's title, whichever row put it there.
    void removeLast(std::size_t row)
    {
        const Index title = titleOf(row);
        if (m_top[std::size_t(title)] == kNone)
            return;
        Entry &entry = m_entries[std::size_t(m_top[std::size_t(title)])];
        entry.listed = false;
        m_top[std::size_t(title)] = entry.below;
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
    struct Entry
    {
        Index row = 0;
        Index below = kNone; // the entry listed before it with the same title
        bool listed = true;
    };

    // Numbers the row's title, equal texts alike whatever form the table hands them out in.
    // An open-addressing table of title numbers, keyed by the hash of each title's text and
    // kept at most half full, compares a title only with one that hashed alike; it grows with
    // the titles, not the rows, so that it stays in the cache. A title is keyed by its text
    // written one byte per character in windows-1252 (every byte one character, every such
    // character one byte), which is how a table read from its file holds nearly every title:
    // such a title is hashed and compared where it lies, without decoding it.
    Index numberTitle(std::size_t row)
    {
        bool wide = false;
        std::size_t hash = 0;
        const QByteArrayView key = titleKey(row, wide, hash);
        const std::size_t mask = m_numbers.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const Index number = m_numbers[slot];
            if (number == kNone) {
                const Index fresh = Index(m_keys.size());
                m_numbers[slot] = fresh;
                m_keys.emplace_back(key.data(), key.size());
                m_wide.push_back(wide);
                m_hashes.push_back(hash);
                m_top.push_back(kNone);
                if (2 * m_keys.size() > m_numbers.size())
                    grow();
                return m_titleOf[row] = fresh;
            }
            const QByteArray &known = m_keys[std::size_t(number)];
            if (m_hashes[std::size_t(number)] == hash && m_wide[std::size_t(number)] == wide
                && known.size() == key.size()
                && std::memcmp(known.constData(), key.data(), std::size_t(key.size())) == 0)
                return m_titleOf[row] = number;
        }
    }

    // The row's title as windows-1252 bytes, viewed where the table holds them so; else its
    // UTF-16 text, `wide` set, where a character has no such byte; `hash` is its hash. Valid
    // until the next call.
    QByteArrayView titleKey(std::size_t row, bool &wide, std::size_t &hash)
    {
        bool windows1252 = false;
        const QByteArrayView bytes = m_rows.titleBytes(row, &windows1252);
        // Latin-1 bytes 0x80 to 0x9F are controls, which windows-1252 writes otherwise.
        if (bytes.data()) {
            bool controls = false;
            hash = bytesHash(bytes.data(), std::size_t(bytes.size()), &controls);
            if (windows1252 || !controls)
                return bytes;
        }
        const QAnyStringView title = m_rows.titleText(row, m_buffer);
        QStringView text;
        title.visit([&](auto view) {
            if constexpr (std::is_same_v<decltype(view), QStringView>) {
                text = view;
            } else {
                m_wideText = view.toString();
                text = m_wideText;
            }
        });
        m_narrow.resize(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int byte = windows1252Byte(text[i].unicode());
            if (byte < 0) {
                wide = true;
                const QByteArrayView key(reinterpret_cast<const char *>(text.data()), text.size() * 2);
                hash = bytesHash(key.data(), std::size_t(key.size()));
                return key;
            }
            m_narrow[i] = char(byte);
        }
        hash = bytesHash(m_narrow.constData(), std::size_t(m_narrow.size()));
        return m_narrow;
    }

    // The byte windows-1252 gives the character, the five bytes it leaves free standing for
    // the C1 controls of the same number; -1 where it has none.
    static int windows1252Byte(char16_t c)
    {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            return c;
        for (int i = 0; i < 32; ++i)
            if (kWindows1252High[i] == c)
                return 0x80 + i;
        return -1;
    }

    void grow()
    {
        m_numbers.assign(2 * m_numbers.size(), kNone);
        const std::size_t mask = m_numbers.size() - 1;
        for (std::size_t number = 0; number < m_hashes.size(); ++number) {
            std::size_t slot = m_hashes[number] & mask;
            while (m_numbers[slot] != kNone)
                slot = (slot + 1) & mask;
            m_numbers[slot] = Index(number);
        }
    }

    // Titles are short: eight bytes at a time, mixed by multiplication.
    // While at it, `controls` (where asked) tells whether a byte is 0x80 to 0x9F.
    static std::size_t bytesHash(const char *data, std::size_t size, bool *controls = nullptr)
    {
        constexpr quint64 kOnes = 0x0101010101010101ULL;
        quint64 hash = 0x9e3779b97f4a7c15ULL ^ size;
        // A byte whose top three bits are 100 becomes zero, which the word then shows.
        quint64 zeroes = 0;
        const auto mark = [&zeroes](quint64 word) {
            const quint64 x = (word & (0xE0 * kOnes)) ^ (0x80 * kOnes);
            zeroes |= (x - kOnes) & ~x & (0x80 * kOnes);
        };
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            quint64 word;
            std::memcpy(&word, data + i, 8);
            mark(word);
            hash = (hash ^ word) * 0xff51afd7ed558ccdULL;
            hash ^= hash >> 32;
        }
        quint64 tail = 0;
        std::memcpy(&tail, data + i, size - i);
        mark(tail);
        if (controls)
            *controls = zeroes != 0;
        hash = (hash ^ tail) * 0xc4ceb9fe1a85ec53ULL;
        return std::size_t(hash ^ (hash >> 29));
    }

    const LinkRows &m_rows;
    std::vector<Index> m_titleOf; // row -> title number, kNone until numbered
    std::vector<Index> m_numbers; // the hash table: slot -> title number
    std::vector<QByteArray> m_keys; // title number -> its key (see titleKey())
    std::vector<bool> m_wide;       // title number -> keyed by its UTF-16 text
    std::vector<std::size_t> m_hashes; // title number -> its hash
    std::vector<Index> m_top;     // title number -> its last listed entry
    std::vector<Entry> m_entries;
    QString m_buffer;
    QString m_wideText;
    QByteArray m_narrow;
};

// One word over every row. `passe` is 0 for the first word of a search and
// 1 for each later word.
void cherchemot(const LinkRows &rows, const CaseFolding &folding,
                const QString &word, SearchMode mode, int passe, ResultList &list)
{
    const bool anyWord = mode == SearchMode::AuMoinsUnMot;
    const CaseFolding::Word folded = folding.prepare(word);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (passe == 0)
            list.titleOf(i);
        // The first word of "tous les mots" looks at every row.
        const bool listed = (anyWord || passe == 1) && list.isListed(i);
        if (anyWord && listed)
            continue;
        if (!anyWord && !listed && passe == 1)
            continue;
        bool windows1252 = false;
        const QByteArrayView bytes = rows.descriptionBytes(i, &windows1252);
        const bool found = bytes.data()
            ? folding.containsBytes(reinterpret_cast<const uchar *>(bytes.data()), bytes.size(),
                                    windows1252 ? CaseFolding::kWindows1252 : CaseFolding::kLatin1, folded)
            : folding.contains(rows.description(i), folded);
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
