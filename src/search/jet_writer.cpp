#include "search/jet_writer.h"

#include <QSaveFile>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace ruzez {

namespace {

constexpr int kPageSize = 4096;
constexpr int kRowCountOffset = 12;  // data pages: the row count, then the slots
constexpr int kDataHeader = kRowCountOffset + 2;
constexpr int kMaxRowsPerPage = 255;  // a row pointer keeps the row number in one byte
constexpr int kMaxRow = kPageSize - kDataHeader - 2;
constexpr quint16 kDeletedFlag = 0x8000;
constexpr quint16 kRelocatedFlag = 0x4000;
constexpr int kInlineMemoBytes = 1024;        // longer memos go to long-value pages
constexpr int kCompressibleMemoChars = 1024;  // the format compresses no longer memo
constexpr int kLvalChunk = kMaxRow - 4;       // a chained long value keeps 4 bytes for its link

// Fixed pages of the files written here.
constexpr quint32 kMapsPage = 1;
constexpr quint32 kCatalogDefinitionPage = 2;
constexpr quint32 kCatalogDataPage = 3;
constexpr quint32 kTableDefinitionPage = 4;
constexpr quint32 kFirstFreePage = 5;

enum ColumnCode : quint8 { kInt = 0x03, kLong = 0x04, kTextCode = 0x0A, kOle = 0x0B, kMemoCode = 0x0C };

struct Spec
{
    QString name;
    quint8 code = 0;
    int fixedOffset = -1;  // -1: a variable-length column
    int varIndex = 0;
    int length = 0;        // bytes, 0 for long values
};

void put16(QByteArray &b, qsizetype at, quint16 v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char(v >> 8);
}
void put32(QByteArray &b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}
void append16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xff)).append(char(v >> 8));
}
void append32(QByteArray &b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}
QByteArray utf16(const QString &s)
{
    QByteArray b;
    b.reserve(s.size() * 2);
    for (QChar c : s)
        append16(b, c.unicode());
    return b;
}

// Jet4 text: compressed (FF FE, one byte per character) when every character
// is below U+0100 and none is U+0000, else UCS-2.
QByteArray encodeText(const QString &s, bool mayCompress)
{
    const bool compressible = mayCompress && !s.isEmpty()
        && std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() > 0 && c.unicode() < 0x100; });
    if (!compressible)
        return utf16(s);
    QByteArray b("\xff\xfe", 2);
    for (QChar c : s)
        b.append(char(c.unicode()));
    return b;
}

quint32 pointer(quint32 page, int row)
{
    return page << 8 | quint32(row);
}

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

// A Jet4 row: column count, fixed-length values, variable-length values, then
// the offset table (reversed), the count of variable columns and the null mask.
QByteArray encodeRow(const std::vector<Spec> &specs, const std::vector<QByteArray> &fields)
{
    QByteArray row;
    append16(row, quint16(specs.size()));
    int fixedSize = 0;
    int varCount = 0;
    for (const Spec &s : specs) {
        if (s.fixedOffset >= 0)
            fixedSize = std::max(fixedSize, s.fixedOffset + s.length);
        else
            ++varCount;
    }
    QByteArray fixed(fixedSize, '\0');
    QByteArray mask((specs.size() + 7) / 8, '\0');
    std::vector<quint16> offsets(varCount + 1);
    QByteArray var;
    for (size_t i = 0; i < specs.size(); ++i) {
        const Spec &s = specs[i];
        if (!fields[i].isNull())
            mask[i / 8] = char(mask[i / 8] | (1 << (i % 8)));
        if (s.fixedOffset >= 0)
            std::copy(fields[i].begin(), fields[i].end(), fixed.begin() + s.fixedOffset);
    }
    row.append(fixed);
    for (int v = 0; v < varCount; ++v) {
        for (size_t i = 0; i < specs.size(); ++i) {
            if (specs[i].fixedOffset < 0 && specs[i].varIndex == v) {
                offsets[v] = quint16(row.size());
                row.append(fields[i]);
            }
        }
    }
    offsets[varCount] = quint16(row.size());
    for (int v = varCount; v >= 0; --v)
        append16(row, offsets[v]);
    append16(row, quint16(varCount));
    row.append(mask);
    return row;
}

QByteArray definitionPage(const std::vector<Spec> &specs, quint8 tableType, quint32 rowCount,
                          quint32 usedMap, quint32 freeMap)
{
    QByteArray d(63, '\0');
    d[0] = 0x02;
    d[1] = 0x01;
    put32(d, 16, rowCount);
    d[40] = char(tableType);
    int varCount = 0;
    for (const Spec &s : specs)
        varCount += s.fixedOffset < 0;
    put16(d, 41, quint16(specs.size()));
    put16(d, 43, quint16(varCount));
    put16(d, 45, quint16(specs.size()));
    put32(d, 55, usedMap);
    put32(d, 59, freeMap);
    for (size_t i = 0; i < specs.size(); ++i) {
        const Spec &s = specs[i];
        QByteArray c(25, '\0');
        c[0] = char(s.code);
        put16(c, 5, quint16(i));
        put16(c, 7, quint16(s.fixedOffset < 0 ? s.varIndex : 0));
        put16(c, 9, quint16(i));
        const bool textual = s.code == kTextCode || s.code == kMemoCode;
        if (textual)
            put16(c, 11, 0x0409);  // the general sort order
        c[15] = char(s.fixedOffset >= 0 ? 0x03 : 0x02);  // fixed length; may be null
        c[16] = char(textual ? 0x01 : 0x00);              // compressed text
        put16(c, 21, quint16(std::max(s.fixedOffset, 0)));
        put16(c, 23, quint16(s.length));
        d.append(c);
    }
    for (const Spec &s : specs) {
        const QByteArray name = utf16(s.name);
        append16(d, quint16(name.size()));
        d.append(name);
    }
    append16(d, 0xffff);
    put32(d, 8, quint32(d.size() - 8));
    put16(d, 2, quint16(kPageSize - d.size() - 8));
    d.append(QByteArray(kPageSize - d.size(), '\0'));
    return d;
}

// A page usage map of the first kind: start page 0, one bit per page.
QByteArray usageMap(const std::vector<quint32> &pages)
{
    quint32 last = 0;
    for (quint32 p : pages)
        last = std::max(last, p);
    QByteArray map(5 + last / 8 + 1, '\0');
    for (quint32 p : pages)
        map[5 + p / 8] = char(map[5 + p / 8] | (1 << (p % 8)));
    return map;
}

// A page usage map of the second kind: pointers to map pages, each holding
// one bit for every page of its stretch of the file.
QByteArray indirectUsageMap(const std::vector<quint32> &tablePages, std::vector<QByteArray> &pages,
                            quint32 &nextPage)
{
    constexpr quint32 kPagesPerMapPage = (kPageSize - 4) * 8;
    QByteArray map(1, char(0x01));
    std::vector<QByteArray> mapPages;
    for (quint32 p : tablePages) {
        const quint32 index = p / kPagesPerMapPage;
        while (mapPages.size() <= index) {
            QByteArray page(kPageSize, '\0');
            page[0] = 0x05;
            page[1] = 0x01;
            mapPages.push_back(page);
        }
        const quint32 bit = p % kPagesPerMapPage;
        mapPages[index][4 + bit / 8] = char(mapPages[index][4 + bit / 8] | (1 << (bit % 8)));
    }
    for (const QByteArray &page : mapPages) {
        append32(map, nextPage);
        if (pages.size() <= nextPage)
            pages.resize(nextPage + 1);
        pages[nextPage++] = page;
    }
    return map;
}

// Page 0. Its bytes from 0x18 are masked with a fixed RC4 key stream; the
// database key inside them must read as 0 or readers take the file as encrypted.
QByteArray headerPage()
{
    QByteArray page(kPageSize, '\0');
    page[1] = 0x01;
    const QByteArray magic("Standard Jet DB");
    std::copy(magic.begin(), magic.end(), page.begin() + 4);
    put32(page, 0x14, 1);  // Jet4
    QByteArray plain(128, '\0');
    put16(plain, 0x3c - 0x18, 1252);   // code page
    put32(plain, 0x6e - 0x18, 0x409);  // sort order
    std::array<quint8, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[i] = quint8(i);
    const quint8 key[] = {0xc7, 0xda, 0x39, 0x6b};
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < 128; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        page[0x18 + n] = char(plain[n] ^ char(s[(s[i] + s[j]) & 0xff]));
    }
    return page;
}

} // namespace

JetWriter::JetWriter(QString tableName, std::vector<Column> columns)
    : m_tableName(std::move(tableName)), m_columns(std::move(columns))
{
}

bool JetWriter::addRow(const QStringList &values, QString *error, Placement placement)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (values.size() != qsizetype(m_columns.size()))
        return fail(QStringLiteral("%1 values for %2 columns").arg(values.size()).arg(m_columns.size()));
    Row row;
    row.placement = placement;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const QString &value = values[qsizetype(i)];
        const Column &column = m_columns[i];
        if (value.isNull()) {
            row.fields.emplace_back();
            continue;
        }
        switch (column.type) {
        case ColumnType::LongInteger: {
            bool ok = false;
            const qint32 number = value.trimmed().toInt(&ok);
            if (!ok)
                return fail(QStringLiteral("%1: \"%2\" is not a whole number between -2147483648 and 2147483647")
                                .arg(column.name, value));
            QByteArray bytes;
            append32(bytes, quint32(number));
            row.fields.push_back(bytes);
            break;
        }
        case ColumnType::Text:
            if (value.size() > kMaxTextLength)
                return fail(QStringLiteral("%1: %2 characters, more than the %3 a text field holds")
                                .arg(column.name).arg(value.size()).arg(kMaxTextLength));
            row.fields.push_back(encodeText(value, true));
            break;
        case ColumnType::Memo:
            row.fields.push_back(encodeText(value, value.size() <= kCompressibleMemoChars));
            break;
        }
        // Encoded text is never null, even when empty: null and "" stay apart.
        if (row.fields.back().isNull())
            row.fields.back() = QByteArray("");
    }
    m_rows.push_back(std::move(row));
    return true;
}

QByteArray JetWriter::bytes(QString *error) const
{
    std::vector<Spec> specs;
    int fixedOffset = 0;
    int varIndex = 0;
    for (const Column &c : m_columns) {
        Spec s{c.name};
        switch (c.type) {
        case ColumnType::LongInteger:
            s.code = kLong;
            s.fixedOffset = fixedOffset;
            s.length = 4;
            fixedOffset += 4;
            break;
        case ColumnType::Text:
            s.code = kTextCode;
            s.varIndex = varIndex++;
            s.length = 2 * kMaxTextLength;
            break;
        case ColumnType::Memo:
            s.code = kMemoCode;
            s.varIndex = varIndex++;
            break;
        }
        specs.push_back(s);
    }

    std::vector<QByteArray> pages(kFirstFreePage);
    quint32 nextPage = kFirstFreePage;
    std::vector<quint32> tablePages;
    auto finish = [&pages](const DataPage &page) {
        if (pages.size() <= page.number)
            pages.resize(page.number + 1);
        pages[page.number] = page.render();
    };
    // Pages are numbered as they are opened; each is rendered once full.
    auto open = [&](std::optional<DataPage> &page, quint32 owner, qsizetype length, bool tablePage) {
        if (page && page->fits(length))
            return;
        if (page)
            finish(*page);
        page.emplace(nextPage++, owner);
        if (tablePage)
            tablePages.push_back(page->number);
    };
    std::optional<DataPage> data, moved, lval;
    const quint32 lvalOwner = quint32('L') | quint32('V') << 8 | quint32('A') << 16 | quint32('L') << 24;
    auto storeLong = [&](const QByteArray &value, quint32 *at) -> bool {
        if (value.size() <= kMaxRow) {
            open(lval, lvalOwner, value.size(), false);
            *at = pointer(lval->number, lval->add(value, 0));
            return true;
        }
        // A chain, laid down from its end so each piece knows the next one.
        quint32 next = 0;
        for (qsizetype end = value.size(); end > 0;) {
            const qsizetype start = ((end - 1) / kLvalChunk) * kLvalChunk;
            QByteArray piece;
            append32(piece, next);
            piece.append(value.mid(start, end - start));
            open(lval, lvalOwner, piece.size(), false);
            next = pointer(lval->number, lval->add(piece, 0));
            end = start;
        }
        *at = next;
        return false;
    };

    quint32 liveRows = 0;
    for (const Row &row : m_rows) {
        std::vector<QByteArray> fields = row.fields;
        for (size_t i = 0; i < specs.size(); ++i) {
            if (specs[i].code != kMemoCode || fields[i].isNull())
                continue;
            const QByteArray value = fields[i];
            QByteArray field;
            quint32 at = 0;
            quint8 kind = 0x80;
            if (value.size() > kInlineMemoBytes)
                kind = storeLong(value, &at) ? 0x40 : 0x00;
            append32(field, quint32(value.size()) | quint32(kind) << 24);
            append32(field, at);
            append32(field, 0);
            if (kind == 0x80)
                field.append(value);
            fields[i] = field;
        }
        QByteArray encoded = encodeRow(specs, fields);
        if (encoded.size() > kMaxRow) {
            if (error)
                *error = QStringLiteral("a row does not fit in one page");
            return {};
        }
        if (row.placement == Placement::Relocated) {
            open(moved, kTableDefinitionPage, encoded.size(), true);
            QByteArray link;
            append32(link, pointer(moved->number, moved->add(encoded, kDeletedFlag | kRelocatedFlag)));
            open(data, kTableDefinitionPage, link.size(), true);
            data->add(link, kRelocatedFlag);
        } else {
            open(data, kTableDefinitionPage, encoded.size(), true);
            data->add(encoded, row.placement == Placement::Deleted ? kDeletedFlag : 0);
        }
        liveRows += row.placement != Placement::Deleted;
    }
    for (const std::optional<DataPage> &page : {data, moved, lval})
        if (page)
            finish(*page);

    // The catalog: an entry for itself and one for the table.
    const std::vector<Spec> catalogSpecs = {
        {QStringLiteral("Id"), kLong, 0, 0, 4},      {QStringLiteral("Name"), kTextCode, -1, 0, 256},
        {QStringLiteral("Type"), kInt, 4, 0, 2},     {QStringLiteral("Flags"), kLong, 6, 0, 4},
        {QStringLiteral("LvProp"), kOle, -1, 1, 0},
    };
    auto catalogRow = [&](quint32 id, const QString &name, quint32 flags) {
        QByteArray idBytes, typeBytes, flagBytes;
        append32(idBytes, id);
        append16(typeBytes, 1);  // a table
        append32(flagBytes, flags);
        return encodeRow(catalogSpecs, {idBytes, encodeText(name, true), typeBytes, flagBytes, QByteArray()});
    };
    DataPage catalog(kCatalogDataPage, kCatalogDefinitionPage);
    catalog.add(catalogRow(kCatalogDefinitionPage, QStringLiteral("MSysObjects"), 0x80000002), 0);
    catalog.add(catalogRow(kTableDefinitionPage, m_tableName, 0), 0);
    pages[kCatalogDataPage] = catalog.render();

    DataPage maps(kMapsPage, 0);
    QByteArray tableMap = usageMap(tablePages);
    const QByteArray noPages = usageMap({});
    if (!maps.fits(3 * noPages.size() + tableMap.size() + 6)) {
        // Too many pages for a map inside a row: the row lists map pages instead.
        tableMap = indirectUsageMap(tablePages, pages, nextPage);
        if (!maps.fits(3 * noPages.size() + tableMap.size() + 6)) {
            if (error)
                *error = QStringLiteral("the table is too large for one database file");
            return {};
        }
    }
    maps.add(usageMap({kCatalogDataPage}), 0);
    maps.add(noPages, 0);
    maps.add(tableMap, 0);
    maps.add(noPages, 0);
    pages[kMapsPage] = maps.render();

    pages[0] = headerPage();
    pages[kCatalogDefinitionPage] = definitionPage(catalogSpecs, 0x53, 2, pointer(kMapsPage, 0),
                                                   pointer(kMapsPage, 1));
    pages[kTableDefinitionPage] = definitionPage(specs, 0x4e, liveRows, pointer(kMapsPage, 2),
                                                 pointer(kMapsPage, 3));
    QByteArray file;
    file.reserve(qsizetype(pages.size()) * kPageSize);
    for (const QByteArray &page : pages)
        file.append(page.isEmpty() ? QByteArray(kPageSize, '\0') : page);
    return file;
}

bool JetWriter::write(const QString &path, QString *error) const
{
    const QByteArray content = bytes(error);
    if (content.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace ruzez
