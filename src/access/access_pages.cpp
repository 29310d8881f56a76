// Pages, table definitions and page usage maps.

#include "access/access_reader.h"
#include "access/access_text.h"

#include <QSet>

#include <algorithm>
#include <optional>

namespace ruzez::access {

Reader::Reader(PageFile &pages, bool jet4)
    : m_pages(&pages), m_jet4(jet4), m_layout(jet4 ? kJet4 : kJet3)
{
    pages.setPageSize(m_layout.pageSize);
    m_pageCount = pages.pageCount();
}

Bytes Reader::page(quint32 number) const
{
    if (number >= quint64(m_pageCount))
        throw Damaged{QStringLiteral("page %1 lies beyond the end of the file").arg(number)};
    return {m_pages->page(number), m_layout.pageSize};
}

Bytes Reader::slot(const Bytes &p, int row, quint16 *flags) const
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
    return Bytes{p.data + start, end - start};
}

TableDefinition Reader::table(const QString &name, const AccessFile::ColumnsSink &onColumns) const
{
    TableDefinition catalog = definition(kCatalogPage);
    const int idColumn = columnIndex(catalog, QStringLiteral("Id"));
    const int nameColumn = columnIndex(catalog, QStringLiteral("Name"));
    const int typeColumn = columnIndex(catalog, QStringLiteral("Type"));
    if (idColumn < 0 || nameColumn < 0 || typeColumn < 0)
        throw Damaged{QStringLiteral("the catalog lacks its Id, Name or Type column")};
    catalog.wanted.assign(catalog.columns.size(), 0);
    for (int column : {idColumn, nameColumn, typeColumn})
        catalog.wanted[std::size_t(column)] = 1;

    std::optional<quint32> tablePage;
    ReadBudget budget(fileSize(), m_pageCount);
    std::vector<Value> values;
    QByteArray gathered;
    forEachRow(catalog, budget, [&](quint64, const Bytes &row) {
        if (tablePage)
            return;
        this->values(catalog, row, values);
        auto field = [&](int column) {
            return text(catalog.columns[std::size_t(column)], values[std::size_t(column)], budget,
                        gathered);
        };
        constexpr int kTableObject = 1;
        if ((field(typeColumn).toInt() & 0x7f) == kTableObject
            && field(nameColumn).compare(name, Qt::CaseInsensitive) == 0)
            tablePage = field(idColumn).toUInt() & 0x00ffffff;
    });
    if (!tablePage)
        throw Damaged{QStringLiteral("no table %1 in the database").arg(name), false};
    TableDefinition table = definition(*tablePage);
    AccessFile::Columns columns;
    for (const Column &column : table.columns) {
        columns.names << column.name;
        columns.types << column.type;
    }
    columns.wanted.assign(table.columns.size(), true);
    QString refusal;
    if (!onColumns(columns, &refusal))
        throw Damaged{refusal, false};
    table.wanted.assign(columns.wanted.begin(), columns.wanted.end());
    table.wanted.resize(table.columns.size(), 0);
    // A column read wrong would be worse than none: one the reader cannot read is refused.
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const QString why = table.wanted[i] ? unreadable(table.columns[i]) : QString();
        if (!why.isEmpty())
            throw Damaged{QStringLiteral("column %1 cannot be read: %2").arg(table.columns[i].name, why),
                          false};
    }
    return table;
}

TableDefinition Reader::definition(quint32 pageNumber) const
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
        const QByteArrayView v = p.view();
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
        const int length = m_jet4 ? d.u16(pos) : d.u8(pos);
        pos += m_jet4 ? 2 : 1;
        c.name = jetText(d.slice(pos, length), m_jet4);
        pos += length;
    }
    std::stable_sort(def.columns.begin(), def.columns.end(),
                     [](const Column &a, const Column &b) { return a.number < b.number; });
    def.wanted.assign(def.columns.size(), 1);
    // The map is a row of page 1 or another; its own bytes are read once, here.
    const quint32 mapPointer = d.u32(l.usageMapOffset);
    quint16 flags = 0;
    def.usageMap = slot(page(mapPointer >> 8), int(mapPointer & 0xff), &flags).view().toByteArray();
    return def;
}

int Reader::columnIndex(const TableDefinition &def, const QString &name)
{
    for (size_t i = 0; i < def.columns.size(); ++i)
        if (def.columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

std::vector<quint32> Reader::dataPages(const TableDefinition &def) const
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
                if (number >= quint64(m_pageCount))
                    throw Damaged{QStringLiteral("the page map names pages beyond the end of the file")};
                pages.push_back(quint32(number));
            }
        }
    };
    if (map.u8(0) == 0) {
        addBits(map, 5, map.u32(1));
    } else if (map.u8(0) == 1) {
        // Each map page covers its own stretch of the file, so no page is listed twice.
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

} // namespace ruzez::access
