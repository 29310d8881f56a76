#pragma once

#include "search/keyword_search.h"
#include "search/link_row_source.h"

#include <cstddef>
#include <vector>

namespace ruzez {

// The search over rows a test holds in memory; a null table is one that
// could not be read, whichever form it would have had.
inline QList<SearchHit> searchLinks(const std::vector<LinkRow> *rows, const QString &keywords,
                                    SearchMode mode)
{
    if (!rows)
        return {};
    const LinkRowList list(*rows);
    return searchLinks(&list, keywords, mode);
}

inline KeywordSearch keywordSearch(const std::vector<LinkRow> *rows, const QString &boxText,
                                   SearchMode mode)
{
    if (!rows)
        return keywordSearch(static_cast<const LinkRows *>(nullptr), boxText, mode);
    const LinkRowList list(*rows);
    return keywordSearch(&list, boxText, mode);
}

inline KeywordSearch keywordSearch(std::nullptr_t, const QString &boxText, SearchMode mode)
{
    return keywordSearch(static_cast<const LinkRows *>(nullptr), boxText, mode);
}

} // namespace ruzez
