#include "search/links_table.h"

#include "search/access_file.h"

#include <array>
#include <utility>

namespace ruzez {

LinksTable::LinksTable(QString databasePath)
    : m_databasePath(std::move(databasePath))
{
}

bool LinksTable::forEachRow(const std::function<void(LinkRow &&)> &onRow, QString *error) const
{
    if (m_databasePath.isEmpty()) {
        if (error)
            *error = QStringLiteral("no database path is set");
        return false;
    }
    AccessFile file;
    if (!file.open(m_databasePath, error))
        return false;

    // The fields are found by name, whatever their place; other fields are ignored.
    static constexpr std::array<const char *, 4> kFields = {"LinkID", "URL", "SubCategory", "Description"};
    std::array<qsizetype, 4> at{};
    auto findFields = [&at](const QStringList &names, const QList<int> &, QString *refusal) {
        for (size_t i = 0; i < kFields.size(); ++i) {
            at[i] = -1;
            for (qsizetype c = 0; c < names.size() && at[i] < 0; ++c)
                if (names[c].compare(QLatin1String(kFields[i]), Qt::CaseInsensitive) == 0)
                    at[i] = c;
            if (at[i] < 0) {
                *refusal = QStringLiteral("table %1 has no field %2")
                               .arg(QLatin1String(kTableName), QLatin1String(kFields[i]));
                return false;
            }
        }
        return true;
    };
    auto takeRow = [&](QStringList &values) {
        onRow(LinkRow{std::move(values[at[0]]), std::move(values[at[1]]), std::move(values[at[2]]),
                      std::move(values[at[3]])});
    };
    return file.readTable(QLatin1String(kTableName), findFields, takeRow, error);
}

std::optional<std::vector<LinkRow>> LinksTable::rows(QString *error) const
{
    std::vector<LinkRow> rows;
    if (!forEachRow([&rows](LinkRow &&row) { rows.push_back(std::move(row)); }, error))
        return std::nullopt;
    return rows;
}

} // namespace ruzez
