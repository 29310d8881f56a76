#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ruzez::test {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool makeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeAll(path, bytes);
}

QByteArray record(const QByteArray &text)
{
    QByteArray r(128, '\0');
    qToLittleEndian<quint16>(quint16(text.size()), r.data());
    std::copy(text.cbegin(), text.cend(), r.begin() + 2);
    return r;
}

QByteArray records(std::initializer_list<QByteArray> texts)
{
    QByteArray bytes;
    for (const QByteArray &text : texts)
        bytes += record(text);
    return bytes;
}

QString ScratchFolder::newPath()
{
    return m_dir.filePath(QStringLiteral("f%1.LST").arg(++m_count));
}

QString ScratchFolder::newFile(const QByteArray &bytes)
{
    const QString path = newPath();
    writeAll(path, bytes);
    return path;
}

QString ScratchFolder::newFolder()
{
    const QString path = m_dir.filePath(QString::number(++m_count));
    QDir().mkpath(path);
    return path;
}

namespace {

// The immutable attribute stops writes even for root, who ignores
// permission bits; elsewhere clearing the write bits is enough.
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

bool isWritable(const QString &path)
{
    if (QFileInfo(path).isDir()) {
        QFile probe(QDir(path).filePath(QStringLiteral(".write-probe")));
        const bool ok = probe.open(QIODevice::WriteOnly);
        if (ok)
            probe.remove();
        return ok;
    }
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0
        && QFile(path).open(QIODevice::ReadWrite);
}

} // namespace

ReadOnlyGuard::ReadOnlyGuard(QString path)
    : m_path(std::move(path))
{
    if (::geteuid() == 0)
        setImmutable(m_path, true);
    else
        QFile::setPermissions(m_path, QFile::permissions(m_path) & ~(QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther | QFile::WriteUser));
    m_effective = !isWritable(m_path);
}

ReadOnlyGuard::~ReadOnlyGuard()
{
    if (::geteuid() == 0)
        setImmutable(m_path, false);
    QFile::setPermissions(m_path, QFile::permissions(m_path) | QFile::WriteOwner | QFile::WriteUser);
}

} // namespace ruzez::test
