#include "favourites/favourites_requests.h"

#include "favourites/favourites_file.h"

#include <QDataStream>
#include <QDir>
#include <QIODevice>

namespace ruzez::favourites_requests {

namespace {

constexpr auto kAdd = "favourites.add";
constexpr auto kTitles = "favourites.titles";
constexpr auto kRemove = "favourites.remove";
constexpr auto kAddress = "favourites.address";

bool titlesHere(const QString &folder, QStringList &titles)
{
    RecordFileStore file(FavouritesFile::pathIn(folder));
    FavouritesFile favourites(file);
    return file.open() && favourites.titles(titles);
}

void removeHere(const QString &folder, int entry)
{
    RecordFileStore file(FavouritesFile::pathIn(folder));
    FavouritesFile favourites(file);
    if (file.open())
        favourites.remove(entry);
}

QString addressHere(const QString &folder, int entry)
{
    RecordFileStore file(FavouritesFile::pathIn(folder));
    FavouritesFile favourites(file);
    QString address;
    if (file.open())
        favourites.address(entry, address);
    return address;
}

FileAccess::Reply ask(FileAccess &files, const char *operation, const QString &folder, qint32 entry)
{
    QByteArray input;
    QDataStream out(&input, QIODevice::WriteOnly);
    out << folder << entry;
    return files.run(operation, input, QDir::cleanPath(folder), kLimit, FileAccess::Waiting::AnsweringWindow);
}

template<typename Answer>
FileOperation withEntry(Answer answer)
{
    return [answer](const QByteArray &input) {
        QDataStream in(input);
        QString folder;
        qint32 entry = 0;
        in >> folder >> entry;
        QByteArray output;
        QDataStream out(&output, QIODevice::WriteOnly);
        answer(out, folder, entry);
        return output;
    };
}

QByteArray answer(const QByteArray &input)
{
    QDataStream in(input);
    QString folder;
    QString title;
    QString address;
    in >> folder >> title >> address;
    return in.status() == QDataStream::Ok && addFavourite(folder, title, address) ? "1" : "0";
}

} // namespace

bool add(FileAccess &files, const QString &programFolder, const QString &title, const QString &address)
{
    QByteArray input;
    QDataStream out(&input, QIODevice::WriteOnly);
    out << programFolder << title << address;
    const FileAccess::Reply reply = files.run(kAdd, input, QDir::cleanPath(programFolder), kLimit,
                                              FileAccess::Waiting::AnsweringWindow);
    return reply.outcome == FileAccess::Outcome::Answered && reply.data == "1";
}

bool titles(FileAccess *files, const QString &programFolder, QStringList &titles)
{
    if (!files)
        return titlesHere(programFolder, titles);
    const FileAccess::Reply reply = ask(*files, kTitles, programFolder, 0);
    if (reply.outcome != FileAccess::Outcome::Answered)
        return false;
    QDataStream in(reply.data);
    bool read = false;
    in >> read >> titles;
    return read && in.status() == QDataStream::Ok;
}

void remove(FileAccess *files, const QString &programFolder, int entry)
{
    if (!files)
        return removeHere(programFolder, entry);
    ask(*files, kRemove, programFolder, entry);
}

QString address(FileAccess *files, const QString &programFolder, int entry)
{
    if (!files)
        return addressHere(programFolder, entry);
    const FileAccess::Reply reply = ask(*files, kAddress, programFolder, entry);
    QString address;
    if (reply.outcome == FileAccess::Outcome::Answered) {
        QDataStream in(reply.data);
        in >> address;
    }
    return address;
}

void addOperations(FileOperations &operations)
{
    operations[kAdd] = &answer;
    operations[kTitles] = withEntry([](QDataStream &out, const QString &folder, qint32) {
        QStringList titles;
        const bool read = titlesHere(folder, titles);
        out << read << titles;
    });
    operations[kRemove] = withEntry([](QDataStream &, const QString &folder, qint32 entry) { removeHere(folder, entry); });
    operations[kAddress] = withEntry([](QDataStream &out, const QString &folder, qint32 entry) {
        out << addressHere(folder, entry);
    });
}

} // namespace ruzez::favourites_requests
