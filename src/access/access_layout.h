#pragma once

// The page layout of Access files as the reader sees it, and checked access to
// page bytes. Private to the reader.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace ruzez::access {

// Column types of the table definitions.
enum ColumnType : int {
    kBool = 0x01, kByte = 0x02, kInt = 0x03, kLongInt = 0x04, kMoney = 0x05, kFloat = 0x06,
    kDouble = 0x07, kDateTime = 0x08, kBinary = 0x09, kText = 0x0A, kOle = 0x0B, kMemo = 0x0C,
    kGuid = 0x0F,
};

inline constexpr quint16 kDeletedRow = 0x8000;
inline constexpr quint16 kRelocatedRow = 0x4000;  // the slot holds a pointer to the row's new place
inline constexpr quint16 kOffsetMask = 0x1fff;
inline constexpr int kCatalogPage = 2;
inline constexpr int kMaxColumns = 4096;           // Access allows 255; this only bounds a damaged count
inline constexpr int kMaxDefinitionPages = 256;
inline constexpr int kMaxRelocationHops = 4;
inline constexpr int kSlotsPerPage = 256;          // a row pointer keeps the slot in one byte

// Where each field sits in the two formats.
struct Layout
{
    int pageSize, rowCountOffset, numRowsOffset, numVarColsOffset, numColsOffset, numRealIdxOffset,
        usageMapOffset, colsStartOffset, realIdxEntrySize, colEntrySize, colNumOffset, varIndexOffset,
        flagsOffset, fixedOffsetOffset, sizeOffset;
};
inline constexpr Layout kJet3{2048, 0x08, 12, 23, 25, 31, 35, 43, 8, 18, 1, 3, 13, 14, 16};
inline constexpr Layout kJet4{4096, 0x0c, 16, 43, 45, 51, 55, 63, 12, 25, 5, 7, 15, 21, 23};

struct Damaged
{
    QString reason;
    bool damage = true;  // false: the file is sound but lacks what was asked for
};

// A view of bytes with checked reads: any read outside throws Damaged.
struct Bytes
{
    const uchar *data = nullptr;
    qint64 size = 0;

    void need(qint64 offset, qint64 count) const
    {
        if (offset < 0 || count < 0 || offset > size || count > size - offset)
            throw Damaged{QStringLiteral("a structure points outside its page")};
    }
    quint8 u8(qint64 o) const { need(o, 1); return data[o]; }
    quint16 u16(qint64 o) const { need(o, 2); return quint16(data[o] | data[o + 1] << 8); }
    quint32 u32(qint64 o) const
    {
        need(o, 4);
        return quint32(data[o]) | quint32(data[o + 1]) << 8 | quint32(data[o + 2]) << 16
            | quint32(data[o + 3]) << 24;
    }
    Bytes sub(qint64 o, qint64 n) const { need(o, n); return Bytes{data + o, n}; }
    QByteArrayView view() const { return QByteArrayView(reinterpret_cast<const char *>(data), size); }
    QByteArrayView slice(qint64 o, qint64 n) const { return sub(o, n).view(); }
};

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
    std::vector<quint8> wanted;  // the columns the reader decodes; the others read as null
    quint32 page = 0;
    int numVarCols = 0;
    quint32 rowCount = 0;  // as the definition states it: a hint, not trusted
    QByteArray usageMap;
};

// One value of a row, located but not decoded.
struct Value
{
    enum Kind { Null, False, True, Stored } kind = Null;
    Bytes bytes;  // Stored: its bytes, fixed-length or variable-length
};

} // namespace ruzez::access
