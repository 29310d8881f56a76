#include "keyword_search.h"

#include <QHash>

#include <array>
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
// a title, so each title's listed positions form a stack whose top is the
// row's listed position. Removed entries are only marked and are dropped
// once at the end: every step stays constant-time however many rows and
// results there are, and the outcome is that of removing from the lists
// in place.
class ResultList
{
public:
    bool isListed(const QString &title) const
    {
        const auto it = m_listed.constFind(title);
        return it != m_listed.cend() && !it->empty();
    }

    void append(const LinkRow &row)
    {
        m_listed[row.SubCategory].push_back(m_entries.size());
        m_entries.push_back(Entry{&row});
    }

    // Drops the last listed entry equal to `title`, whichever row put it there.
    void removeLast(const QString &title)
    {
        const auto it = m_listed.find(title);
        if (it == m_listed.end() || it->empty())
            return;
        m_entries[it->back()].listed = false;
        it->pop_back();
    }

    QList<SearchHit> hits() const
    {
        QList<SearchHit> result;
        for (const Entry &entry : m_entries) {
            if (entry.listed)
                result.append(SearchHit{entry.row->SubCategory, entry.row->URL});
        }
        return result;
    }

private:
    struct Entry
    {
        const LinkRow *row = nullptr;
        bool listed = true;
    };

    std::vector<Entry> m_entries;
    QHash<QString, std::vector<std::size_t>> m_listed;
};

// Case is ignored one character at a time, so É finds é but an accented
// letter never finds its plain letter.
bool describes(const LinkRow &row, const QString &word)
{
    return row.Description.contains(word, Qt::CaseInsensitive);
}

// One word over every row. `passe` is 0 for the first word of a search and
// 1 for each later word.
void cherchemot(const std::vector<LinkRow> &rows, const QString &word, SearchMode mode,
                int passe, ResultList &list)
{
    const bool anyWord = mode == SearchMode::AuMoinsUnMot;
    for (const LinkRow &row : rows) {
        const bool listed = list.isListed(row.SubCategory);
        if (anyWord && listed)
            continue;
        if (!anyWord && !listed && passe == 1)
            continue;
        const bool found = describes(row, word);
        if (found && (anyWord || passe == 0))
            list.append(row);
        else if (!found && listed && !anyWord && passe == 1)
            list.removeLast(row.SubCategory);
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
    ResultList list;
    if (rows) {
        int passe = 0;
        for (const QString &word : splitKeywords(keywords)) {
            cherchemot(*rows, word, mode, passe, list);
            passe = 1;
        }
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
