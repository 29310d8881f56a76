#include "commands.h"
#include "search/csv_text.h"

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
    QString error;
    const auto rows = LinksTable(args[0]).rows(&error);
    if (!rows) {
        err << "ruzez-links export: " << args[0] << ": " << error << '\n';
        return kFailure;
    }
    // Bytes straight to the device: the stream's own encoding stays out of the way.
    out.flush();
    QIODevice *device = out.device();
    QByteArray chunk = csv::record(kHeader);
    for (const LinkRow &row : *rows) {
        chunk += csv::record({row.LinkID, row.URL, row.SubCategory, row.Description});
        if (chunk.size() > (1 << 16)) {
            device->write(chunk);
            chunk.clear();
        }
    }
    if (device->write(chunk) != chunk.size()) {
        err << "ruzez-links export: cannot write the output\n";
        return kFailure;
    }
    return kSuccess;
}

} // namespace ruzez::links_tool
