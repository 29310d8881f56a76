#include "search/links_table.h"

#include "access/access_file.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ruzez {

namespace {

// The fields are found by name, whatever their place; other fields are ignored.
constexpr std::array<const char *, 4> kFields = {"LinkID", "URL", "SubCategory", "Description"};
using FieldColumns = std::array<qsizetype, 4>;

AccessFile::ColumnsSink fieldFinder(FieldColumns &at)
{
    return [&at](AccessFile::Columns &columns, QString *refusal) {
        const QStringList &names = columns.names;
        for (size_t i = 0; i < kFields.size(); ++i) {
            at[i] = -1;
            for (qsizetype c = 0; c < names.size() && at[i] < 0; ++c)
                if (names[c].compare(QLatin1String(kFields[i]), Qt::CaseInsensitive) == 0)
                    at[i] = c;
            if (at[i] < 0) {
                *refusal = QStringLiteral("table %1 has no field %2")
                               .arg(QLatin1String(LinksTable::kTableName), QLatin1String(kFields[i]));
                return false;
            }
        }
        // Other fields are neither decoded nor checked: damage there does not hide the links.
        columns.wanted.assign(columns.wanted.size(), false);
        for (qsizetype column : at)
            columns.wanted[std::size_t(column)] = true;
        return true;
    };
}

bool openFile(const QString &path, AccessFile &file, QString *error)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no database path is set");
        return false;
    }
    return file.open(path, error);
}

} // namespace

// The table located in its file, which stays open while the search runs: the rows are read
// once, as the search visits them, and only the addresses of rows listed are read again.
class StoredLinks final : public LinkRows
{
public:
    bool open(const QString &path, QString *error)
    {
        return openFile(path, m_file, error)
            && m_file.locateTable(QLatin1String(LinksTable::kTableName), fieldFinder(m_at),
                                  {QLatin1String(kFields[2]), QLatin1String(kFields[3])}, &m_table,
                                  error);
    }

    bool forEachRow(const RowVisitor &visit, QString *error) const override
    {
        m_kept.clear();
        m_where.clear();
        const std::size_t expected = std::min<std::size_t>(m_table.rowCountHint(), std::size_t(1) << 24);
        m_kept.reserve(expected);
        m_where.reserve(expected);
        std::size_t row = 0;
        const bool read = m_table.scan(
            [&](quint64 where, const StoredTable::Text *texts) {
                if (visit(row, linkText(texts[0]), linkText(texts[1]))) {
                    m_kept.push_back(quint32(row));
                    m_where.push_back(packed(where));
                }
                ++row;
            },
            error);
        if (!read) {
            m_kept.clear();
            m_where.clear();
        }
        return read;
    }

    std::size_t rowCountHint() const override { return m_table.rowCountHint(); }

    QString address(std::size_t row) const override
    {
        QString url;
        const auto kept = std::lower_bound(m_kept.begin(), m_kept.end(), row);
        if (kept != m_kept.end() && *kept == row)
            m_table.value(unpacked(m_where[std::size_t(kept - m_kept.begin())]), int(m_at[1]), url);
        return url;
    }

private:
    // A row's place in 32 bits: its page (the file holds fewer than 2^20) and its slot there
    // (a page's slot table holds fewer than 2^11).
    static quint32 packed(quint64 where) { return quint32((where >> 16) << 11 | (where & 0x7ff)); }
    static quint64 unpacked(quint32 where) { return quint64(where >> 11) << 16 | (where & 0x7ff); }

    static LinkText linkText(const StoredTable::Text &text)
    {
        if (text.oneByte.data())
            return LinkText{text.oneByte, text.windows1252, {}};
        return LinkText{{}, false, text.text};
    }

    AccessFile m_file;
    StoredTable m_table;
    FieldColumns m_at{};
    // The rows whose address may be asked for, in order, and where the file holds each.
    mutable std::vector<quint32> m_kept;
    mutable std::vector<quint32> m_where;
};

LinksTable::LinksTable(QString databasePath)
    : m_databasePath(std::move(databasePath))
{
}

bool LinksTable::forEachRow(const std::function<void(LinkRow &&)> &onRow, QString *error) const
{
    AccessFile file;
    if (!openFile(m_databasePath, file, error))
        return false;
    FieldColumns at{};
    auto takeRow = [&](QStringList &values) {
        onRow(LinkRow{std::move(values[at[0]]), std::move(values[at[1]]), std::move(values[at[2]]),
                      std::move(values[at[3]])});
    };
    return file.readTable(QLatin1String(kTableName), fieldFinder(at), takeRow, error);
}

std::optional<std::vector<LinkRow>> LinksTable::rows(QString *error) const
{
    std::vector<LinkRow> rows;
    if (!forEachRow([&rows](LinkRow &&row) { rows.push_back(std::move(row)); }, error))
        return std::nullopt;
    return rows;
}

std::unique_ptr<LinkRows> LinksTable::open(QString *error) const
{
    auto links = std::make_unique<StoredLinks>();
    if (!links->open(m_databasePath, error))
        return nullptr;
    return links;
}

} // namespace ruzez
