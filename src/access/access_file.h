#pragma once

#include "access/file_bytes.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
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

namespace access {
class FileBytes;
class LargeBuffer;
class Reader;
struct TableDefinition;
}

// A table's rows located in an open AccessFile, which must outlive it. A value is decoded when
// asked for, the same text readTable() gives.
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

    // The same text, viewed where it is stored as Latin-1 (compressed Jet4 text), else decoded
    // into `buffer`. The columns kept when the table was located are found without reading
    // their row again.
    QAnyStringView text(std::size_t row, int column, QString &buffer) const;

    // The same text where it is held one byte per character, Latin-1 or windows-1252
    // (`windows1252` says which), for a reader that compares it as it lies; a null view where
    // it is held otherwise, and text() is to be asked.
    QByteArrayView oneByteText(std::size_t row, int column, bool *windows1252) const;

    // Row by row, where the stored text of each kept column lies: in the file, or for a long
    // value gathered from several records, in m_gathered.
    struct Place
    {
        enum Kind : quint8 { Null, Latin1, Windows1252, Encoded, Elsewhere };
        quint32 offset = 0;
        quint32 size = 0;
        Kind kind = Null;
        bool gathered = false;  // in m_gathered rather than the file
        bool decoded = false;   // in m_decoded rather than the file
    };

private:
    friend class AccessFile;
    struct Located;
    std::unique_ptr<Located> m_located;
    template<typename T>
    using LargeList = std::vector<T, access::LargePageAllocator<T>>;
    LargeList<quint64> m_rows;  // where each row's bytes are, as the reader names them
    std::vector<int> m_keptColumns;
    std::vector<int> m_keptAt;  // column -> its place among the kept, or -1
    LargeList<Place> m_places;
    QByteArray m_gathered;
    std::unique_ptr<access::LargeBuffer> m_decoded;  // texts decoded once, one byte per character
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

    // Only a regular file of at most 2 GB is opened, and read whole; see FileBytes.
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

    // The table's rows found and checked as readTable() checks them, their values left in the
    // file until asked for: for readers that look at a few values of many rows and need not
    // hold the table decoded. The texts of `keptColumns` (names, case ignored), which the
    // reader means to visit often, are found once here. With KeptText::OneByte, those that need
    // decoding are decoded once into a copy one byte per character, where windows-1252 holds
    // them, so that they are compared without decoding again (the copy costs at most the size
    // of those texts as stored). False, with the reason in `error`, where readTable() fails.
    enum class KeptText { AsStored, OneByte };
    bool locateTable(const QString &name, const ColumnsSink &onColumns,
                     const QStringList &keptColumns, StoredTable *table, QString *error,
                     KeptText keptText = KeptText::AsStored) const;

    bool isJet4() const { return m_jet4; }

private:
    template<typename Read>
    bool guarded(QString *error, const Read &read) const;

    std::unique_ptr<access::FileBytes> m_file;
    QByteArray m_bytes;  // the file's bytes, owned or viewed in m_file
    bool m_jet4 = false;
    qint64 m_pageCount = 0;
};

} // namespace ruzez
