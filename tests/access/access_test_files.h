#pragma once

#include "access/access_file.h"
#include "access/jet_writer.h"
#include "search/link_fields.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ruzez::test {

// What the reader made of the file's head.
struct AccessFileProbe
{
    static bool isJet4(const AccessFile &file) { return file.m_jet4; }
};

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
