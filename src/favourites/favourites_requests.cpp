#include "favourites/favourites_requests.h"

#include "favourites/ajouteur.h"

#include <QDataStream>
#include <QDir>
#include <QIODevice>

namespace ruzez::favourites_requests {

namespace {

constexpr auto kAdd = "favourites.add";

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

void addOperations(FileOperations &operations)
{
    operations[kAdd] = &answer;
}

} // namespace ruzez::favourites_requests
