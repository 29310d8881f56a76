#include "commands.h"
#include "access/csv_text.h"

#include "search/links_table.h"

#include <QIODevice>

namespace ruzez::links_tool {

// ruzez-links export environ.mdb: the table as the text `build` reads.
int exportCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "ruzez-links export: expected the database to read\n";
        return kUsage;
    }
    // Rows go out as they are read, in bytes straight to the device, so a large table is
    // never held whole.
    out.flush();
    QIODevice *device = out.device();
    constexpr qsizetype kChunk = 1 << 16;
    QByteArray chunk = csv::record(kHeader);
    bool written = true;
    auto flush = [&] {
        written = written && device->write(chunk) == chunk.size();
        chunk.resize(0);
    };
    QString error;
    const bool read = LinksTable(args[0]).forEachRow(
        [&](LinkRow &&row) {
            chunk += csv::record({row.LinkID, row.URL, row.SubCategory, row.Description});
            if (chunk.size() > kChunk)
                flush();
        },
        &error);
    if (!read) {
        err << "ruzez-links export: " << args[0] << ": " << error << '\n';
        return kFailure;
    }
    flush();
    if (!written) {
        err << "ruzez-links export: cannot write the output\n";
        return kFailure;
    }
    return kSuccess;
}

} // namespace ruzez::links_tool
