#pragma once

#include <QByteArrayView>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ruzez {

namespace test {
struct AccessFileProbe;
}

// One table of an Access (Jet3 or Jet4) file, every value as text.
struct AccessTable
{
    QStringList columns;            // in column-number order
    QList<int> types;               // each column's type code in the file
    std::vector<QStringList> rows;  // in stored order; a null value reads as ""
};

namespace access {
class PageFile;
class Reader;
struct TableDefinition;
}

// A table located in an open AccessFile, which must outlive it, for a reader that goes over its
// rows once and then comes back to a few of their values: the definition is read when the table
// is located, the rows when scan() asks for them, and no more of the file is held than a few
// pages.
class StoredTable
{
public:
    StoredTable();
    ~StoredTable();
    StoredTable(const StoredTable &) = delete;
    StoredTable &operator=(const StoredTable &) = delete;

    // One text of a row as scan() hands it out: one byte per character where Latin-1 or
    // windows-1252 holds it (`oneByte` not null; `windows1252` says which), else decoded into
    // `text`. A null value is an empty text. Valid during the call only.
    struct Text
    {
        QByteArrayView oneByte;
        bool windows1252 = false;
        QStringView text;
    };
    // A row's location, as value() takes it, and its kept columns' texts, in the order the
    // columns were named when the table was located.
    using RowSink = std::function<void(quint64 where, const Text *texts)>;

    // Every row in stored order, found and checked as readTable() checks it. False, with the
    // reason in `error`, where readTable() fails: the rows handed out before are then to be
    // dropped. Nothing thrown inside, by the reader or by `onRow`, leaves.
    bool scan(const RowSink &onRow, QString *error) const;

    // The rows the table's definition states, within what the file could hold: a hint for
    // room, not a count to trust.
    std::size_t rowCountHint() const;

    // Value `column` of the row at `where` (as scan() named it) written into `out`, whose room
    // is reused; empty where it cannot be read (a file changed since it was scanned).
    void value(quint64 where, int column, QString &out) const;

private:
    friend class AccessFile;
    struct Located;
    std::unique_ptr<Located> m_located;
};

// A bounded reader of Access files (Jet3, Jet4 and later) written against the page layout
// itself. Every offset, length and page number read from the file is checked before use; each
// long-value record and each relocated row serves at most one value or row of a read, and the
// text a read decodes is bounded by the file's size. So a damaged file yields an error or its
// readable rows, never a crash, a hang or a read that outgrows memory; no exception leaves it.
//
// Stored order: data pages in the order of the table's page usage map, on each page its row
// slots in order. A deleted slot is skipped; a slot that points to a row Access relocated to
// another page yields that row at the slot's place, and the relocated copy (itself flagged
// deleted) is not delivered twice.
class AccessFile
{
public:
    AccessFile();
    ~AccessFile();

    // Only a regular file of at most 2 GB is opened; its pages are read as they are needed,
    // and it stays open until the AccessFile is destroyed. See PageFile.
    bool open(const QString &path, QString *error);
    bool openBytes(QByteArray bytes, QString *error);

    // The table named `name` (letter case ignored, as the database engine
    // does), or nullopt with the reason in `error`.
    std::optional<AccessTable> readTable(const QString &name, QString *error) const;

    // A table's columns as a reader sees them before its rows. `wanted` starts all true; a
    // reader clears the columns it does not need: they read as null, and are neither decoded
    // nor checked.
    struct Columns
    {
        QStringList names;
        QList<int> types;
        std::vector<bool> wanted;
    };

    // The same, a row at a time, for tables too large to hold twice. `onColumns` sees the
    // columns first and may refuse the table (its reason becomes the error); `onRow` then
    // receives each row in stored order.
    using ColumnsSink = std::function<bool(Columns &columns, QString *refusal)>;
    using RowSink = std::function<void(QStringList &values)>;
    bool readTable(const QString &name, const ColumnsSink &onColumns, const RowSink &onRow,
                   QString *error) const;

    // The table located for a reader that scans its rows once and comes back to a few values
    // (see StoredTable); the texts of `keptColumns` (names, case ignored; one not in the table
    // reads as null) are those scan() hands out. False, with the reason in `error`, where the
    // table cannot be found or its columns are refused, as readTable() refuses them.
    bool locateTable(const QString &name, const ColumnsSink &onColumns,
                     const QStringList &keptColumns, StoredTable *table, QString *error) const;

private:
    friend struct test::AccessFileProbe;

    bool openPages(std::unique_ptr<access::PageFile> pages, QString *error);
    template<typename Read>
    bool guarded(QString *error, const Read &read) const;

    std::unique_ptr<access::PageFile> m_pages;
    bool m_jet4 = false;
    qint64 m_pageCount = 0;
};

} // namespace ruzez
