#pragma once

#include "access/jet_writer.h"
#include "search/link_row.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ruzez::test {

// A links database as the course authors' tool writes it.
JetWriter linksWriter();
QByteArray linksDatabase(const std::vector<LinkRow> &rows,
                         const std::vector<JetWriter::Placement> &placements = {});
QStringList fields(const LinkRow &row);

// `mdb-export FILE TABLE`, parsed: libmdb's reading of the file, written by
// others, so it checks our files independently. nullopt when the tool fails
// or is not installed (skipped is the caller's choice).
std::optional<std::vector<QStringList>> mdbExport(const QString &path, const QString &table);
bool haveMdbExport();

} // namespace ruzez::test
