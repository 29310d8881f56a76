#include "access/access_file.h"

#include "access/access_reader.h"
#include "access/access_text.h"
#include "access/page_file.h"

#include <algorithm>
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
    std::vector<int> kept;  // the kept columns, -1 for a name not in the table
};

StoredTable::StoredTable() = default;
StoredTable::~StoredTable() = default;

std::size_t StoredTable::rowCountHint() const
{
    if (!m_located)
        return 0;
    return std::min<std::size_t>(m_located->definition.rowCount,
                                 std::size_t(m_located->reader.fileSize() / 16));
}

void StoredTable::value(quint64 where, int column, QString &out) const
{
    out.resize(0);
    if (!m_located || column < 0 || std::size_t(column) >= m_located->definition.columns.size())
        return;
    try {
        const Reader &reader = m_located->reader;
        const TableDefinition &def = m_located->definition;
        // Each value is read on its own, within a bound of its own.
        ReadBudget budget(reader.fileSize(), reader.pageCount());
        std::vector<Value> values;
        QByteArray gathered;
        reader.values(def, reader.rowAt(where), values);
        out = reader.text(def.columns[std::size_t(column)], values[std::size_t(column)], budget,
                          gathered);
    } catch (const Damaged &) {
        // The row passed the same checks when it was scanned; only a file changed since gets
        // here, and an empty value is all that can be said of it.
        out.resize(0);
    } catch (const std::bad_alloc &) {
        out.resize(0);
    }
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

// Runs a read, turning a damaged or unsuitable file into false and its reason. Nothing thrown
// inside, by the reader or by the caller's sinks, leaves.
template<typename Read>
bool guardedRead(QString *error, const Read &read)
{
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

// Jet3 text is windows-1252, which is Latin-1 but for the bytes 0x80 to 0x9F.
bool windows1252OnlyLatin1(QByteArrayView bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80 && uchar(c) <= 0x9f)
            return false;
    return true;
}

} // namespace

bool AccessFile::open(const QString &path, QString *error)
{
    m_pages.reset();
    m_pageCount = 0;
    std::unique_ptr<PageFile> pages = PageFile::open(path, error);
    return pages && openPages(std::move(pages), error);
}

bool AccessFile::openBytes(QByteArray bytes, QString *error)
{
    return openPages(PageFile::fromBytes(std::move(bytes)), error);
}

bool AccessFile::openPages(std::unique_ptr<access::PageFile> pages, QString *error)
{
    m_pages = std::move(pages);
    m_pageCount = 0;
    constexpr qint64 kVersionOffset = 0x14;
    const QByteArray header = m_pages->head(kVersionOffset + 4);
    if (header.size() < kVersionOffset + 4 || header[0] != 0 || header[1] != 1)
        return failed(error, QStringLiteral("not an Access database"));
    // Jet4 and the later Access versions share the 4 KiB page layout read here.
    m_jet4 = uchar(header[kVersionOffset]) != 0;
    m_pages->setPageSize(m_jet4 ? kJet4.pageSize : kJet3.pageSize);
    const qint64 pageCount = m_pages->pageCount();
    if (pageCount <= kCatalogPage)
        return failed(error, QStringLiteral("the database is cut short"));
    m_pageCount = pageCount;
    return true;
}

template<typename Read>
bool AccessFile::guarded(QString *error, const Read &read) const
{
    if (m_pageCount <= kCatalogPage)
        return failed(error, QStringLiteral("no database is open"));
    return guardedRead(error, read);
}

bool AccessFile::readTable(const QString &name, const ColumnsSink &onColumns, const RowSink &onRow,
                           QString *error) const
{
    return guarded(error, [&] {
        const Reader reader(*m_pages, m_jet4);
        const TableDefinition def = reader.table(name, onColumns);
        ReadBudget budget(reader.fileSize(), m_pageCount);
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
                             QString *error) const
{
    return guarded(error, [&] {
        auto located = std::make_unique<StoredTable::Located>(
            StoredTable::Located{Reader(*m_pages, m_jet4), TableDefinition(), {}});
        located->definition = located->reader.table(name, onColumns);
        for (const QString &column : keptColumns)
            located->kept.push_back(Reader::columnIndex(located->definition, column));
        table->m_located = std::move(located);
    });
}

bool StoredTable::scan(const RowSink &onRow, QString *error) const
{
    if (!m_located)
        return failed(error, QStringLiteral("no table is located"));
    return guardedRead(error, [&] {
        const Reader &reader = m_located->reader;
        const TableDefinition &def = m_located->definition;
        const std::vector<int> &kept = m_located->kept;
        const bool jet4 = reader.jet4();
        std::vector<int> keptAt(def.columns.size(), -1);  // column -> its place among the kept
        for (std::size_t k = 0; k < kept.size(); ++k)
            if (kept[k] >= 0)
                keptAt[std::size_t(kept[k])] = int(k);
        // What each wanted column needs: its text found (kept) or its value checked.
        std::vector<std::pair<std::size_t, int>> visits;
        for (std::size_t i = 0; i < def.columns.size(); ++i) {
            const int type = def.columns[i].type;
            const bool text = type == kText || type == kMemo;
            if (def.wanted[i] && (keptAt[i] >= 0 || type != kText))
                visits.emplace_back(i, text ? keptAt[i] : -1);
        }
        // Each kept column has room of its own, so that all the row's texts are held at once:
        // a long value read from its pages, its text written one byte per character, decoded.
        struct Room
        {
            QByteArray gathered;
            QByteArray held;
            std::string narrow;
            QString decoded;
        };
        std::vector<Room> rooms(kept.size());
        std::vector<StoredTable::Text> texts(kept.size());
        ReadBudget budget(reader.fileSize(), reader.pageCount());
        std::vector<Value> values;
        QByteArray scratch;
        reader.forEachRow(def, budget, [&](quint64 where, const Bytes &row) {
            reader.values(def, row, values);
            std::fill(texts.begin(), texts.end(), StoredTable::Text{QByteArrayView("", 0), false, {}});
            for (const auto &[i, k] : visits) {
                const Column &c = def.columns[i];
                if (k < 0) {
                    if (keptAt[i] < 0) {
                        reader.check(c, values[i], budget, scratch);
                        continue;
                    }
                    // Kept but not text: checked as text() checks it by writing it.
                    Room &room = rooms[std::size_t(keptAt[i])];
                    room.decoded = reader.text(c, values[i], budget, scratch);
                    texts[std::size_t(keptAt[i])] = {QByteArrayView(), false, room.decoded};
                    continue;
                }
                Room &room = rooms[std::size_t(k)];
                StoredTable::Text &text = texts[std::size_t(k)];
                QByteArrayView bytes = reader.textBytes(c, values[i], budget, room.gathered);
                if (!bytes.data())
                    continue;  // null
                // A long value held in one record lies on a page the next read replaces.
                const char *rowStart = reinterpret_cast<const char *>(row.data);
                if ((bytes.data() < rowStart || bytes.data() > rowStart + row.size)
                    && bytes.data() != room.gathered.constData()) {
                    room.held.resize(0);
                    room.held.append(bytes);
                    bytes = room.held;
                }
                if (bytes.isEmpty() || (jet4 ? isCompressedLatin1(bytes) : windows1252OnlyLatin1(bytes))) {
                    text.oneByte = jet4 && !bytes.isEmpty() ? bytes.sliced(2) : bytes;
                    continue;
                }
                if (jet4) {
                    if (room.narrow.size() < std::size_t(bytes.size()))
                        room.narrow.resize(std::size_t(bytes.size()));
                    const qsizetype narrowed = jetTextToWindows1252(bytes, room.narrow.data());
                    if (narrowed >= 0) {
                        text.oneByte = QByteArrayView(room.narrow.data(), narrowed);
                        text.windows1252 = true;
                        continue;
                    }
                }
                jetTextInto(bytes, jet4, room.decoded);
                text.oneByte = QByteArrayView();
                text.text = room.decoded;
            }
            onRow(where, texts.data());
        });
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
