#include "search/access_file.h"

#include "search/access_layout.h"
#include "search/access_text.h"

#include <QDateTime>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <utility>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace ruzez {

using namespace access;

namespace {

struct Column
{
    QString name;
    int type = 0;
    int number = 0;       // position in the null mask
    int varIndex = 0;     // position in the row's variable-length offset table
    int fixedOffset = 0;  // position among the fixed-length bytes
    int size = 0;
    bool fixed = false;
};

struct TableDefinition
{
    std::vector<Column> columns;
    quint32 page = 0;
    int numVarCols = 0;
    quint32 rowCount = 0;  // as the definition states it: a hint, not trusted
    QByteArray usageMap;
};

} // namespace

// The reading itself; kept out of the header so the format details stay here.
class AccessReader
{
public:
    explicit AccessReader(const AccessFile &file)
        : m_file(file), m_layout(file.m_jet4 ? kJet4 : kJet3) {}

    void read(const QString &name, const AccessFile::ColumnsSink &onColumns,
              const AccessFile::RowSink &onRow) const
    {
        forEachRow(table(name, onColumns), onRow);
    }

    // Finds and checks every row of the table, keeping where each one is and, for the
    // columns named in `kept`, where each row's text lies when it lies in one place.
    TableDefinition locate(const QString &name, const AccessFile::ColumnsSink &onColumns,
                           const QStringList &kept, std::vector<quint64> &rows,
                           std::vector<StoredTable::Place> &places, std::vector<int> &keptColumns) const
    {
        TableDefinition def = table(name, onColumns);
        for (const QString &column : kept)
            keptColumns.push_back(columnIndex(def, column));
        // Room for the rows the definition states, within what the file could hold: growing
        // the lists row by row would touch their memory several times over.
        const std::size_t expected = std::min<std::size_t>(def.rowCount, std::size_t(m_file.m_bytes.size() / 16));
        rows.reserve(expected);
        places.reserve(expected * keptColumns.size());
        forEachStoredRow(def, [&](quint64 where, const Bytes &row) {
            check(def, row, keptColumns, places);
            rows.push_back(where);
        });
        return def;
    }

    // Whether `bytes` are a view into the file (not bytes gathered elsewhere).
    bool inFile(QByteArrayView bytes) const
    {
        const quintptr begin = quintptr(m_file.m_bytes.constData());
        const quintptr at = quintptr(bytes.data());
        return at >= begin && at - begin <= quintptr(m_file.m_bytes.size())
            && quintptr(bytes.size()) <= quintptr(m_file.m_bytes.size()) - (at - begin);
    }

    // Where `bytes` lie in the file, in the kept lists' terms; nowhere when they are not a
    // view into it.
    StoredTable::Place place(QByteArrayView bytes) const
    {
        StoredTable::Place at;
        if (!bytes.data() || !inFile(bytes))
            return at;
        const quint64 offset = quint64(bytes.data() - m_file.m_bytes.constData());
        if (offset < StoredTable::Place::kNowhere && quint64(bytes.size()) < StoredTable::Place::kNowhere) {
            at.offset = quint32(offset);
            at.size = quint32(bytes.size());
        }
        return at;
    }

    QAnyStringView textView(StoredTable::Place at, QString &buffer) const
    {
        const QByteArrayView bytes(m_file.m_bytes.constData() + at.offset, qsizetype(at.size));
        return jetTextView(bytes, m_file.m_jet4, buffer);
    }

    // Value `column` of the row at `where`, as crack() gives it, written into `out`.
    void valueInto(const TableDefinition &def, quint64 where, std::size_t column, QString &out) const
    {
        // Each value is read on its own, so each memo gets the whole file as its bound.
        m_memoBudget = m_file.m_bytes.size();
        const Bytes row = rowAt(where);
        forEachValue(def, row, [&](std::size_t index, const Column &c, const Value &v) {
            if (index != column)
                return;
            if (v.kind == Value::Variable && c.type == kText)
                textInto(v.field.slice(0, v.field.size), out);
            else if (v.kind == Value::Variable && c.type == kMemo)
                textInto(memo(v.field, m_gathered), out);
            else
                out = valueText(c, v, row);
        });
    }

    // The same value as text viewed where it is stored when it is Latin-1, else decoded into
    // `buffer`. A memo gathered from several pages is decoded, as its bytes do not stay.
    QAnyStringView textAt(const TableDefinition &def, quint64 where, std::size_t column,
                          QString &buffer) const
    {
        m_memoBudget = m_file.m_bytes.size();
        const Bytes row = rowAt(where);
        QAnyStringView text;
        bool viewed = false;
        forEachValue(def, row, [&](std::size_t index, const Column &c, const Value &v) {
            if (index != column || v.kind != Value::Variable)
                return;
            if (c.type == kText) {
                text = jetTextView(v.field.slice(0, v.field.size), m_file.m_jet4, buffer);
                viewed = true;
            } else if (c.type == kMemo) {
                const QByteArrayView bytes = memo(v.field, m_gathered);
                if (inFile(bytes)) {
                    text = jetTextView(bytes, m_file.m_jet4, buffer);
                    viewed = true;
                }
            }
        });
        if (viewed)
            return text;
        valueInto(def, where, column, buffer);
        return buffer;
    }

private:
    // The definition of the table `name`, once `onColumns` accepted its columns.
    TableDefinition table(const QString &name, const AccessFile::ColumnsSink &onColumns) const
    {
        const TableDefinition catalog = definition(kCatalogPage);
        const int idColumn = columnIndex(catalog, QStringLiteral("Id"));
        const int nameColumn = columnIndex(catalog, QStringLiteral("Name"));
        const int typeColumn = columnIndex(catalog, QStringLiteral("Type"));
        if (idColumn < 0 || nameColumn < 0 || typeColumn < 0)
            throw Damaged{QStringLiteral("the catalog lacks its Id, Name or Type column")};
        std::optional<quint32> tablePage;
        forEachRow(catalog, [&](QStringList &entry) {
            constexpr int kTableObject = 1;
            if (!tablePage && (entry[typeColumn].toInt() & 0x7f) == kTableObject
                && entry[nameColumn].compare(name, Qt::CaseInsensitive) == 0)
                tablePage = entry[idColumn].toUInt() & 0x00ffffff;
        });
        if (!tablePage)
            throw Damaged{QStringLiteral("no table %1 in the database").arg(name), false};
        TableDefinition table = definition(*tablePage);
        QStringList names;
        QList<int> types;
        for (const Column &column : table.columns) {
            names << column.name;
            types << column.type;
        }
        QString refusal;
        if (!onColumns(names, types, &refusal))
            throw Damaged{refusal, false};
        return table;
    }

    Bytes page(quint32 number) const
    {
        if (number >= quint64(m_file.m_pageCount))
            throw Damaged{QStringLiteral("page %1 lies beyond the end of the file").arg(number)};
        return {reinterpret_cast<const uchar *>(m_file.m_bytes.constData())
                    + qint64(number) * m_layout.pageSize,
                m_layout.pageSize};
    }

    // The bytes of row `row` on page `pageNumber`, whatever its flags.
    std::pair<Bytes, qint64> slotBounds(const Bytes &p, int row, quint16 *flags) const
    {
        const int count = p.u16(m_layout.rowCountOffset);
        if (row >= count)
            throw Damaged{QStringLiteral("a row pointer names a missing row")};
        const qint64 table = m_layout.rowCountOffset + 2;
        const quint16 raw = p.u16(table + 2 * row);
        const qint64 start = raw & kOffsetMask;
        const qint64 end = row == 0 ? m_layout.pageSize : p.u16(table + 2 * (row - 1)) & kOffsetMask;
        *flags = raw & ~kOffsetMask;
        if (start < table + 2 * count || end > m_layout.pageSize || start > end)
            throw Damaged{QStringLiteral("a row's bounds are inconsistent")};
        return {Bytes{p.data + start, end - start}, start};
    }

    // The row a Jet row pointer (page << 8 | slot) names.
    Bytes rowAtPointer(quint32 pointer) const { return rowAt(location(pointer >> 8, pointer & 0xff)); }

    TableDefinition definition(quint32 pageNumber) const
    {
        // A long definition continues on further pages, each after an 8-byte header.
        QByteArray bytes;
        quint32 next = pageNumber;
        QSet<quint32> seen;
        while (next != 0) {
            if (seen.contains(next) || seen.size() >= kMaxDefinitionPages)
                throw Damaged{QStringLiteral("the table definition pages loop")};
            seen.insert(next);
            const Bytes p = page(next);
            constexpr quint8 kDefinitionPage = 0x02;
            if (p.u8(0) != kDefinitionPage)
                throw Damaged{QStringLiteral("page %1 is not a table definition").arg(next)};
            const QByteArrayView v = p.slice(0, p.size);
            bytes.append(bytes.isEmpty() ? v : v.sliced(8));
            next = p.u32(4);
        }
        const Bytes d{reinterpret_cast<const uchar *>(bytes.constData()), bytes.size()};
        const Layout &l = m_layout;
        TableDefinition def;
        def.page = pageNumber;
        def.numVarCols = d.u16(l.numVarColsOffset);
        def.rowCount = d.u32(l.numRowsOffset);
        const int numCols = d.u16(l.numColsOffset);
        const quint32 numRealIdx = d.u32(l.numRealIdxOffset);
        if (numCols > kMaxColumns || numRealIdx > quint32(bytes.size()))
            throw Damaged{QStringLiteral("the table definition is damaged")};
        qint64 pos = l.colsStartOffset + qint64(numRealIdx) * l.realIdxEntrySize;
        for (int i = 0; i < numCols; ++i, pos += l.colEntrySize) {
            Column c;
            c.type = d.u8(pos);
            c.number = d.u16(pos + l.colNumOffset);
            c.varIndex = d.u16(pos + l.varIndexOffset);
            c.fixed = d.u8(pos + l.flagsOffset) & 0x01;
            c.fixedOffset = d.u16(pos + l.fixedOffsetOffset);
            c.size = d.u16(pos + l.sizeOffset);
            def.columns.push_back(c);
        }
        for (Column &c : def.columns) {
            const int length = m_file.m_jet4 ? d.u16(pos) : d.u8(pos);
            pos += m_file.m_jet4 ? 2 : 1;
            c.name = text(d.slice(pos, length));
            pos += length;
        }
        std::stable_sort(def.columns.begin(), def.columns.end(),
                         [](const Column &a, const Column &b) { return a.number < b.number; });
        const quint32 mapPointer = d.u32(l.usageMapOffset);
        const Bytes map = rowAtPointer(mapPointer);
        def.usageMap = QByteArray(reinterpret_cast<const char *>(map.data), map.size);
        return def;
    }

    static int columnIndex(const TableDefinition &def, const QString &name)
    {
        for (size_t i = 0; i < def.columns.size(); ++i)
            if (def.columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }

    // The table's pages in the order of its usage map.
    std::vector<quint32> dataPages(const TableDefinition &def) const
    {
        const Bytes map{reinterpret_cast<const uchar *>(def.usageMap.constData()), def.usageMap.size()};
        if (map.size < 1)
            throw Damaged{QStringLiteral("the table's page map is empty")};
        std::vector<quint32> pages;
        auto addBits = [&](const Bytes &bits, qint64 from, quint64 firstPage) {
            for (qint64 i = from; i < bits.size; ++i) {
                const quint8 byte = bits.data[i];
                for (int bit = 0; byte && bit < 8; ++bit) {
                    if (!(byte & (1 << bit)))
                        continue;
                    const quint64 number = firstPage + quint64(i - from) * 8 + bit;
                    if (number >= quint64(m_file.m_pageCount))
                        throw Damaged{QStringLiteral("the page map names pages beyond the end of the file")};
                    pages.push_back(quint32(number));
                }
            }
        };
        if (map.u8(0) == 0) {
            addBits(map, 5, map.u32(1));
        } else if (map.u8(0) == 1) {
            const quint64 perMapPage = quint64(m_layout.pageSize - 4) * 8;
            for (qint64 j = 0; 1 + 4 * j + 4 <= map.size; ++j) {
                const quint32 mapPage = map.u32(1 + 4 * j);
                if (mapPage == 0)
                    continue;
                const Bytes p = page(mapPage);
                if (p.u8(0) != 0x05)
                    throw Damaged{QStringLiteral("the page map points to a page of another kind")};
                addBits(p, 4, quint64(j) * perMapPage);
            }
        } else {
            throw Damaged{QStringLiteral("the table's page map is of an unknown kind")};
        }
        return pages;
    }

    // Where a row's bytes are: its page and its slot there. A relocated row is named by the
    // place its bytes moved to.
    static quint64 location(quint32 page, int slot) { return quint64(page) << 16 | quint64(slot); }

    Bytes rowAt(quint64 where) const
    {
        quint16 flags = 0;
        return slotBounds(page(quint32(where >> 16)), int(where & 0xffff), &flags).first;
    }

    // Every row of the table in stored order, with its location, as `sink(location, bytes)`.
    template<typename Sink>
    void forEachStoredRow(const TableDefinition &def, const Sink &sink) const
    {
        const qint64 slotTable = m_layout.rowCountOffset + 2;
        for (quint32 number : dataPages(def)) {
            const Bytes p = page(number);
            constexpr quint8 kDataPage = 0x01;
            if (p.u8(0) != kDataPage || p.u32(4) != def.page)
                continue;  // a page the map still lists but that no longer holds this table
            const int count = p.u16(m_layout.rowCountOffset);
            p.need(slotTable, 2 * qint64(count));
            for (int i = 0; i < count; ++i) {
                if (p.u16(slotTable + 2 * i) & kDeletedRow)
                    continue;
                quint16 flags = 0;
                quint64 where = location(number, i);
                Bytes row = slotBounds(p, i, &flags).first;
                for (int hop = 0; flags & kRelocatedRow; ++hop) {
                    if (hop == kMaxRelocationHops)
                        throw Damaged{QStringLiteral("relocated rows point at each other")};
                    const quint32 pointer = row.u32(0);
                    where = location(pointer >> 8, pointer & 0xff);
                    row = slotBounds(page(pointer >> 8), pointer & 0xff, &flags).first;
                    // The relocated copy is flagged deleted as well, so that a walk over the
                    // slots passes it by; only a bare relocation flag points further.
                    if (flags & kDeletedRow)
                        flags = 0;
                }
                sink(where, row);
            }
        }
    }

    template<typename Sink>
    void forEachRow(const TableDefinition &def, const Sink &sink) const
    {
        forEachStoredRow(def, [&](quint64, const Bytes &row) {
            QStringList values = crack(def, row);
            sink(values);
        });
    }

    // Splits a row into its values.
    QStringList crack(const TableDefinition &def, const Bytes &row) const
    {
        QStringList values;
        values.reserve(int(def.columns.size()));
        forEachValue(def, row, [&](std::size_t, const Column &c, const Value &v) {
            values << valueText(c, v, row);
        });
        return values;
    }

    // Checks a row as crack() does, decoding nothing that cannot be damaged (text). Appends
    // to `places` where the bytes of each text column of `kept` lie, when in one place in the
    // file, else nowhere.
    void check(const TableDefinition &def, const Bytes &row, const std::vector<int> &kept,
               std::vector<StoredTable::Place> &places) const
    {
        const std::size_t first = places.size();
        places.resize(first + kept.size());
        forEachValue(def, row, [&](std::size_t index, const Column &c, const Value &v) {
            QByteArrayView bytes;
            if (v.kind == Value::Fixed) {
                row.need(v.at, fixedSize(c));  // what fixedValue() reads
            } else if (v.kind == Value::Variable && c.type == kMemo) {
                bytes = memo(v.field, m_gathered);
            } else if (v.kind == Value::Variable && c.type == kText) {
                bytes = v.field.slice(0, v.field.size);
            }
            for (std::size_t k = 0; k < kept.size(); ++k) {
                if (kept[k] == int(index))
                    places[first + k] = place(bytes);
            }
        });
    }

    // One value of a row, located but not decoded.
    struct Value
    {
        enum Kind { Null, False, True, Fixed, Variable } kind = Null;
        qint64 at = 0;  // Fixed: where its bytes start in the row
        Bytes field;    // Variable: its bytes
    };

    // Walks a row's values in column order, checking the row's structure on the way.
    template<typename Take>
    void forEachValue(const TableDefinition &def, const Bytes &row, const Take &take) const
    {
        const bool jet4 = m_file.m_jet4;
        const qint64 end = row.size;
        const int rowCols = jet4 ? row.u16(0) : row.u8(0);
        const qint64 maskSize = (rowCols + 7) / 8;
        row.need(end - maskSize, maskSize);
        const uchar *mask = row.data + end - maskSize;
        auto present = [&](int n) { return n < rowCols && (mask[n / 8] & (1 << (n % 8))); };

        int rowVarCols = 0;
        std::vector<qint64> &offsets = m_offsets;
        offsets.clear();
        if (def.numVarCols > 0) {
            if (jet4) {
                rowVarCols = row.u16(end - maskSize - 2);
                for (int i = 0; i <= rowVarCols; ++i)
                    offsets.push_back(row.u16(end - maskSize - 4 - 2 * i));
            } else {
                rowVarCols = row.u8(end - maskSize - 1);
                // Offsets are single bytes; a jump table counts the 256-byte boundaries passed.
                int jumps = int((end - 1) / 256);
                const qint64 colPtr = end - 1 - maskSize - jumps - 1;
                if ((colPtr - rowVarCols) / 256 < jumps)
                    --jumps;
                int used = 0;
                for (int i = 0; i <= rowVarCols; ++i) {
                    while (used < jumps && i == row.u8(end - 1 - maskSize - used - 1))
                        ++used;
                    offsets.push_back(row.u8(colPtr - i) + 256 * used);
                }
            }
        }

        const qint64 fixedStart = jet4 ? 2 : 1;
        for (std::size_t index = 0; index < def.columns.size(); ++index) {
            const Column &c = def.columns[index];
            Value v;
            if (c.type == kBool) {
                v.kind = present(c.number) ? Value::True : Value::False;
            } else if (!present(c.number)) {
                v.kind = Value::Null;
            } else if (c.fixed) {
                v.kind = Value::Fixed;
                v.at = fixedStart + c.fixedOffset;
            } else if (c.varIndex < rowVarCols) {
                const qint64 from = offsets[c.varIndex];
                const qint64 to = offsets[c.varIndex + 1];
                if (from > to)
                    throw Damaged{QStringLiteral("a row's value offsets are inconsistent")};
                row.need(from, to - from);
                v.kind = Value::Variable;
                v.field = Bytes{row.data + from, to - from};
            }
            take(index, c, v);
        }
    }

    QString valueText(const Column &c, const Value &v, const Bytes &row) const
    {
        switch (v.kind) {
        case Value::False: return QStringLiteral("0");
        case Value::True: return QStringLiteral("1");
        case Value::Fixed: return fixedValue(c, row, v.at);
        case Value::Variable: return varValue(c, v.field);
        case Value::Null: break;
        }
        return QString();
    }

    static qint64 fixedSize(const Column &c)
    {
        switch (c.type) {
        case kByte: return 1;
        case kInt: return 2;
        case kLongInt:
        case kFloat: return 4;
        case kMoney:
        case kDouble:
        case kDateTime: return 8;
        case kGuid: return 16;
        default: return c.size;
        }
    }

    QString fixedValue(const Column &c, const Bytes &row, qint64 at) const
    {
        switch (c.type) {
        case kByte: return QString::number(row.u8(at));
        case kInt: return QString::number(qint16(row.u16(at)));
        case kLongInt: return QString::number(qint32(row.u32(at)));
        case kMoney: {
            const qint64 v = qint64(row.u32(at)) | qint64(row.u32(at + 4)) << 32;
            return QString::number(double(v) / 10000.0, 'f', 4);
        }
        case kFloat: {
            const quint32 bits = row.u32(at);
            float f;
            std::memcpy(&f, &bits, 4);
            return QString::number(f, 'g', 7);
        }
        case kDouble:
        case kDateTime: {
            const quint64 bits = quint64(row.u32(at)) | quint64(row.u32(at + 4)) << 32;
            double v;
            std::memcpy(&v, &bits, 8);
            if (c.type == kDouble)
                return QString::number(v, 'g', 15);
            const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
            return epoch.addMSecs(qint64(v * 86400000.0)).toString(Qt::ISODate);
        }
        case kGuid: {
            const QByteArrayView b = row.slice(at, 16);
            return QString::fromLatin1(b.toByteArray().toHex());
        }
        default:
            row.need(at, c.size);
            return QString();
        }
    }

    QString varValue(const Column &c, const Bytes &field) const
    {
        switch (c.type) {
        case kText: return text(field.slice(0, field.size));
        case kBinary: return QString::fromLatin1(field.slice(0, field.size).toByteArray().toHex());
        case kMemo: return text(memo(field, m_gathered));
        default: return QString();  // long binary values are of no use as text
        }
    }

    // A memo value, whole: inline, in one long-value row, or in a chain of them. Values held
    // in one place are viewed in the file, not copied; a chain is gathered into `gathered`.
    QByteArrayView memo(const Bytes &field, QByteArray &gathered) const
    {
        const quint32 header = field.u32(0);
        const qint64 length = header & 0x3fffffff;
        // Each memo is stored once, so together they hold no more than the file: a damaged
        // file whose rows share one long value cannot make the read outgrow memory.
        m_memoBudget -= length;
        if (length > m_file.m_bytes.size() || m_memoBudget < 0)
            throw Damaged{QStringLiteral("memo values claim more bytes than the file holds")};
        const quint8 kind = header >> 24;
        if (kind & 0x80)
            return field.slice(12, length);
        quint32 pointer = field.u32(4);
        if (kind & 0x40)
            return rowAtPointer(pointer).slice(0, length);
        QByteArray &bytes = gathered;
        bytes.clear();
        QSet<quint32> seen;
        while (bytes.size() < length) {
            if (pointer == 0)
                throw Damaged{QStringLiteral("a memo's page chain ends early")};
            if (seen.contains(pointer))
                throw Damaged{QStringLiteral("a memo's page chain loops")};
            seen.insert(pointer);
            const Bytes part = rowAtPointer(pointer);
            const qint64 take = std::min<qint64>(part.size - 4, length - bytes.size());
            bytes.append(part.slice(4, std::max<qint64>(take, 0)));
            pointer = part.u32(0);
        }
        return bytes;
    }

    QString text(QByteArrayView bytes) const { return jetText(bytes, m_file.m_jet4); }
    void textInto(QByteArrayView bytes, QString &out) const { jetTextInto(bytes, m_file.m_jet4, out); }

    const AccessFile &m_file;
    Layout m_layout;
    mutable std::vector<qint64> m_offsets;  // one row's value offsets, kept to spare allocations
    mutable QByteArray m_gathered;          // the last memo gathered from a chain of pages
    mutable qint64 m_memoBudget = m_file.m_bytes.size();
};

struct StoredTable::Located
{
    AccessReader reader;
    TableDefinition definition;
};

StoredTable::StoredTable() = default;
StoredTable::~StoredTable() = default;

void StoredTable::value(std::size_t row, int column, QString &out) const
{
    out.resize(0);
    if (!m_located || row >= m_rows.size() || column < 0)
        return;
    try {
        m_located->reader.valueInto(m_located->definition, m_rows[row], std::size_t(column), out);
    } catch (const Damaged &) {
        // Every row passed the same checks when it was located, and the file cannot change
        // under the mapping; an empty value is only a last guard.
        out.resize(0);
    }
}

AccessFile::AccessFile() = default;
AccessFile::~AccessFile() = default;

bool AccessFile::open(const QString &path, QString *error)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, file->errorString());
        return false;
    }
    // Mapped rather than copied: the pages are read from the system's cache as they are needed.
    if (file->size() > 0) {
        if (uchar *mapped = file->map(0, file->size())) {
#ifdef MADV_POPULATE_READ
            // A search reads every page: mapping them all in one call spares a fault per page
            // touched. Where the system cannot, pages are mapped as they are touched.
            madvise(mapped, size_t(file->size()), MADV_POPULATE_READ);
#endif
            m_mapping = std::move(file);
            return openBytes(QByteArray::fromRawData(reinterpret_cast<const char *>(mapped),
                                                     m_mapping->size()),
                             error);
        }
    }
    QByteArray bytes = file->readAll();
    if (file->error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file->errorString());
        return false;
    }
    return openBytes(std::move(bytes), error);
}

bool AccessFile::openBytes(QByteArray bytes, QString *error)
{
    m_bytes = std::move(bytes);
    // Read through a const view: a non-const look at mapped bytes would copy the whole file.
    const QByteArrayView header(m_bytes);
    constexpr qint64 kVersionOffset = 0x14;
    if (header.size() < kVersionOffset + 4 || header[0] != 0 || header[1] != 1) {
        if (error)
            *error = QStringLiteral("not an Access database");
        return false;
    }
    const uchar version = uchar(header[kVersionOffset]);
    // Jet4 and the later Access versions share the 4 KiB page layout read here.
    m_jet4 = version != 0;
    m_pageSize = m_jet4 ? kJet4.pageSize : kJet3.pageSize;
    m_pageCount = m_bytes.size() / m_pageSize;
    if (m_pageCount <= kCatalogPage) {
        if (error)
            *error = QStringLiteral("the database is cut short");
        return false;
    }
    return true;
}

// Runs a read, turning a damaged or unsuitable file into false and its reason.
template<typename Read>
bool AccessFile::guarded(QString *error, const Read &read) const
{
    if (m_pageCount <= kCatalogPage) {
        if (error)
            *error = QStringLiteral("no database is open");
        return false;
    }
    try {
        read();
        return true;
    } catch (const Damaged &damage) {
        if (error)
            *error = damage.damage ? QStringLiteral("damaged database: %1").arg(damage.reason)
                                   : damage.reason;
        return false;
    }
}

bool AccessFile::readTable(const QString &name, const ColumnsSink &onColumns, const RowSink &onRow,
                           QString *error) const
{
    return guarded(error, [&] { AccessReader(*this).read(name, onColumns, onRow); });
}

QAnyStringView StoredTable::text(std::size_t row, int column, QString &buffer) const
{
    buffer.resize(0);
    if (!m_located || row >= m_rows.size() || column < 0)
        return buffer;
    for (std::size_t k = 0; k < m_keptColumns.size(); ++k) {
        const Place place = m_places[row * m_keptColumns.size() + k];
        if (m_keptColumns[k] == column && place.size != Place::kNowhere)
            return m_located->reader.textView(place, buffer);
    }
    try {
        return m_located->reader.textAt(m_located->definition, m_rows[row], std::size_t(column),
                                        buffer);
    } catch (const Damaged &) {
        buffer.resize(0);  // as in value()
        return buffer;
    }
}

bool AccessFile::locateTable(const QString &name, const ColumnsSink &onColumns,
                             const QStringList &keptColumns, StoredTable *table,
                             QString *error) const
{
    return guarded(error, [&] {
        AccessReader reader(*this);
        std::vector<quint64> rows;
        std::vector<StoredTable::Place> places;
        std::vector<int> kept;
        TableDefinition definition = reader.locate(name, onColumns, keptColumns, rows, places, kept);
        table->m_located = std::make_unique<StoredTable::Located>(
            StoredTable::Located{std::move(reader), std::move(definition)});
        table->m_rows = std::move(rows);
        table->m_places = std::move(places);
        table->m_keptColumns = std::move(kept);
    });
}

std::optional<AccessTable> AccessFile::readTable(const QString &name, QString *error) const
{
    AccessTable table;
    const bool read = readTable(
        name,
        [&table](const QStringList &columns, const QList<int> &types, QString *) {
            table.columns = columns;
            table.types = types;
            return true;
        },
        [&table](QStringList &values) { table.rows.push_back(std::move(values)); }, error);
    if (!read)
        return std::nullopt;
    return table;
}

} // namespace ruzez
