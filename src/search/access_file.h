#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QFile;

namespace ruzez {

// One table of an Access (Jet3 or Jet4) file, every value as text.
struct AccessTable
{
    QStringList columns;            // in column-number order
    QList<int> types;               // each column's type code in the file
    std::vector<QStringList> rows;  // in stored order; a null value reads as ""
};

class AccessFile;

// A table's rows located in an open AccessFile, which must outlive it and stay open. A value is
// decoded when asked for, the same text readTable() gives.
class StoredTable
{
public:
    StoredTable();
    ~StoredTable();
    StoredTable(const StoredTable &) = delete;
    StoredTable &operator=(const StoredTable &) = delete;

    std::size_t rowCount() const { return m_rows.size(); }

    // Value `column` of row `row` (stored order) written into `out`, whose room is reused:
    // a reader that visits many rows allocates nothing for them.
    void value(std::size_t row, int column, QString &out) const;

    // The same text, viewed in the file where it is stored as Latin-1 (compressed Jet4 text),
    // else decoded into `buffer`: no value is copied that need not be. The columns kept when
    // the table was located are found without reading their row again.
    QAnyStringView text(std::size_t row, int column, QString &buffer) const;

private:
    friend class AccessFile;
    friend class AccessReader;
    struct Located;
    std::unique_ptr<Located> m_located;
    std::vector<quint64> m_rows;  // where each row's bytes are, as the reader names them
    std::vector<int> m_keptColumns;
    // Row by row, where the text of each kept column lies in the file, when in one place. Kept
    // small: the memory a search touches first costs more than the look-up it spares.
    struct Place
    {
        static constexpr quint32 kNowhere = 0xffffffff;
        quint32 offset = 0;
        quint32 size = kNowhere;
    };
    std::vector<Place> m_places;
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
    AccessFile();
    ~AccessFile();

    // The whole file is mapped (or read) at once: every read afterwards is a
    // bounds-checked look-up in memory. Replacing the file while it is open is
    // safe (the tool writes a new file and renames it), cutting it in place is not.
    bool open(const QString &path, QString *error);
    bool openBytes(QByteArray bytes, QString *error);

    // The table named `name` (letter case ignored, as the database engine
    // does), or nullopt with the reason in `error`.
    std::optional<AccessTable> readTable(const QString &name, QString *error) const;

    // The same, a row at a time, for tables too large to hold twice. `onColumns` sees the
    // columns first and may refuse the table (its reason becomes the error); `onRow` then
    // receives each row in stored order. A damaged file can stop the read after some rows.
    using ColumnsSink = std::function<bool(const QStringList &names, const QList<int> &types,
                                           QString *refusal)>;
    using RowSink = std::function<void(QStringList &values)>;
    bool readTable(const QString &name, const ColumnsSink &onColumns, const RowSink &onRow,
                   QString *error) const;

    // The table's rows found and checked as readTable() checks them, their values left in the
    // file until asked for: for readers that look at a few values of many rows and need not
    // hold the table decoded. The texts of `keptColumns` (names, case ignored), which the
    // reader means to visit often, are found once here. False, with the reason in `error`,
    // where readTable() fails.
    bool locateTable(const QString &name, const ColumnsSink &onColumns,
                     const QStringList &keptColumns, StoredTable *table, QString *error) const;

    bool isJet4() const { return m_jet4; }

private:
    friend class AccessReader;
    template<typename Read>
    bool guarded(QString *error, const Read &read) const;

    std::unique_ptr<QFile> m_mapping;  // keeps the mapped file open while m_bytes points into it
    QByteArray m_bytes;
    bool m_jet4 = false;
    int m_pageSize = 0;
    qint64 m_pageCount = 0;
};

} // namespace ruzez
