#include "search/search_requests.h"

#include "search/links_table.h"

#include <QDataStream>
#include <QDir>
#include <QIODevice>

namespace ruzez::search_requests {

namespace {

constexpr auto kSearch = "search.run";

KeywordSearch searchHere(const QString &databasePath, const QString &boxText, SearchMode mode)
{
    const std::unique_ptr<LinkRows> rows = databasePath.isEmpty() ? nullptr : LinksTable(databasePath).open();
    return keywordSearch(rows.get(), boxText, mode);
}

QByteArray answer(const QByteArray &input)
{
    QDataStream in(input);
    QString databasePath;
    QString boxText;
    qint32 mode = 0;
    in >> databasePath >> boxText >> mode;
    const KeywordSearch search = searchHere(databasePath, boxText, SearchMode(mode));
    QByteArray output;
    QDataStream out(&output, QIODevice::WriteOnly);
    out << search.keywords << search.ran << search.message << qint32(search.hits.size());
    for (const SearchHit &hit : search.hits)
        out << hit.title << hit.address;
    return output;
}

} // namespace

KeywordSearch run(FileAccess &files, const QString &databasePath, const QString &boxText, SearchMode mode)
{
    QByteArray input;
    QDataStream out(&input, QIODevice::WriteOnly);
    out << databasePath << boxText << qint32(mode);
    const QString volume = QDir::cleanPath(databasePath.section(QLatin1Char('/'), 0, -2));
    const FileAccess::Reply reply = files.run(kSearch, input, volume, kLimit, FileAccess::Waiting::AnsweringWindow);
    if (reply.outcome == FileAccess::Outcome::NoAnswer)
        return keywordSearch(nullptr, boxText, mode);
    if (reply.outcome == FileAccess::Outcome::Failed)
        return searchHere(databasePath, boxText, mode);
    QDataStream in(reply.data);
    KeywordSearch search;
    qint32 count = 0;
    in >> search.keywords >> search.ran >> search.message >> count;
    search.hits.reserve(qMax(count, 0));
    for (qint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
        SearchHit hit;
        in >> hit.title >> hit.address;
        search.hits.append(hit);
    }
    if (in.status() != QDataStream::Ok)
        return searchHere(databasePath, boxText, mode);
    return search;
}

void addOperations(FileOperations &operations)
{
    operations[kSearch] = &answer;
}

} // namespace ruzez::search_requests
