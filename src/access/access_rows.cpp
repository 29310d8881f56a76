// Rows: the table's pages walked in stored order, relocated rows followed, a row split into its
// values, and a value written as text.

#include "access/access_reader.h"
#include "access/access_text.h"

#include <QDate>
#include <QtEndian>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ruzez::access {

namespace {

constexpr quint8 kDataPage = 0x01;

// Bytes a value of a fixed-size type takes, wherever it is stored.
qint64 fixedSize(const Column &c)
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

bool isNumber(int type)
{
    return type == kByte || type == kInt || type == kLongInt || type == kMoney || type == kFloat
        || type == kDouble || type == kDateTime || type == kGuid;
}

// Access keeps a date as days since 1899-12-30, the time of day as the fraction. Before that
// day the whole days count back but the fraction still counts forward: -1.25 is 1899-12-29
// at 06:00. Values are rounded to the second, as Access shows them.
QString dateText(double days)
{
    constexpr double kFirstDay = -657434.0;  // 0100-01-01
    constexpr double kLastDay = 2958465.0;   // 9999-12-31
    if (!std::isfinite(days) || days <= kFirstDay - 1 || days >= kLastDay + 1)
        throw Damaged{QStringLiteral("a date lies outside the years 100 to 9999")};
    const double whole = std::trunc(days);
    qint64 seconds = std::llround(std::fabs(days - whole) * 86400.0);
    qint64 day = qint64(whole);
    if (seconds == 86400) {
        ++day;
        seconds = 0;
    }
    // Date and time apart: a local date-time could fall into a change of clocks.
    const QDate date = QDate(1899, 12, 30).addDays(day);
    const QTime time = QTime::fromMSecsSinceStartOfDay(int(seconds * 1000));
    return date.toString(Qt::ISODate) + QLatin1Char('T') + time.toString(Qt::ISODate);
}

// Money is a count of ten-thousandths: written from the integer, every digit kept.
QString moneyText(qint64 units)
{
    const quint64 magnitude = units < 0 ? 0 - quint64(units) : quint64(units);
    return QStringLiteral("%1%2.%3")
        .arg(units < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 10000)
        .arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
}

} // namespace

ReadBudget::ReadBudget(qint64 fileSize, qint64 pageCount)
    : m_pageCount(pageCount), m_left(4 * fileSize + 65536)
{
}

void ReadBudget::use(quint32 page, int slot, const char *what)
{
    if (page >= quint64(m_pageCount) || slot < 0 || slot >= kSlotsPerPage)
        throw Damaged{QStringLiteral("a %1 lies beyond the end of the file").arg(QLatin1String(what))};
    const quint64 bit = quint64(page) * kSlotsPerPage + quint64(slot);
    // A read that uses few records (one value read again, say) notes them in a short list;
    // past that, one bit for every record the file could hold.
    if (m_used.empty()) {
        constexpr std::size_t kFew = 32;
        if (std::find(m_few.begin(), m_few.end(), bit) != m_few.end())
            throw Damaged{QStringLiteral("a %1 is reached twice: a chain loops or rows share it")
                              .arg(QLatin1String(what))};
        if (m_few.size() < kFew) {
            m_few.push_back(bit);
            return;
        }
        m_used.assign(std::size_t(m_pageCount) * kSlotsPerPage / 64, 0);
        for (const quint64 few : m_few)
            m_used[few / 64] |= quint64(1) << (few % 64);
    }
    quint64 &word = m_used[bit / 64];
    if (word & (quint64(1) << (bit % 64)))
        throw Damaged{QStringLiteral("a %1 is reached twice: a chain loops or rows share it")
                          .arg(QLatin1String(what))};
    word |= quint64(1) << (bit % 64);
}

void ReadBudget::spend(qint64 bytes)
{
    m_left -= bytes;
    if (m_left < 0)
        throw Damaged{QStringLiteral("the values claim more text than the file holds")};
}

Bytes Reader::rowAt(quint64 where) const
{
    quint16 flags = 0;
    const Bytes row = slot(page(quint32(where >> 16)), int(where & 0xffff), &flags);
    m_located.assign(row.data, row.data + row.size);
    return Bytes{m_located.data(), row.size};
}

Bytes Reader::rowAtPointer(quint32 pointer, ReadBudget &budget, const char *what) const
{
    const quint32 number = pointer >> 8;
    const int row = int(pointer & 0xff);
    const Bytes p = page(number);
    if (p.u8(0) != kDataPage)
        throw Damaged{QStringLiteral("a %1 points to a page of another kind").arg(QLatin1String(what))};
    budget.use(number, row, what);
    quint16 flags = 0;
    return slot(p, row, &flags);
}

void Reader::forEachRow(const TableDefinition &def, ReadBudget &budget, const RowSink &sink) const
{
    const qint64 slotTable = m_layout.rowCountOffset + 2;
    const std::vector<quint32> pages = dataPages(def);
    for (std::size_t index = 0; index < pages.size(); ++index) {
        const quint32 number = pages[index];
        const Bytes p{m_pages->walkPage(pages, index), m_layout.pageSize};
        if (p.u8(0) != kDataPage || p.u32(4) != def.page)
            continue;  // a page the map still lists but that no longer holds this table
        const int count = p.u16(m_layout.rowCountOffset);
        p.need(slotTable, 2 * qint64(count));
        for (int i = 0; i < count; ++i) {
            if (p.u16(slotTable + 2 * i) & kDeletedRow)
                continue;
            quint16 flags = 0;
            quint64 where = location(number, i);
            Bytes row = slot(p, i, &flags);
            for (int hop = 0; flags & kRelocatedRow; ++hop) {
                if (hop == kMaxRelocationHops)
                    throw Damaged{QStringLiteral("relocated rows point at each other")};
                const quint32 pointer = row.u32(0);
                const Bytes target = page(pointer >> 8);
                // A row moves within its own table: any other page is damage.
                if (target.u8(0) != kDataPage || target.u32(4) != def.page)
                    throw Damaged{QStringLiteral("a relocated row points outside its table")};
                budget.use(pointer >> 8, int(pointer & 0xff), "relocated row");
                where = location(pointer >> 8, int(pointer & 0xff));
                row = slot(target, int(pointer & 0xff), &flags);
                // The relocated copy is flagged deleted as well, so that a walk over the
                // slots passes it by; only a bare relocation flag points further.
                if (flags & kDeletedRow)
                    flags = 0;
            }
            if (row.data < p.data || row.data >= p.data + p.size) {
                // Off its page: kept apart from the page reads the sink may make.
                m_moved.assign(row.data, row.data + row.size);
                row = Bytes{m_moved.data(), row.size};
            }
            sink(where, row);
        }
    }
}

void Reader::values(const TableDefinition &def, const Bytes &row, std::vector<Value> &out) const
{
    out.resize(def.columns.size());
    const qint64 end = row.size;
    const int rowCols = m_jet4 ? row.u16(0) : row.u8(0);
    const qint64 maskSize = (rowCols + 7) / 8;
    row.need(end - maskSize, maskSize);
    const uchar *mask = row.data + end - maskSize;
    auto present = [&](int n) { return n < rowCols && (mask[n / 8] & (1 << (n % 8))); };

    int rowVarCols = 0;
    std::vector<qint64> &offsets = m_offsets;
    if (def.numVarCols > 0) {
        if (m_jet4) {
            rowVarCols = row.u16(end - maskSize - 2);
            const qint64 last = end - maskSize - 4 - 2 * qint64(rowVarCols);
            row.need(last, 2 * (qint64(rowVarCols) + 1));
            // Only the row's own offsets are read below: room left from a longer row is not cleared.
            if (offsets.size() < std::size_t(rowVarCols) + 1)
                offsets.resize(std::size_t(rowVarCols) + 1);
            for (int i = 0; i <= rowVarCols; ++i)
                offsets[std::size_t(i)] = qFromLittleEndian<quint16>(row.data + end - maskSize - 4 - 2 * i);
        } else {
            rowVarCols = row.u8(end - maskSize - 1);
            offsets.clear();
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

    const qint64 fixedStart = m_jet4 ? 2 : 1;
    for (std::size_t index = 0; index < def.columns.size(); ++index) {
        const Column &c = def.columns[index];
        Value &v = out[index];
        v = Value{};
        if (!def.wanted[index])
            continue;
        if (c.type == kBool) {
            v.kind = present(c.number) ? Value::True : Value::False;
        } else if (!present(c.number)) {
            v.kind = Value::Null;
        } else if (c.fixed) {
            v.kind = Value::Stored;
            v.bytes = row.sub(fixedStart + c.fixedOffset, fixedSize(c));
        } else if (c.varIndex < rowVarCols) {
            const qint64 from = offsets[std::size_t(c.varIndex)];
            const qint64 to = offsets[std::size_t(c.varIndex) + 1];
            if (from > to)
                throw Damaged{QStringLiteral("a row's value offsets are inconsistent")};
            v.kind = Value::Stored;
            v.bytes = row.sub(from, to - from);
        }
    }
}

QByteArrayView Reader::textBytes(const Column &c, const Value &v, ReadBudget &budget,
                                 QByteArray &gathered) const
{
    if (v.kind != Value::Stored)
        return {};
    if (c.type == kMemo)
        return longValue(v.bytes, budget, gathered);
    budget.spend(v.bytes.size);
    return v.bytes.view();
}

QString Reader::text(const Column &c, const Value &v, ReadBudget &budget, QByteArray &gathered) const
{
    switch (v.kind) {
    case Value::False: return QStringLiteral("0");
    case Value::True: return QStringLiteral("1");
    case Value::Null: return QString();
    case Value::Stored: break;
    }
    switch (c.type) {
    case kText:
    case kMemo: return jetText(textBytes(c, v, budget, gathered), m_jet4);
    case kBinary:
        budget.spend(2 * v.bytes.size);
        return QString::fromLatin1(v.bytes.view().toByteArray().toHex());
    case kOle: return QString();  // long binary values are of no use as text
    default: break;
    }
    // A number stored among the variable-length values must still have its own size.
    if (v.bytes.size != fixedSize(c))
        throw Damaged{QStringLiteral("a value of column %1 has the wrong size").arg(c.name)};
    return fixedText(c, v.bytes);
}

void Reader::check(const Column &c, const Value &v, ReadBudget &budget, QByteArray &gathered) const
{
    if (v.kind != Value::Stored)
        return;
    if (c.type == kText || c.type == kMemo) {
        textBytes(c, v, budget, gathered);
    } else if (isNumber(c.type)) {
        if (v.bytes.size != fixedSize(c))
            throw Damaged{QStringLiteral("a value of column %1 has the wrong size").arg(c.name)};
        if (c.type == kDateTime)
            fixedText(c, v.bytes);
    } else {
        text(c, v, budget, gathered);
    }
}

QString Reader::fixedText(const Column &c, const Bytes &b) const
{
    switch (c.type) {
    case kByte: return QString::number(b.u8(0));
    case kInt: return QString::number(qint16(b.u16(0)));
    case kLongInt: return QString::number(qint32(b.u32(0)));
    case kMoney: return moneyText(qint64(quint64(b.u32(0)) | quint64(b.u32(4)) << 32));
    case kFloat: {
        const quint32 bits = b.u32(0);
        float f;
        std::memcpy(&f, &bits, 4);
        return QString::number(f, 'g', 7);
    }
    case kDouble:
    case kDateTime: {
        const quint64 bits = quint64(b.u32(0)) | quint64(b.u32(4)) << 32;
        double v;
        std::memcpy(&v, &bits, 8);
        return c.type == kDouble ? QString::number(v, 'g', 15) : dateText(v);
    }
    case kGuid: return QString::fromLatin1(b.view().toByteArray().toHex());
    default: return QString();
    }
}

// Whether this reader can write the column's values as text, and if not, why.
QString Reader::unreadable(const Column &c)
{
    if (isNumber(c.type) || c.type == kBool || c.type == kText || c.type == kBinary)
        return {};
    if (c.type == kMemo || c.type == kOle)
        return c.fixed ? QStringLiteral("a long value stored among the fixed-length values")
                       : QString();
    return QStringLiteral("its type (code %1) is not one this reader knows").arg(c.type);
}

} // namespace ruzez::access
