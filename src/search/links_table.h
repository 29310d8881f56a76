#pragma once

#include "search/link_fields.h"
#include "search/link_row_source.h"

#include <QString>

#include <functional>
#include <memory>
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

    // The same rows handed over one at a time, for readers that need not hold the whole table.
    // False when the table cannot be read; a damaged file may stop the read after some rows.
    bool forEachRow(const std::function<void(LinkRow &&)> &onRow, QString *error = nullptr) const;

    // The table opened for a search, which reads its rows once as it visits them, checked as
    // rows() checks them, and never holds them all. Null where the file or the table cannot be
    // found (error says why); damage in the rows fails the visit instead. The file stays open
    // while the result lives.
    std::unique_ptr<LinkRows> open(QString *error = nullptr) const;

    static constexpr const char *kTableName = "LINKS";

private:
    QString m_databasePath;
};

} // namespace ruzez
