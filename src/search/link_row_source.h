#pragma once

#include "search/link_fields.h"

#include <QAnyStringView>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

namespace ruzez {

// A field as the search reads it: one byte per character where it is held so (`bytes` not
// null; windows-1252 when `windows1252` is set, else Latin-1), else `text`.
struct LinkText
{
    QByteArrayView bytes;
    bool windows1252 = false;
    QAnyStringView text;
};

// The links table as the search reads it: every row once, in stored order, its title and its
// description; then the addresses of the few rows listed. A table read from its file need
// not be held decoded, nor held at all.
class LinkRows
{
public:
    virtual ~LinkRows() = default;

    // Visits the rows in stored order, numbered from 0; the texts are valid during the call.
    // The visitor answers whether it may ask for the row's address afterwards. False, with the
    // reason in `error`, where the table cannot be read: the rows visited before are then to
    // be forgotten.
    using RowVisitor = std::function<bool(std::size_t row, const LinkText &title,
                                          const LinkText &description)>;
    virtual bool forEachRow(const RowVisitor &visit, QString *error = nullptr) const = 0;

    // How many rows there may be, for a visitor that makes room: a hint, not a count.
    virtual std::size_t rowCountHint() const = 0;

    // The address (URL) of a row the last forEachRow() visited and whose address the visitor
    // said it may ask for; empty for any other.
    virtual QString address(std::size_t row) const = 0;
};

// Rows already held in memory.
class LinkRowList final : public LinkRows
{
public:
    explicit LinkRowList(const std::vector<LinkRow> &rows) : m_rows(rows) {}

    bool forEachRow(const RowVisitor &visit, QString * = nullptr) const override
    {
        for (std::size_t row = 0; row < m_rows.size(); ++row)
            visit(row, LinkText{{}, false, m_rows[row].SubCategory},
                  LinkText{{}, false, m_rows[row].Description});
        return true;
    }
    std::size_t rowCountHint() const override { return m_rows.size(); }
    QString address(std::size_t row) const override { return m_rows[row].URL; }

private:
    const std::vector<LinkRow> &m_rows;
};

} // namespace ruzez
