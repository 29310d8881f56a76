#include "keyword_search.h"

#include "access/access_text.h"
#include "search/case_folding.h"

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

// Titles numbered as the search meets them, equal texts alike whatever form the table hands
// them out in, so that a row finds its title's results without hashing its title again for
// every word. An open-addressing table of title numbers, keyed by the hash of each title's
// text and kept at most half full, compares a title only with one that hashed alike; it grows
// with the titles, not the rows, so that it stays in the cache. A title is keyed by its text
// written one byte per character in windows-1252 (every byte one character, every such
// character one byte), which is how a table read from its file hands out nearly every title:
// such a title is hashed and compared where it lies, without decoding it.
class TitleNumbers
{
public:
    using Index = qint32;
    static constexpr Index kNone = -1;

    // Room for `expected` titles is set aside; memory asked for is paid for only where written.
    explicit TitleNumbers(std::size_t expected) : m_numbers(1024, kNone)
    {
        m_titles.reserve(expected);
        m_keys.reserve(qsizetype(std::min<std::size_t>(expected, std::size_t(1) << 22) * 32));
    }

    std::size_t count() const { return m_titles.size(); }

    Index number(const LinkText &title)
    {
        bool wide = false;
        std::size_t hash = 0;
        const QByteArrayView key = titleKey(title, wide, hash);
        const std::size_t mask = m_numbers.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const Index number = m_numbers[slot];
            if (number == kNone) {
                const Index fresh = Index(m_titles.size());
                m_numbers[slot] = fresh;
                m_titles.push_back(Title{hash, m_keys.size(), quint32(key.size()), wide});
                m_keys.append(key);
                if (2 * m_titles.size() > m_numbers.size())
                    grow();
                return fresh;
            }
            const Title &known = m_titles[std::size_t(number)];
            if (known.hash == hash && known.wide == wide && known.size == quint32(key.size())
                && std::memcmp(m_keys.constData() + known.offset, key.data(), known.size) == 0)
                return number;
        }
    }

    // The title's text, read back from its key.
    QString text(Index number) const
    {
        const Title &title = m_titles[std::size_t(number)];
        const char *key = m_keys.constData() + title.offset;
        if (title.wide)
            return QString(reinterpret_cast<const QChar *>(key), qsizetype(title.size / 2));
        QString text(qsizetype(title.size), Qt::Uninitialized);
        char16_t *to = reinterpret_cast<char16_t *>(text.data());
        for (quint32 i = 0; i < title.size; ++i)
            to[i] = windows1252Char(uchar(key[i]));
        return text;
    }

private:
    // The title as windows-1252 bytes, viewed where it is handed out so; else its UTF-16 text,
    // `wide` set, where a character has no such byte; `hash` is its hash. Valid until the
    // next call.
    QByteArrayView titleKey(const LinkText &title, bool &wide, std::size_t &hash)
    {
        QStringView text;
        if (title.bytes.data()) {
            bool controls = false;
            hash = bytesHash(title.bytes.data(), std::size_t(title.bytes.size()), &controls);
            // Latin-1 bytes 0x80 to 0x9F are controls, which windows-1252 writes otherwise.
            if (title.windows1252 || !controls)
                return title.bytes;
            m_wideText = QLatin1StringView(title.bytes).toString();
            text = m_wideText;
        } else {
            title.text.visit([&](auto view) {
                if constexpr (std::is_same_v<decltype(view), QStringView>) {
                    text = view;
                } else {
                    m_wideText = view.toString();
                    text = m_wideText;
                }
            });
        }
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
        for (std::size_t number = 0; number < m_titles.size(); ++number) {
            std::size_t slot = m_titles[number].hash & mask;
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

    // A title's key (see titleKey()) lies in m_keys, all keys one after another.
    struct Title
    {
        std::size_t hash;
        qsizetype offset;
        quint32 size;  // a title lies in one page
        bool wide;     // keyed by its UTF-16 text
    };
    std::vector<Index> m_numbers; // the hash table: slot -> title number
    std::vector<Title> m_titles;  // title number -> its key
    QByteArray m_keys;
    QString m_wideText;
    QByteArray m_narrow;
};

// The result lists (titles and addresses) while one search runs. Appends always go to the end
// and a removal always takes the last listed entry of a title, so each title's listed entries
// form a stack whose top is the title's listed position; every entry links to the one below
// it. Removed entries are only marked and are dropped at the end: every step is constant-time
// however many rows and results there are, and the outcome is that of removing from the lists
// in place.
class ResultList
{
public:
    using Index = TitleNumbers::Index;
    static constexpr Index kNone = TitleNumbers::kNone;

    // Room for `entries` appends, the most the search can make, is set aside at once.
    ResultList(std::size_t titles, std::size_t entries) : m_top(titles, kNone)
    {
        m_entries.reserve(entries);
    }

    bool isListed(Index title) const { return m_top[std::size_t(title)] != kNone; }

    void append(std::size_t row, Index title)
    {
        m_entries.push_back(Entry{Index(row), m_top[std::size_t(title)]});
        m_top[std::size_t(title)] = Index(m_entries.size()) - 1;
    }

    // Drops the last listed entry with the title, whichever row put it there.
    void removeLast(Index title)
    {
        if (m_top[std::size_t(title)] == kNone)
            return;
        Entry &entry = m_entries[std::size_t(m_top[std::size_t(title)])];
        entry.row = kNone;
        m_top[std::size_t(title)] = entry.below;
    }

    // The rows listed, in list order.
    template<typename Visit>
    void forEachListed(const Visit &visit) const
    {
        for (const Entry &entry : m_entries)
            if (entry.row != kNone)
                visit(std::size_t(entry.row));
    }

private:
    struct Entry
    {
        Index row = 0;       // kNone once removed
        Index below = kNone; // the entry listed before it with the same title
    };

    std::vector<Index> m_top; // title number -> its last listed entry
    std::vector<Entry> m_entries;
};

// One word's pass over every row, as the panel makes it: `found` says whether the row's
// description holds the word. `passe` is 0 for the first word of a search and 1 for each
// later word.
template<typename Found>
void cherchemot(const std::vector<TitleNumbers::Index> &titleOf, SearchMode mode, int passe,
                const Found &found, ResultList &list)
{
    const bool anyWord = mode == SearchMode::AuMoinsUnMot;
    for (std::size_t i = 0; i < titleOf.size(); ++i) {
        const TitleNumbers::Index title = titleOf[i];
        // The first word of "tous les mots" looks at every row.
        const bool listed = (anyWord || passe == 1) && list.isListed(title);
        if (anyWord && listed)
            continue;
        if (!anyWord && !listed && passe == 1)
            continue;
        const bool holds = found(i);
        if (holds && (anyWord || passe == 0))
            list.append(i, title);
        else if (!holds && listed && !anyWord && passe == 1)
            list.removeLast(title);
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

QList<SearchHit> searchLinks(const LinkRows *rows, const QString &keywords, SearchMode mode,
                             QString *error)
{
    if (!rows)
        return {};
    const QStringList words = splitKeywords(keywords);
    if (words.isEmpty())
        return {};
    const CaseFolding folding;
    std::vector<CaseFolding::Word> folded;
    for (const QString &word : words)
        folded.push_back(folding.prepare(word));
    // The table is read once: each row's title numbered and every word looked for in its
    // description, a bit per word. The words' passes over the rows then run on those bits.
    // A row is listed only where it holds the first word ("tous les mots") or any word ("au
    // moins un mot"): only such rows' addresses are kept.
    const bool anyWord = mode == SearchMode::AuMoinsUnMot;
    const std::size_t stride = (folded.size() + 31) / 32;
    // Room for the rows the table states, within reason: growing a list copies it to fresh
    // memory, which costs more than the room that stays unused.
    const std::size_t expected = std::min<std::size_t>(rows->rowCountHint(), std::size_t(1) << 24);
    TitleNumbers titles(expected);
    std::vector<TitleNumbers::Index> titleOf;
    std::vector<quint32> found;
    titleOf.reserve(expected);
    found.reserve(expected * stride);
    std::size_t listableRows = 0;
    const bool read = rows->forEachRow(
        [&](std::size_t, const LinkText &title, const LinkText &description) {
            titleOf.push_back(titles.number(title));
            bool listable = false;
            for (std::size_t first = 0; first < folded.size(); first += 32) {
                quint32 bits = 0;
                for (std::size_t w = first; w < std::min(first + 32, folded.size()); ++w) {
                    const bool holds = description.bytes.data()
                        ? folding.containsBytes(
                            reinterpret_cast<const uchar *>(description.bytes.data()),
                            description.bytes.size(),
                            description.windows1252 ? CaseFolding::kWindows1252 : CaseFolding::kLatin1,
                            folded[w])
                        : folding.contains(description.text, folded[w]);
                    bits |= quint32(holds) << (w - first);
                }
                found.push_back(bits);
                listable = listable || (anyWord ? bits != 0 : (first == 0 && (bits & 1)));
            }
            listableRows += listable;
            return listable;
        },
        error);
    if (!read)
        return {};
    ResultList list(titles.count(), listableRows);
    for (std::size_t w = 0; w < folded.size(); ++w) {
        cherchemot(titleOf, mode, w == 0 ? 0 : 1,
                   [&](std::size_t row) { return (found[row * stride + w / 32] >> (w % 32)) & 1; },
                   list);
    }
    QList<SearchHit> hits;
    list.forEachListed([&](std::size_t row) {
        hits.append(SearchHit{titles.text(titleOf[row]), rows->address(row)});
    });
    return hits;
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

KeywordSearch keywordSearch(const LinkRows *rows, const QString &boxText, SearchMode mode,
                            QString *error)
{
    KeywordSearch search;
    search.keywords = nettoiquest(boxText);
    if (isBlankKeywords(search.keywords))
        return search;
    search.ran = true;
    search.keywords = trimSpaces(search.keywords);
    search.hits = searchLinks(rows, search.keywords, mode, error);
    search.message = resultMessage(search.hits.size());
    return search;
}

} // namespace ruzez
