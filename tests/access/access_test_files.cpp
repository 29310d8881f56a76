#include "access_test_files.h"

#include "access/csv_text.h"

#include <QProcess>
#include <QStandardPaths>

namespace ruzez::test {

JetWriter linksWriter()
{
    return JetWriter(QStringLiteral("LINKS"),
                     {{QStringLiteral("LinkID"), JetWriter::ColumnType::LongInteger},
                      {QStringLiteral("URL"), JetWriter::ColumnType::Text},
                      {QStringLiteral("SubCategory"), JetWriter::ColumnType::Text},
                      {QStringLiteral("Description"), JetWriter::ColumnType::Memo}});
}

QStringList fields(const LinkRow &row)
{
    return {row.LinkID, row.URL, row.SubCategory, row.Description};
}

QByteArray linksDatabase(const std::vector<LinkRow> &rows,
                         const std::vector<JetWriter::Placement> &placements)
{
    JetWriter writer = linksWriter();
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto placement = i < placements.size() ? placements[i] : JetWriter::Placement::Stored;
        if (!writer.addRow(fields(rows[i]), nullptr, placement))
            return {};
    }
    return writer.bytes();
}

bool haveMdbExport()
{
    return !QStandardPaths::findExecutable(QStringLiteral("mdb-export")).isEmpty();
}

std::optional<std::vector<QStringList>> mdbExport(const QString &path, const QString &table)
{
    if (!haveMdbExport())
        return std::nullopt;
    QProcess process;
    // Long binary values are left out: they are not text and the comparisons skip them.
    process.start(QStringLiteral("mdb-export"), {QStringLiteral("-b"), QStringLiteral("strip"), path, table});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    QString error;
    return csv::parse(process.readAllStandardOutput(), &error);
}

} // namespace ruzez::test
