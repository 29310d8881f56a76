#include "access/access_file.h"

#include "access/access_reader.h"
#include "access/access_text.h"
#include "access/file_bytes.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace ruzez {

using namespace access;

struct StoredTable::Located
{
    Reader reader;
    TableDefinition definition;
};

StoredTable::StoredTable() = default;
StoredTable::~StoredTable() = default;

void StoredTable::value(std::size_t row, int column, QString &out) const
{
    out.resize(0);
    if (!m_located || row >= m_rows.size() || column < 0
        || std::size_t(column) >= m_located->definition.columns.size())
        return;
    // A text decoded once when located is read from there.
    const int k = std::size_t(column) < m_keptAt.size() ? m_keptAt[std::size_t(column)] : -1;
    if (k >= 0 && m_places[row * m_keptColumns.size() + std::size_t(k)].kind == Place::Windows1252) {
        text(row, column, out);
        return;
    }
    try {
        const Reader &reader = m_located->reader;
        const TableDefinition &def = m_located->definition;
        // Each value is read on its own, within a bound of its own.
        ReadBudget budget(reader.file().size(), reader.pageCount());
        std::vector<Value> values;
        QByteArray gathered;
        reader.values(def, reader.rowAt(m_rows[row]), values);
        out = reader.text(def.columns[std::size_t(column)], values[std::size_t(column)], budget,
                          gathered);
    } catch (const Damaged &) {
        // Every row passed the same checks when it was located; only a file changed since
        // gets here, and an empty value is all that can be said of it.
        out.resize(0);
    } catch (const std::bad_alloc &) {
        out.resize(0);
    }
}

QAnyStringView StoredTable::text(std::size_t row, int column, QString &buffer) const
{
    // The search's path: a kept column viewed in place, the buffer left alone.
    const int k = column >= 0 && std::size_t(column) < m_keptAt.size() ? m_keptAt[std::size_t(column)] : -1;
    if (k >= 0 && row < m_rows.size()) {
        const Place place = m_places[row * m_keptColumns.size() + std::size_t(k)];
        const char *base = place.decoded ? m_decoded->data()
                         : place.gathered ? m_gathered.constData()
                                          : m_located->reader.file().data();
        switch (place.kind) {
        case Place::Latin1:
            return QLatin1StringView(base + place.offset, qsizetype(place.size));
        case Place::Windows1252: {
            buffer.resize(qsizetype(place.size));
            char16_t *to = reinterpret_cast<char16_t *>(buffer.data());
            const uchar *from = reinterpret_cast<const uchar *>(base + place.offset);
            for (quint32 i = 0; i < place.size; ++i)
                to[i] = windows1252Char(from[i]);
            return buffer;
        }
        case Place::Null:
            buffer.resize(0);
            return buffer;
        case Place::Encoded:
            jetTextInto(QByteArrayView(base + place.offset, qsizetype(place.size)),
                        m_located->reader.jet4(), buffer);
            return buffer;
        case Place::Elsewhere:
            break;
        }
    }
    value(row, column, buffer);
    return buffer;
}

QByteArrayView StoredTable::oneByteText(std::size_t row, int column, bool *windows1252) const
{
    const int k = column >= 0 && std::size_t(column) < m_keptAt.size() ? m_keptAt[std::size_t(column)] : -1;
    if (k < 0 || row >= m_rows.size())
        return {};
    const Place place = m_places[row * m_keptColumns.size() + std::size_t(k)];
    if (place.kind != Place::Latin1 && place.kind != Place::Windows1252)
        return {};
    *windows1252 = place.kind == Place::Windows1252;
    const char *base = place.decoded ? m_decoded->data()
                         : place.gathered ? m_gathered.constData()
                                          : m_located->reader.file().data();
    return QByteArrayView(base + place.offset, qsizetype(place.size));
}

AccessFile::AccessFile() = default;
AccessFile::~AccessFile() = default;

namespace {

bool failed(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// Where stored text lies, for a reader that comes back to it often: viewed as Latin-1 where
// its bytes are Latin-1 as they stand, else to be decoded.
StoredTable::Place::Kind textKind(QByteArrayView bytes, bool jet4, qsizetype *skip)
{
    *skip = 0;
    if (jet4) {
        // Compressed text that never switches to two bytes per character.
        if (bytes.size() >= 2 && uchar(bytes[0]) == 0xff && uchar(bytes[1]) == 0xfe
            && !std::memchr(bytes.data() + 2, 0, std::size_t(bytes.size() - 2))) {
            *skip = 2;
            return StoredTable::Place::Latin1;
        }
        return bytes.isEmpty() ? StoredTable::Place::Latin1 : StoredTable::Place::Encoded;
    }
    // windows-1252 is Latin-1 but for the bytes 0x80 to 0x9F.
    for (char c : bytes)
        if (uchar(c) >= 0x80 && uchar(c) <= 0x9f)
            return StoredTable::Place::Encoded;
    return StoredTable::Place::Latin1;
}

} // namespace

bool AccessFile::open(const QString &path, QString *error)
{
    m_file = FileBytes::open(path, error);
    m_bytes.clear();
    m_pageCount = 0;
    if (!m_file)
        return false;
    const QByteArrayView bytes = m_file->bytes();
    return openBytes(QByteArray::fromRawData(bytes.data(), bytes.size()), error);
}

bool AccessFile::openBytes(QByteArray bytes, QString *error)
{
    m_bytes = std::move(bytes);
    m_pageCount = 0;
    // Read through a const view: a non-const look at viewed bytes would copy the whole file.
    const QByteArrayView header(m_bytes);
    constexpr qint64 kVersionOffset = 0x14;
    if (header.size() < kVersionOffset + 4 || header[0] != 0 || header[1] != 1)
        return failed(error, QStringLiteral("not an Access database"));
    // Jet4 and the later Access versions share the 4 KiB page layout read here.
    m_jet4 = uchar(header[kVersionOffset]) != 0;
    const qint64 pageCount = m_bytes.size() / (m_jet4 ? kJet4.pageSize : kJet3.pageSize);
    if (pageCount <= kCatalogPage)
        return failed(error, QStringLiteral("the database is cut short"));
    m_pageCount = pageCount;
    return true;
}

// Runs a read, turning a damaged or unsuitable file into false and its reason. Nothing thrown inside, by the reader or by the caller's sinks, leaves.
template<typename Read>
bool AccessFile::guarded(QString *error, const Read &read) const
{
    if (m_pageCount <= kCatalogPage)
        return failed(error, QStringLiteral("no database is open"));
    QString failure;
    try {
        read();
    } catch (const Damaged &damage) {
        failure = damage.damage ? QStringLiteral("damaged database: %1").arg(damage.reason) : damage.reason;
    } catch (const std::bad_alloc &) {
        failure = QStringLiteral("not enough memory to read the table");
    } catch (const std::exception &e) {
        failure = QStringLiteral("the table could not be read: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    return failure.isEmpty() || failed(error, failure);
}

bool AccessFile::readTable(const QString &name, const ColumnsSink &onColumns, const RowSink &onRow,
                           QString *error) const
{
    return guarded(error, [&] {
        const Reader reader(m_bytes, m_jet4);
        const TableDefinition def = reader.table(name, onColumns);
        ReadBudget budget(m_bytes.size(), m_pageCount);
        std::vector<Value> values;
        QByteArray gathered;
        QStringList texts;
        reader.forEachRow(def, budget, [&](quint64, const Bytes &row) {
            reader.values(def, row, values);
            texts.clear();
            texts.reserve(qsizetype(values.size()));
            for (std::size_t i = 0; i < values.size(); ++i)
                texts << reader.text(def.columns[i], values[i], budget, gathered);
            onRow(texts);
        });
    });
}

bool AccessFile::locateTable(const QString &name, const ColumnsSink &onColumns,
                             const QStringList &keptColumns, StoredTable *table,
                             QString *error, KeptText keptText) const
{
    return guarded(error, [&] {
        auto located = std::make_unique<StoredTable::Located>(
            StoredTable::Located{Reader(m_bytes, m_jet4), TableDefinition()});
        const Reader &reader = located->reader;
        TableDefinition &def = located->definition;
        def = reader.table(name, onColumns);
        std::vector<int> kept;
        for (const QString &column : keptColumns)
            kept.push_back(Reader::columnIndex(def, column));
        std::vector<int> keptAt(def.columns.size(), -1);  // column -> its place among the kept
        for (std::size_t k = 0; k < kept.size(); ++k)
            if (kept[k] >= 0)
                keptAt[std::size_t(kept[k])] = int(k);

        StoredTable::LargeList<quint64> rows;
        StoredTable::LargeList<StoredTable::Place> places;
        QByteArray gathered;
        // Room for the rows the definition states, within what the file could hold: growing
        // the lists row by row would touch their memory several times over.
        const std::size_t expected = std::min<std::size_t>(def.rowCount, std::size_t(m_bytes.size() / 16));
        rows.reserve(expected);
        places.reserve(expected * kept.size());
        ReadBudget budget(m_bytes.size(), m_pageCount);
        std::vector<Value> values;
        QByteArray scratch;
        std::string narrow;
        const QByteArrayView file(m_bytes);
        // Room for every text decoded once, which together take no more than the file: memory
        // asked for is only paid for where it is written.
        auto decoded = std::make_unique<LargeBuffer>(
            keptText == KeptText::OneByte ? std::size_t(m_bytes.size()) : 0);

        // What each wanted column needs: its text found (kept) or its value checked.
        std::vector<std::pair<std::size_t, int>> visits;
        for (std::size_t i = 0; i < def.columns.size(); ++i) {
            const int type = def.columns[i].type;
            const bool text = type == kText || type == kMemo;
            if (def.wanted[i] && ((keptAt[i] >= 0 && text) || type != kText))
                visits.emplace_back(i, text ? keptAt[i] : -1);
        }
        reader.forEachRow(def, budget, [&](quint64 where, const Bytes &row) {
            reader.values(def, row, values);
            const std::size_t first = places.size();
            places.resize(first + kept.size());
            for (const auto &[i, k] : visits) {
                const Column &c = def.columns[i];
                if (k < 0) {
                    // Checked as text() checks it; text itself cannot be damaged.
                    reader.check(c, values[i], budget, scratch);
                    if (keptAt[i] >= 0)
                        places[first + std::size_t(keptAt[i])].kind = StoredTable::Place::Elsewhere;
                    continue;
                }
                const QByteArrayView bytes = reader.textBytes(c, values[i], budget, scratch);
                StoredTable::Place &place = places[first + std::size_t(k)];
                if (!bytes.data())
                    continue;  // null
                qsizetype skip = 0;
                place.kind = textKind(bytes, m_jet4, &skip);
                place.size = quint32(bytes.size() - skip);
                const bool inFile = bytes.data() >= file.data() && bytes.data() <= file.data() + file.size();
                // Text that needs decoding is decoded once, into the room it takes (never more
                // than its stored bytes).
                qsizetype narrowSize = -1;
                // Text in the file is decoded straight into the copy where there is room.
                char *into = nullptr;
                if (place.kind == StoredTable::Place::Encoded && m_jet4 && keptText == KeptText::OneByte) {
                    into = inFile ? decoded->room(std::size_t(bytes.size())) : nullptr;
                    if (!into) {
                        if (narrow.size() < std::size_t(bytes.size()))
                            narrow.resize(std::size_t(bytes.size()));
                        into = narrow.data();
                    }
                    narrowSize = jetTextToWindows1252(bytes, into);
                }
                const bool narrowed = narrowSize >= 0;
                if (narrowed) {
                    place.kind = StoredTable::Place::Windows1252;
                    place.size = quint32(narrowSize);
                }
                if (inFile && narrowed) {
                    // Kept apart rather than written over the file's bytes, which a damaged
                    // file may let another row or value read as well. Past the room (texts of
                    // a damaged file may share bytes), the text is decoded when read instead.
                    const std::size_t at = decoded->size();
                    if (into != narrow.data()) {
                        decoded->keep(std::size_t(narrowSize));
                        place.decoded = true;
                        place.offset = quint32(at);
                    } else if (decoded->append(narrow.data(), std::size_t(narrowSize))) {
                        place.decoded = true;
                        place.offset = quint32(at);
                    } else {
                        place.kind = StoredTable::Place::Encoded;
                        place.size = quint32(bytes.size());
                        place.offset = quint32(bytes.data() - file.data());
                    }
                } else if (inFile) {
                    place.offset = quint32(bytes.data() + skip - file.data());
                } else {
                    // A long value gathered from several records is kept whole.
                    place.gathered = true;
                    place.offset = quint32(gathered.size() + skip);
                    if (narrowed)
                        gathered.append(narrow.data(), narrowSize);
                    else
                        gathered.append(bytes);
                }
            }
            rows.push_back(where);
        });
        table->m_located = std::move(located);
        table->m_rows = std::move(rows);
        table->m_places = std::move(places);
        table->m_keptAt.assign(keptAt.begin(), keptAt.end());
        table->m_keptColumns = std::move(kept);
        table->m_gathered = std::move(gathered);
        table->m_decoded = std::move(decoded);
    });
}

std::optional<AccessTable> AccessFile::readTable(const QString &name, QString *error) const
{
    AccessTable table;
    const bool read = readTable(
        name,
        [&table](Columns &columns, QString *) {
            table.columns = columns.names;
            table.types = columns.types;
            return true;
        },
        [&table](QStringList &values) { table.rows.push_back(std::move(values)); }, error);
    if (!read)
        return std::nullopt;
    return table;
}

} // namespace ruzez
