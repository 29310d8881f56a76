// libFuzzer target: any bytes through the open-and-read path of the links
// database. The reader must answer every input with rows or an error.

#include "access/access_file.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ruzez::AccessFile file;
    QString error;
    if (file.openBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error)) {
        const auto table = file.readTable(QStringLiteral("LINKS"), &error);
        if (!table && error.isEmpty())
            __builtin_trap();  // a failure must say why
    }
    return 0;
}
