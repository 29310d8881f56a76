// libFuzzer target: any bytes through the two read paths of the links database, the whole
// table read from memory and the table scanned for a search from a file, its pages read as
// needed. The reader must answer every input with rows or an error, the two paths must agree,
// and no exception may leave it.

#include "access/access_file.h"
#include "access/access_text.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {

QString scanned(const ruzez::StoredTable::Text &text)
{
    if (!text.oneByte.data())
        return text.text.toString();
    QString read;
    for (char c : text.oneByte)
        read += QChar(text.windows1252 ? ruzez::windows1252Char(uchar(c)) : char16_t(uchar(c)));
    return read;
}

// The input as a file: one in memory, rewritten for each input.
QString asFile(const uint8_t *data, size_t size)
{
    static const int fd = memfd_create("environ.mdb", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        __builtin_trap();
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ruzez::AccessFile file;
    QString error;
    if (!file.openBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error))
        return 0;
    const auto table = file.readTable(QStringLiteral("LINKS"), &error);
    if (!table && error.isEmpty())
        __builtin_trap();  // a failure must say why
    const QStringList kept{QStringLiteral("SubCategory"), QStringLiteral("Description")};
    ruzez::AccessFile onDisk;
    if (!onDisk.open(asFile(data, size), &error))
        __builtin_trap();
    ruzez::StoredTable stored;
    QString scanError;
    std::vector<quint64> places;
    std::vector<QStringList> texts;
    const bool read =
        onDisk.locateTable(QStringLiteral("LINKS"), [](ruzez::AccessFile::Columns &, QString *) { return true; },
                         kept, &stored, &scanError)
        && stored.scan(
            [&](quint64 where, const ruzez::StoredTable::Text *text) {
                places.push_back(where);
                texts.push_back({scanned(text[0]), scanned(text[1])});
            },
            &scanError);
    if (read != bool(table) || scanError != error)
        __builtin_trap();  // both paths accept and refuse the same files
    if (!read)
        return 0;
    if (places.size() != table->rows.size())
        __builtin_trap();
    // Each kept column is the first of its name, letter case ignored.
    std::vector<int> keptAt;
    for (const QString &name : kept) {
        int at = -1;
        for (int column = 0; column < int(table->columns.size()) && at < 0; ++column)
            if (table->columns[column].compare(name, Qt::CaseInsensitive) == 0)
                at = column;
        keptAt.push_back(at);
    }
    QString value;
    for (std::size_t row = 0; row < places.size(); ++row) {
        for (int column = 0; column < int(table->columns.size()); ++column) {
            stored.value(places[row], column, value);
            if (value != table->rows[row][column])
                __builtin_trap();  // a value read again reads as the whole read gave it
        }
        for (std::size_t k = 0; k < keptAt.size(); ++k) {
            const QString expected = keptAt[k] < 0 ? QString() : table->rows[row][keptAt[k]];
            if (texts[row][qsizetype(k)] != expected)
                __builtin_trap();  // a scanned text reads alike
        }
    }
    return 0;
}
