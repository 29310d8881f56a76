#include "commands.h"
#include "access/csv_text.h"

#include "access/jet_writer.h"
#include "search/links_table.h"

#include <QFile>

namespace ruzez::links_tool {

// ruzez-links build ROWS.csv environ.mdb
int buildCommand(const QStringList &args, QTextStream &, QTextStream &err)
{
    if (args.size() != 2) {
        err << "ruzez-links build: expected ROWS.csv and the database to write\n";
        return kUsage;
    }
    const QString &source = args[0];
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "ruzez-links build: cannot read " << source << ": " << file.errorString() << '\n';
        return kFailure;
    }
    QString error;
    const auto records = csv::parse(file.readAll(), &error);
    if (!records) {
        err << "ruzez-links build: " << source << ": " << error << '\n';
        return kFailure;
    }
    if (records->empty() || records->front() != kHeader) {
        err << "ruzez-links build: " << source << ": the first line must be " << kHeader.join(u',')
            << '\n';
        return kFailure;
    }

    JetWriter writer(QString::fromLatin1(LinksTable::kTableName),
                     {{kHeader[0], JetWriter::ColumnType::LongInteger},
                      {kHeader[1], JetWriter::ColumnType::Text},
                      {kHeader[2], JetWriter::ColumnType::Text},
                      {kHeader[3], JetWriter::ColumnType::Memo}});
    for (size_t i = 1; i < records->size(); ++i) {
        QStringList values = (*records)[i];
        if (values.size() != kHeader.size()) {
            err << "ruzez-links build: " << source << ": record " << i << " has " << values.size()
                << " fields, not " << kHeader.size() << '\n';
            return kFailure;
        }
        // An empty LinkID is a null number; the texts stay texts, even empty.
        if (values[0].trimmed().isEmpty())
            values[0] = QString();
        if (!writer.addRow(values, &error)) {
            err << "ruzez-links build: " << source << ": record " << i << ": " << error << '\n';
            return kFailure;
        }
    }
    if (!writer.write(args[1], &error)) {
        err << "ruzez-links build: " << error << '\n';
        return kFailure;
    }
    return kSuccess;
}

} // namespace ruzez::links_tool
