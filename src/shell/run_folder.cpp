#include "shell/run_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>

#include <unistd.h>

namespace ruzez {

namespace {

const QString kPrefix = QStringLiteral("RUZEZ-");

void removeFoldersOfEndedRuns()
{
    const QDir temporary(QDir::tempPath());
    const QFileInfoList folders = temporary.entryInfoList({kPrefix + QStringLiteral("*-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo &folder : folders) {
        bool isNumber = false;
        const qint64 process = folder.fileName().mid(kPrefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&isNumber);
        if (!isNumber || process <= 0 || process == ::getpid() || folder.ownerId() != ::getuid())
            continue;
        if (::kill(pid_t(process), 0) != 0 && errno == ESRCH)
            QDir(folder.filePath()).removeRecursively();
    }
}

} // namespace

RunFolder::RunFolder()
{
    removeFoldersOfEndedRuns();
    m_folder = std::make_unique<QTemporaryDir>(
        QDir(QDir::tempPath()).filePath(kPrefix + QString::number(::getpid()) + QStringLiteral("-XXXXXX")));
}

RunFolder::~RunFolder() = default;

QString RunFolder::path() const
{
    return m_folder && m_folder->isValid() ? m_folder->path() : QString();
}

void RunFolder::remove()
{
    if (m_folder)
        m_folder->remove();
}

} // namespace ruzez
