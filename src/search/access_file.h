#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ruzez {

// One table of an Access (Jet3 or Jet4) file, every value as text.
struct AccessTable
{
    QStringList columns;            // in column-number order
    QList<int> types;               // each column's type code in the file
    std::vector<QStringList> rows;  // in stored order; a null value reads as ""
};

// A bounded reader of Access files written against the page layout itself.
// Every offset, length and page number read from the file is checked before
// use, every chain (table definition pages, memo pages, relocated rows) is
// bounded, so a damaged file yields an error, never a crash or a hang.
//
// Stored order: data pages in the order of the table's page usage map, on
// each page its row slots in order. A deleted slot is skipped; a slot that
// points to a row Access relocated to another page yields that row at the
// slot's place, and the relocated copy (itself flagged deleted) is not
// delivered twice.
class AccessFile
{
public:
    // The whole file is read at once: the links database is small and every
    // read afterwards is then a bounds-checked look-up in memory.
    bool open(const QString &path, QString *error);
    bool openBytes(QByteArray bytes, QString *error);

    // The table named `name` (letter case ignored, as the database engine
    // does), or nullopt with the reason in `error`.
    std::optional<AccessTable> readTable(const QString &name, QString *error) const;

    bool isJet4() const { return m_jet4; }

private:
    friend class AccessReader;
    QByteArray m_bytes;
    bool m_jet4 = false;
    int m_pageSize = 0;
    qint64 m_pageCount = 0;
};

} // namespace ruzez
