#include "access/jet_pages.h"

#include <array>

namespace ruzez::jet {

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

// Jet4 text, compressed as Access compresses it: FF FE, then runs of one byte per character
// (those below U+0100) and of two, a 0 byte switching from one kind of run to the other. A
// character whose low byte is 0 would read as a switch, so text holding one stays UCS-2, as does
// text the compression would not make shorter.
QByteArray encodeText(const QString &s, bool mayCompress)
{
    const bool compressible = mayCompress && !s.isEmpty()
        && std::none_of(s.begin(), s.end(), [](QChar c) { return (c.unicode() & 0xff) == 0; });
    if (!compressible)
        return utf16(s);
    auto narrow = [&s](qsizetype i) { return s[i].unicode() < 0x100; };
    QByteArray b("\xff\xfe", 2);
    bool oneByte = true;
    for (qsizetype i = 0; i < s.size();) {
        qsizetype end = i;
        while (end < s.size() && narrow(end) == narrow(i))
            ++end;
        // A run of one-byte characters amid two-byte ones pays two switches (one at the end of
        // the text): a run too short to save more stays in two bytes.
        const qsizetype switches = end < s.size() ? 2 : 1;
        const bool runOneByte = narrow(i) && (oneByte || end - i > switches);
        if (runOneByte != oneByte) {
            b.append('\0');
            oneByte = runOneByte;
        }
        for (; i < end; ++i) {
            if (oneByte)
                b.append(char(s[i].unicode()));
            else
                append16(b, s[i].unicode());
        }
    }
    return b.size() < 2 * s.size() ? b : utf16(s);
}

quint32 pointer(quint32 page, int row)
{
    return page << 8 | quint32(row);
}


// A Jet4 row: column count, fixed-length values, variable-length values, then
// the offset table (reversed), the count of variable columns and the null mask.
QByteArray encodeRow(const std::vector<ColumnLayout> &columns, const std::vector<QByteArray> &fields)
{
    QByteArray row;
    append16(row, quint16(columns.size()));
    int fixedSize = 0;
    int varCount = 0;
    for (const ColumnLayout &s : columns) {
        if (s.fixedOffset >= 0)
            fixedSize = std::max(fixedSize, s.fixedOffset + s.length);
        else
            ++varCount;
    }
    QByteArray fixed(fixedSize, '\0');
    QByteArray mask((columns.size() + 7) / 8, '\0');
    std::vector<quint16> offsets(varCount + 1);
    QByteArray var;
    for (size_t i = 0; i < columns.size(); ++i) {
        const ColumnLayout &s = columns[i];
        if (!fields[i].isNull())
            mask[i / 8] = char(mask[i / 8] | (1 << (i % 8)));
        if (s.fixedOffset >= 0)
            std::copy(fields[i].begin(), fields[i].end(), fixed.begin() + s.fixedOffset);
    }
    row.append(fixed);
    for (int v = 0; v < varCount; ++v) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].fixedOffset < 0 && columns[i].varIndex == v) {
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

QByteArray definitionPage(const std::vector<ColumnLayout> &columns, quint8 tableType, quint32 rowCount,
                          quint32 usedMap, quint32 freeMap)
{
    QByteArray d(63, '\0');
    d[0] = 0x02;
    d[1] = 0x01;
    put32(d, 16, rowCount);
    d[40] = char(tableType);
    int varCount = 0;
    for (const ColumnLayout &s : columns)
        varCount += s.fixedOffset < 0;
    put16(d, 41, quint16(columns.size()));
    put16(d, 43, quint16(varCount));
    put16(d, 45, quint16(columns.size()));
    put32(d, 55, usedMap);
    put32(d, 59, freeMap);
    for (size_t i = 0; i < columns.size(); ++i) {
        const ColumnLayout &s = columns[i];
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
    for (const ColumnLayout &s : columns) {
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

} // namespace ruzez::jet
