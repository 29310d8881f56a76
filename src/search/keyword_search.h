#pragma once

#include "search/link_fields.h"
#include "search/link_row_source.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

namespace ruzez {

// Replaces the twelve lower-case accented vowels é è ê ë ù ô ö â à ü î ï by
// their plain letters, one character for one; everything else (capitals,
// û, ç, œ, spaces) stays as typed.
QString nettoiquest(const QString &text);

// The text with leading and trailing space characters (U+0020 only)
// removed; tabs and other blanks are part of the text.
QString trimSpaces(const QString &text);

// The keywords of a trimmed text, in typed order: only the space character
// separates them, and a run of spaces is one separator.
QStringList splitKeywords(const QString &text);

enum class SearchMode {
    AuMoinsUnMot, // any word: the union, each title listed once
    TousLesMots,  // all words: the intersection
};

// One listed result: the page's title (SubCategory) and its address (URL).
struct SearchHit
{
    QString title;
    QString address;

    friend bool operator==(const SearchHit &, const SearchHit &) = default;
};

// Looks every keyword of `keywords` (already normalised and trimmed) up in
// the descriptions of `rows`, visited in stored order, and returns the
// listed results in list order. A null `rows` is a table that could not be
// opened, and a table whose rows cannot be read (`error` says why): nothing
// is found.
QList<SearchHit> searchLinks(const LinkRows *rows, const QString &keywords, SearchMode mode,
                             QString *error = nullptr);

// "Une page trouvée", "N pages trouvées" or "Aucune page trouvée".
QString resultMessage(qsizetype count);

inline constexpr auto kSearchRunning = "Recherche en cours...";

// A whole search as the keyword box runs it: normalise the box, stop when
// it is blank, otherwise trim it, search and word the result.
struct KeywordSearch
{
    QString keywords;      // the box's text afterwards
    bool ran = false;      // false: the box was blank and nothing else changes
    QString message;       // empty when the search did not run
    QList<SearchHit> hits; // in list order
};

KeywordSearch keywordSearch(const LinkRows *rows, const QString &boxText, SearchMode mode,
                            QString *error = nullptr);

// True when the box holds nothing but spaces once normalised.
bool isBlankKeywords(const QString &boxText);

} // namespace ruzez
