// libFuzzer target: any bytes through the two read paths of the links database, the whole
// table and the table located for a search. The reader must answer every input with rows or
// an error, the two paths must agree, and no exception may leave it.

#include "access/access_file.h"

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
    return 0;
}
