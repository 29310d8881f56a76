#pragma once

#include "search/link_row.h"

#include <QAnyStringView>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <vector>

namespace ruzez {

// The links table as the search reads it: rows in stored order, one field at a time, so that
// a table read from its file need not be held decoded. A field is handed out by reference,
// valid until the next call for the same field.
class LinkRows
{
public:
    virtual ~LinkRows() = default;

    virtual std::size_t size() const = 0;
    virtual const QString &title(std::size_t row) const = 0;       // SubCategory
    // The same title as stored where that needs no decoding, else decoded into `buffer`: the
    // search compares the titles of every row, and two views can be held at once.
    virtual QAnyStringView titleText(std::size_t row, QString &buffer) const
    {
        Q_UNUSED(buffer);
        return title(row);
    }
    // The title where it is held one byte per character, as descriptionBytes() hands out the
    // description; a null view where titleText() is to be asked.
    virtual QByteArrayView titleBytes(std::size_t row, bool *windows1252) const
    {
        Q_UNUSED(row);
        Q_UNUSED(windows1252);
        return {};
    }
    virtual const QString &address(std::size_t row) const = 0;     // URL
    // As stored where that needs no decoding (Latin-1 text, say), else decoded.
    virtual QAnyStringView description(std::size_t row) const = 0;
    // The description where it is held one byte per character, in windows-1252 when
    // `windows1252` is set, else in Latin-1; a null view where description() is to be asked.
    virtual QByteArrayView descriptionBytes(std::size_t row, bool *windows1252) const
    {
        Q_UNUSED(row);
        Q_UNUSED(windows1252);
        return {};
    }
};

// Rows already held in memory.
class LinkRowList final : public LinkRows
{
public:
    explicit LinkRowList(const std::vector<LinkRow> &rows) : m_rows(rows) {}

    std::size_t size() const override { return m_rows.size(); }
    const QString &title(std::size_t row) const override { return m_rows[row].SubCategory; }
    const QString &address(std::size_t row) const override { return m_rows[row].URL; }
    QAnyStringView description(std::size_t row) const override { return m_rows[row].Description; }

private:
    const std::vector<LinkRow> &m_rows;
};

} // namespace ruzez
