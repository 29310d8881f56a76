#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace ruzez {

// Writes an Access 2000 (Jet4) database holding one table, the form the links
// database takes. Readers written by others (the database engine, libmdb's
// tools) read these files: page 0 carries the masked header with a null
// database key, and the catalog has the columns those readers look up.
class JetWriter
{
public:
    // DateTime values are given as Access keeps them: days since 1899-12-30 as a decimal number,
    // the time of day as the fraction ("-1.25" is 1899-12-29 at 06:00).
    enum class ColumnType { LongInteger, Text, Memo, DateTime };

    struct Column
    {
        QString name;
        ColumnType type = ColumnType::Text;
        // Stored in the other storage kind than Access's default: a number among the
        // variable-length values, a text among the fixed-length ones (kMaxTextLength
        // characters, UCS-2, padded with spaces). Readers are checked against such files.
        bool otherStorage = false;
    };

    // How a row is laid down. Relocated and deleted rows are what a database
    // that has been edited in place holds; the writer makes them so that
    // readers can be checked against such files.
    enum class Placement {
        Stored,     // in its slot
        Relocated,  // its slot points to the row's copy on a later page
        Deleted,    // in its slot, flagged deleted: not part of the table
        // Damage, for readers' tests: the row's slot points to the copy of the last row
        // relocated before it, or its memo to the long value of the last row before it that
        // has one; the row's own copy or long value is not stored.
        SharingRelocated,
        SharingLongValue,
    };

    static constexpr int kMaxTextLength = 255;  // characters in a text column

    JetWriter(QString tableName, std::vector<Column> columns);

    // Adds one row, a value per column; a null QString stores a null value.
    // False, with the reason, when a value does not fit its column.
    bool addRow(const QStringList &values, QString *error = nullptr,
                Placement placement = Placement::Stored);

    // Every row added so far laid out as a database file.
    QByteArray bytes(QString *error = nullptr) const;
    // Writes the file in one go: a failure never leaves half a database.
    bool write(const QString &path, QString *error = nullptr) const;

private:
    struct Row
    {
        std::vector<QByteArray> fields;  // encoded values; a null QByteArray is a null value
        Placement placement = Placement::Stored;
    };

    QString m_tableName;
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
};

} // namespace ruzez
