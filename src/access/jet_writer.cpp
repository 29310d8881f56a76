#include "access/jet_writer.h"

#include "access/jet_pages.h"

#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace ruzez {

using namespace jet;

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
            row.fields.push_back(column.otherStorage
                                     ? utf16(value.leftJustified(kMaxTextLength, QLatin1Char(' ')))
                                     : encodeText(value, true));
            break;
        case ColumnType::DateTime: {
            bool ok = false;
            const double days = value.trimmed().toDouble(&ok);
            if (!ok)
                return fail(QStringLiteral("%1: \"%2\" is not a number of days").arg(column.name, value));
            quint64 bits;
            std::memcpy(&bits, &days, 8);
            QByteArray bytes;
            append32(bytes, quint32(bits));
            append32(bytes, quint32(bits >> 32));
            row.fields.push_back(bytes);
            break;
        }
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
    std::vector<ColumnLayout> columns;
    int fixedOffset = 0;
    int varIndex = 0;
    for (const Column &c : m_columns) {
        ColumnLayout s{c.name};
        // Numbers go among the fixed-length values and text among the variable-length ones,
        // unless the column asks for the other kind.
        const bool fixed = (c.type == ColumnType::LongInteger || c.type == ColumnType::DateTime
                            || c.type == ColumnType::Text)
            && (c.type == ColumnType::Text) == c.otherStorage;
        switch (c.type) {
        case ColumnType::LongInteger:
            s.code = kLong;
            s.length = 4;
            break;
        case ColumnType::DateTime:
            s.code = kDateTimeCode;
            s.length = 8;
            break;
        case ColumnType::Text:
            s.code = kTextCode;
            s.length = 2 * kMaxTextLength;
            break;
        case ColumnType::Memo:
            s.code = kMemoCode;
            break;
        }
        if (fixed) {
            s.fixedOffset = fixedOffset;
            fixedOffset += s.length;
        } else {
            s.varIndex = varIndex++;
        }
        columns.push_back(s);
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
    QByteArray lastLongValue;  // the memo field of the last row whose memo went to long values
    QByteArray lastRelocation; // the slot of the last relocated row
    for (const Row &row : m_rows) {
        std::vector<QByteArray> fields = row.fields;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].code != kMemoCode || fields[i].isNull())
                continue;
            const QByteArray value = fields[i];
            if (row.placement == Placement::SharingLongValue && !lastLongValue.isEmpty()) {
                fields[i] = lastLongValue;
                continue;
            }
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
            else
                lastLongValue = field;
            fields[i] = field;
        }
        QByteArray encoded = encodeRow(columns, fields);
        if (encoded.size() > kMaxRow) {
            if (error)
                *error = QStringLiteral("a row does not fit in one page");
            return {};
        }
        if (row.placement == Placement::SharingRelocated && !lastRelocation.isEmpty()) {
            open(data, kTableDefinitionPage, lastRelocation.size(), true);
            data->add(lastRelocation, kRelocatedFlag);
        } else if (row.placement == Placement::Relocated || row.placement == Placement::SharingRelocated) {
            open(moved, kTableDefinitionPage, encoded.size(), true);
            QByteArray link;
            append32(link, pointer(moved->number, moved->add(encoded, kDeletedFlag | kRelocatedFlag)));
            open(data, kTableDefinitionPage, link.size(), true);
            data->add(link, kRelocatedFlag);
            lastRelocation = link;
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
    const std::vector<ColumnLayout> catalogColumns = {
        {QStringLiteral("Id"), kLong, 0, 0, 4},      {QStringLiteral("Name"), kTextCode, -1, 0, 256},
        {QStringLiteral("Type"), kInt, 4, 0, 2},     {QStringLiteral("Flags"), kLong, 6, 0, 4},
        {QStringLiteral("LvProp"), kOle, -1, 1, 0},
    };
    auto catalogRow = [&](quint32 id, const QString &name, quint32 flags) {
        QByteArray idBytes, typeBytes, flagBytes;
        append32(idBytes, id);
        append16(typeBytes, 1);  // a table
        append32(flagBytes, flags);
        return encodeRow(catalogColumns, {idBytes, encodeText(name, true), typeBytes, flagBytes, QByteArray()});
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
    pages[kCatalogDefinitionPage] = definitionPage(catalogColumns, 0x53, 2, pointer(kMapsPage, 0),
                                                   pointer(kMapsPage, 1));
    pages[kTableDefinitionPage] = definitionPage(columns, 0x4e, liveRows, pointer(kMapsPage, 2),
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
