#pragma once

// Building blocks of the Jet4 files JetWriter lays out: pages, rows, table
// definitions and page maps.

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <utility>
#include <vector>

namespace ruzez::jet {

inline constexpr int kPageSize = 4096;
inline constexpr int kRowCountOffset = 12;  // data pages: the row count, then the slots
inline constexpr int kDataHeader = kRowCountOffset + 2;
inline constexpr int kMaxRowsPerPage = 255;  // a row pointer keeps the row number in one byte
inline constexpr int kMaxRow = kPageSize - kDataHeader - 2;
inline constexpr quint16 kDeletedFlag = 0x8000;
inline constexpr quint16 kRelocatedFlag = 0x4000;
inline constexpr int kInlineMemoBytes = 1024;        // longer memos go to long-value pages
inline constexpr int kCompressibleMemoChars = 1024;  // the format compresses no longer memo
inline constexpr int kLvalChunk = kMaxRow - 4;       // a chained long value keeps 4 bytes for its link

// Fixed pages of the files written here.
inline constexpr quint32 kMapsPage = 1;
inline constexpr quint32 kCatalogDefinitionPage = 2;
inline constexpr quint32 kCatalogDataPage = 3;
inline constexpr quint32 kTableDefinitionPage = 4;
inline constexpr quint32 kFirstFreePage = 5;

enum ColumnCode : quint8 {
    kInt = 0x03, kLong = 0x04, kDateTimeCode = 0x08, kTextCode = 0x0A, kOle = 0x0B, kMemoCode = 0x0C
};

struct ColumnLayout
{
    QString name;
    quint8 code = 0;
    int fixedOffset = -1;  // -1: a variable-length column
    int varIndex = 0;
    int length = 0;        // bytes, 0 for long values
};

void put16(QByteArray &b, qsizetype at, quint16 v);
void put32(QByteArray &b, qsizetype at, quint32 v);
void append16(QByteArray &b, quint16 v);
void append32(QByteArray &b, quint32 v);
quint32 pointer(quint32 page, int row);

// One data or long-value page being filled.
struct DataPage
{
    DataPage(quint32 pageNumber, quint32 pageOwner) : number(pageNumber), owner(pageOwner) {}

    quint32 number = 0;
    quint32 owner = 0;  // the table definition page, or "LVAL"
    std::vector<std::pair<QByteArray, quint16>> rows;
    int used = 0;

    bool fits(qsizetype length) const
    {
        return rows.size() < kMaxRowsPerPage
            && kDataHeader + 2 * qsizetype(rows.size() + 1) + used + length <= kPageSize;
    }
    int add(QByteArray row, quint16 flags)
    {
        used += int(row.size());
        rows.emplace_back(std::move(row), flags);
        return int(rows.size()) - 1;
    }
    QByteArray render() const
    {
        QByteArray page(kPageSize, '\0');
        page[0] = 0x01;
        page[1] = 0x01;
        put16(page, 2, quint16(kPageSize - kDataHeader - 2 * rows.size() - used));
        put32(page, 4, owner);
        put16(page, kRowCountOffset, quint16(rows.size()));
        int end = kPageSize;
        for (size_t i = 0; i < rows.size(); ++i) {
            end -= int(rows[i].first.size());
            std::copy(rows[i].first.begin(), rows[i].first.end(), page.begin() + end);
            put16(page, kDataHeader + 2 * qsizetype(i), quint16(end) | rows[i].second);
        }
        return page;
    }
};

QByteArray utf16(const QString &s);

// Jet4 text, compressed (FF FE, runs of one byte per character and of two, switched by a 0
// byte) where that is possible and shorter, else UCS-2.
QByteArray encodeText(const QString &s, bool mayCompress);

// A Jet4 row: column count, fixed-length values, variable-length values, then
// the offset table (reversed), the count of variable columns and the null mask.
QByteArray encodeRow(const std::vector<ColumnLayout> &columns, const std::vector<QByteArray> &fields);

QByteArray definitionPage(const std::vector<ColumnLayout> &columns, quint8 tableType, quint32 rowCount,
                          quint32 usedMap, quint32 freeMap);

// A page usage map of the first kind: start page 0, one bit per page.
QByteArray usageMap(const std::vector<quint32> &pages);

// A page usage map of the second kind: pointers to map pages, each holding
// one bit for every page of its stretch of the file.
QByteArray indirectUsageMap(const std::vector<quint32> &tablePages, std::vector<QByteArray> &pages,
                            quint32 &nextPage);

// Page 0. Its bytes from 0x18 are masked with a fixed RC4 key stream; the
// database key inside them must read as 0 or readers take the file as encrypted.
QByteArray headerPage();

} // namespace ruzez::jet
