#include "access/page_file.h"

#include "access/access_layout.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ruzez::access {

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Pages a walk reads at once (128 KB of 4 KB pages), and the most page() reads ahead.
constexpr qint64 kWalkPages = 32;
constexpr qint64 kMostAhead = 16;

// Up to `count` bytes at `offset`: how many were read, fewer at the end of the file; -1 on an
// error (errno says which).
qint64 readAt(int fd, void *into, qint64 count, qint64 offset)
{
    qint64 got = 0;
    while (got < count) {
        const ssize_t n = ::pread(fd, static_cast<char *>(into) + got, std::size_t(count - got), offset + got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

} // namespace

std::unique_ptr<PageFile> PageFile::open(const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, why);
        return nullptr;
    };
    const QString notRegular = QStringLiteral("not a regular file (a folder, a device or a pipe)");
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (stat(name.constData(), &info) != 0)
        return fail(reason(errno));
    if (!S_ISREG(info.st_mode))
        return fail(notRegular);
    // Without blocking: should a pipe take the file's place meanwhile, opening it must not wait.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(reason(errno));
    std::unique_ptr<PageFile> file(new PageFile);
    file->m_fd = fd;
    if (fstat(fd, &info) != 0)
        return fail(reason(errno));
    if (!S_ISREG(info.st_mode))
        return fail(notRegular);
    if (info.st_size > kMaxSize)
        return fail(QStringLiteral("larger than an Access file can be (2 GB)"));
    file->m_size = info.st_size;
    return file;
}

std::unique_ptr<PageFile> PageFile::fromBytes(QByteArray bytes)
{
    std::unique_ptr<PageFile> file(new PageFile);
    file->m_size = std::min<qint64>(bytes.size(), kMaxSize);
    file->m_bytes = std::move(bytes);
    return file;
}

PageFile::~PageFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray PageFile::head(qint64 count)
{
    count = std::min(count, m_size);
    if (m_fd < 0)
        return m_bytes.left(count);
    QByteArray bytes(count, Qt::Uninitialized);
    bytes.truncate(std::max<qint64>(readAt(m_fd, bytes.data(), count, 0), 0));
    return bytes;
}

qint64 PageFile::read(quint32 first, qint64 count, std::vector<uchar> &buffer)
{
    const qint64 want = count * m_pageSize;
    if (qint64(buffer.size()) < want)
        buffer.resize(std::size_t(want));
    // Fewer bytes than asked: the file was cut short since it was opened.
    const qint64 got = readAt(m_fd, buffer.data(), want, qint64(first) * m_pageSize);
    if (got < 0)
        throw Damaged{QStringLiteral("the file could not be read: %1").arg(reason(errno)), false};
    if (got < m_pageSize)
        throw Damaged{QStringLiteral("page %1 lies beyond the end of the file").arg(first)};
    return got / m_pageSize;
}

const uchar *PageFile::walkPage(const std::vector<quint32> &pages, std::size_t index)
{
    const quint32 number = pages[index];
    if (m_fd < 0)
        return reinterpret_cast<const uchar *>(m_bytes.constData()) + qint64(number) * m_pageSize;
    if (const uchar *held = m_walk.find(number, m_pageSize))
        return held;
    qint64 count = 1;
    while (count < kWalkPages && index + std::size_t(count) < pages.size()
           && pages[index + std::size_t(count)] == number + count)
        ++count;
    m_walk = Window{std::move(m_walk.buffer)};  // nothing held should the read fail
    m_walk.count = read(number, count, m_walk.buffer);
    m_walk.first = number;
    return m_walk.buffer.data();
}

const uchar *PageFile::page(quint32 number)
{
    if (m_fd < 0)
        return reinterpret_cast<const uchar *>(m_bytes.constData()) + qint64(number) * m_pageSize;
    if (const uchar *held = m_single.find(number, m_pageSize))
        return held;
    // Long values and moved rows are mostly written one page after another.
    m_ahead = number == m_single.first + m_single.count ? std::min(2 * m_ahead, kMostAhead) : 1;
    const qint64 count = std::min<qint64>(m_ahead, std::max<qint64>(pageCount() - number, 1));
    m_single = Window{std::move(m_single.buffer)};
    m_single.count = read(number, count, m_single.buffer);
    m_single.first = number;
    return m_single.buffer.data();
}

} // namespace ruzez::access
