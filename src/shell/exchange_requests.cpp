#include "shell/exchange_requests.h"

#include "shell/exchange_file.h"

#include <QDir>

namespace ruzez::exchange {

namespace {

constexpr auto kRunningOperation = "exchange.running";
constexpr auto kStoppedOperation = "exchange.stopped";

} // namespace

QString announceRunning(FileAccess &files, const QString &programFolder)
{
    const FileAccess::Reply reply = files.run(kRunningOperation, programFolder.toUtf8(), QDir::cleanPath(programFolder), kLimit);
    return reply.outcome == FileAccess::Outcome::Answered ? QString::fromUtf8(reply.data) : QString();
}

bool announceStopped(FileAccess &files, const QString &programFolder)
{
    const FileAccess::Reply reply = files.run(kStoppedOperation, programFolder.toUtf8(), QDir::cleanPath(programFolder), kLimit);
    return reply.outcome == FileAccess::Outcome::Answered && reply.data == "1";
}

void addOperations(FileOperations &operations)
{
    operations[kRunningOperation] = [](const QByteArray &folder) {
        return announceRunning(QString::fromUtf8(folder)).toUtf8();
    };
    operations[kStoppedOperation] = [](const QByteArray &folder) {
        return QByteArray(announceStopped(QString::fromUtf8(folder)) ? "1" : "0");
    };
}

} // namespace ruzez::exchange
