#include "search/links_table.h"

#include "access/access_file.h"

#include <array>
#include <type_traits>
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

// The file stays mapped while the rows are looked at; each field has its own buffer, reused
// from row to row, so that the title and the description of one row can be held at once.
class StoredLinks final : public LinkRows
{
public:
    bool open(const QString &path, QString *error)
    {
        return openFile(path, m_file, error)
            && m_file.locateTable(QLatin1String(LinksTable::kTableName), fieldFinder(m_at),
                                  {QLatin1String(kFields[2]), QLatin1String(kFields[3])}, &m_table,
                                  error, AccessFile::KeptText::OneByte);
    }

    std::size_t size() const override { return m_table.rowCount(); }
    const QString &title(std::size_t row) const override
    {
        // Titles are hashed as QStrings: a title viewed in the file is copied into the buffer.
        const QAnyStringView text = m_table.text(row, int(m_at[2]), m_title);
        text.visit([this](auto view) {
            if constexpr (std::is_same_v<decltype(view), QLatin1StringView>) {
                m_title.resize(0);
                m_title.append(view);
            }
        });
        return m_title;
    }
    QAnyStringView titleText(std::size_t row, QString &buffer) const override
    {
        return m_table.text(row, int(m_at[2]), buffer);
    }
    QByteArrayView titleBytes(std::size_t row, bool *windows1252) const override
    {
        return m_table.oneByteText(row, int(m_at[2]), windows1252);
    }
    const QString &address(std::size_t row) const override { return field(row, 1, m_address); }
    QAnyStringView description(std::size_t row) const override
    {
        return m_table.text(row, int(m_at[3]), m_description);
    }
    QByteArrayView descriptionBytes(std::size_t row, bool *windows1252) const override
    {
        return m_table.oneByteText(row, int(m_at[3]), windows1252);
    }

private:
    const QString &field(std::size_t row, int which, QString &buffer) const
    {
        m_table.value(row, int(m_at[which]), buffer);
        return buffer;
    }

    AccessFile m_file;
    StoredTable m_table;
    FieldColumns m_at{};
    mutable QString m_title;
    mutable QString m_address;
    mutable QString m_description;
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
