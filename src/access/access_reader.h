#pragma once

// The reading itself, private to AccessFile. Its parts follow the format's own: pages and usage
// maps (access_pages.cpp), rows (access_rows.cpp), long values (access_long_values.cpp).

#include "access/access_file.h"
#include "access/access_layout.h"
#include "access/page_file.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

namespace ruzez::access {

// What one read of a table has used. Each long-value record and each relocated row may serve
// one value or one row: a damaged file whose rows share them cannot make the read repeat a
// walk or multiply its output. The text the read decodes is bounded by the file's size.
class ReadBudget
{
public:
    ReadBudget(qint64 fileSize, qint64 pageCount);

    // Marks the record (page, slot) used; throws Damaged when it already was.
    void use(quint32 page, int slot, const char *what);
    // Counts `bytes` of decoded text; throws Damaged past the bound.
    void spend(qint64 bytes);

private:
    qint64 m_pageCount;
    qint64 m_left;
    std::vector<quint64> m_few;   // the first records used
    std::vector<quint64> m_used;  // one bit per slot of every page, allocated past those
};

class Reader
{
public:
    // Pages are read from `pages`, which must outlive the reader.
    Reader(PageFile &pages, bool jet4);

    bool jet4() const { return m_jet4; }
    qint64 fileSize() const { return m_pages->size(); }
    qint64 pageCount() const { return m_pageCount; }

    // Pages and usage maps. A page's bytes are valid until the next page() (see PageFile).
    Bytes page(quint32 number) const;
    // The bytes of slot `slot` of a page, whatever its flags.
    Bytes slot(const Bytes &page, int slot, quint16 *flags) const;
    // The definition of the table `name`, once `onColumns` accepted its columns.
    TableDefinition table(const QString &name, const AccessFile::ColumnsSink &onColumns) const;
    // The table's data pages in the order of its usage map.
    std::vector<quint32> dataPages(const TableDefinition &def) const;
    static int columnIndex(const TableDefinition &def, const QString &name);
    // Why the reader cannot write the column's values as text; empty when it can.
    static QString unreadable(const Column &column);

    // Rows. Where a row's bytes are: its page and its slot there, as one number.
    static quint64 location(quint32 page, int slot) { return quint64(page) << 16 | quint64(slot); }
    // The row's bytes, copied: valid until the next rowAt(), whatever pages are read meanwhile.
    Bytes rowAt(quint64 where) const;
    // Every row of the table in stored order, with its location; the row's bytes stay valid
    // while the sink reads other pages.
    using RowSink = std::function<void(quint64 where, const Bytes &row)>;
    void forEachRow(const TableDefinition &def, ReadBudget &budget, const RowSink &sink) const;
    // The row's values in column order, checked against the row's bounds; columns the
    // definition does not want are left null.
    void values(const TableDefinition &def, const Bytes &row, std::vector<Value> &out) const;
    // A value as text; `gathered` holds a long value's bytes when they are not in one place.
    QString text(const Column &column, const Value &value, ReadBudget &budget,
                 QByteArray &gathered) const;
    // Checks the value as text() would read it, without writing it.
    void check(const Column &column, const Value &value, ReadBudget &budget,
               QByteArray &gathered) const;
    // The stored bytes of a text or memo value: in the file, or gathered into `gathered`.
    QByteArrayView textBytes(const Column &column, const Value &value, ReadBudget &budget,
                             QByteArray &gathered) const;

    // Long values: a memo's bytes, inline, in one long-value record, or in a chain of them.
    QByteArrayView longValue(const Bytes &field, ReadBudget &budget, QByteArray &gathered) const;

private:
    TableDefinition definition(quint32 pageNumber) const;
    Bytes rowAtPointer(quint32 pointer, ReadBudget &budget, const char *what) const;
    QString fixedText(const Column &c, const Bytes &bytes) const;

    PageFile *m_pages;
    bool m_jet4 = false;
    Layout m_layout;
    qint64 m_pageCount = 0;
    mutable std::vector<qint64> m_offsets;  // one row's value offsets, kept to spare allocations
    mutable std::vector<uchar> m_moved;     // a relocated row, copied off its page
    mutable std::vector<uchar> m_located;   // the row rowAt() found
};

} // namespace ruzez::access
