#pragma once

#include "search/link_row.h"

#include <QString>

#include <optional>
#include <vector>

namespace ruzez {

// The course's links table, `LINKS` in the Access file `environ.mdb`, read
// only. Each call reads the file afresh, as the search reads it on every run.
class LinksTable
{
public:
    explicit LinksTable(QString databasePath);

    // Rows of LINKS in stored order, four fields by name; nullopt when the file or the table cannot
    // be read (error says why).
    std::optional<std::vector<LinkRow>> rows(QString *error = nullptr) const;

    static constexpr const char *kTableName = "LINKS";

private:
    QString m_databasePath;
};

} // namespace ruzez
