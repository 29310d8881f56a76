// libFuzzer target: any bytes through the two read paths of the links database, the whole
// table and the table located for a search. The reader must answer every input with rows or
// an error, the two paths must agree, and no exception may leave it.

#include "access/access_file.h"
#include "access/access_text.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ruzez::AccessFile file;
    QString error;
    if (!file.openBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error))
        return 0;
    const auto table = file.readTable(QStringLiteral("LINKS"), &error);
    if (!table && error.isEmpty())
        __builtin_trap();  // a failure must say why
    ruzez::StoredTable stored;
    QString locateError;
    const bool located = file.locateTable(
        QStringLiteral("LINKS"), [](ruzez::AccessFile::Columns &, QString *) { return true; },
        {QStringLiteral("SubCategory"), QStringLiteral("Description")}, &stored, &locateError);
    if (located != bool(table) || locateError != error)
        __builtin_trap();  // both paths accept and refuse the same files
    if (!located)
        return 0;
    QString buffer;
    for (std::size_t row = 0; row < stored.rowCount(); ++row) {
        for (int column = 0; column < int(table->columns.size()); ++column) {
            if (stored.text(row, column, buffer).toString() != table->rows[row][column])
                __builtin_trap();  // a located value reads as the whole read gave it
        }
    }
    // Located for the search, its texts rewritten one byte per character in place: the same
    // rows, the same values, every kept text handed out as bytes reading alike.
    ruzez::AccessFile own;
    if (!own.openBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error))
        __builtin_trap();
    ruzez::StoredTable oneByte;
    if (!own.locateTable(
            QStringLiteral("LINKS"), [](ruzez::AccessFile::Columns &, QString *) { return true; },
            {QStringLiteral("SubCategory"), QStringLiteral("Description")}, &oneByte, &locateError,
            ruzez::AccessFile::KeptText::OneByte)
        || oneByte.rowCount() != stored.rowCount())
        __builtin_trap();
    for (std::size_t row = 0; row < oneByte.rowCount(); ++row) {
        for (int column = 0; column < int(table->columns.size()); ++column) {
            if (oneByte.text(row, column, buffer).toString() != table->rows[row][column])
                __builtin_trap();
            bool windows1252 = false;
            const QByteArrayView bytes = oneByte.oneByteText(row, column, &windows1252);
            if (!bytes.data())
                continue;
            QString read;
            for (char c : bytes)
                read += QChar(windows1252 ? ruzez::windows1252Char(uchar(c)) : char16_t(uchar(c)));
            if (read != table->rows[row][column])
                __builtin_trap();
        }
    }
    return 0;
}
