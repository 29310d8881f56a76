#include "search/links_table.h"

#include "search/access_file.h"

#include <utility>

namespace ruzez {

LinksTable::LinksTable(QString databasePath)
    : m_databasePath(std::move(databasePath))
{
}

std::optional<std::vector<LinkRow>> LinksTable::rows(QString *error) const
{
    if (m_databasePath.isEmpty()) {
        if (error)
            *error = QStringLiteral("no database path is set");
        return std::nullopt;
    }
    AccessFile file;
    if (!file.open(m_databasePath, error))
        return std::nullopt;
    std::optional<AccessTable> table = file.readTable(QString::fromLatin1(kTableName), error);
    if (!table)
        return std::nullopt;

    // The fields are found by name, whatever their place; other fields are ignored.
    const char *names[] = {"LinkID", "URL", "SubCategory", "Description"};
    int at[4] = {};
    for (int i = 0; i < 4; ++i) {
        at[i] = -1;
        for (qsizetype c = 0; c < table->columns.size() && at[i] < 0; ++c)
            if (table->columns[c].compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
                at[i] = int(c);
        if (at[i] < 0) {
            if (error)
                *error = QStringLiteral("table %1 has no field %2").arg(QString::fromLatin1(kTableName),
                                                                      QString::fromLatin1(names[i]));
            return std::nullopt;
        }
    }
    std::vector<LinkRow> rows;
    rows.reserve(table->rows.size());
    for (QStringList &values : table->rows)
        rows.push_back(LinkRow{std::move(values[at[0]]), std::move(values[at[1]]),
                               std::move(values[at[2]]), std::move(values[at[3]])});
    return rows;
}

} // namespace ruzez
