#include "access/file_bytes.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ruzez::access {

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

std::unique_ptr<FileBytes> FileBytes::open(const QString &path, QString *error)
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
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (fstat(fd, &info) != 0)
        return fail(reason(errno));
    if (!S_ISREG(info.st_mode))
        return fail(notRegular);
    if (info.st_size > kMaxSize)
        return fail(QStringLiteral("larger than an Access file can be (2 GB)"));

    std::unique_ptr<FileBytes> file(new FileBytes);
    if (info.st_size == 0)
        return file;
    constexpr std::size_t kLargePage = std::size_t(2) << 20;
    file->m_allocated = (std::size_t(info.st_size) + kLargePage - 1) & ~(kLargePage - 1);
    void *memory = mmap(nullptr, file->m_allocated, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        file->m_allocated = 0;
        return fail(QStringLiteral("not enough memory to read it"));
    }
    file->m_data = static_cast<char *>(memory);
#ifdef MADV_HUGEPAGE
    madvise(memory, file->m_allocated, MADV_HUGEPAGE);
#endif
    // Up to the size the file had when opened: a file growing meanwhile is not followed.
    while (file->m_size < info.st_size) {
        const ssize_t n = ::read(fd, file->m_data + file->m_size, std::size_t(info.st_size - file->m_size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(reason(errno));
        if (n == 0)
            break;  // cut short while read: what was read is all there is
        file->m_size += n;
    }
    return file;
}

FileBytes::~FileBytes()
{
    if (m_allocated)
        munmap(m_data, m_allocated);
}

LargeBuffer::LargeBuffer(std::size_t capacity)
{
    constexpr std::size_t kLargePage = std::size_t(2) << 20;
    const std::size_t allocated = (capacity + kLargePage - 1) & ~(kLargePage - 1);
    if (allocated == 0)
        return;
    void *memory = mmap(nullptr, allocated, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return;  // no room: nothing fits
    m_data = static_cast<char *>(memory);
    m_allocated = allocated;
#ifdef MADV_HUGEPAGE
    madvise(memory, allocated, MADV_HUGEPAGE);
#endif
}

LargeBuffer::~LargeBuffer()
{
    if (m_allocated)
        munmap(m_data, m_allocated);
}

bool LargeBuffer::append(const char *bytes, std::size_t count)
{
    if (count > m_allocated - m_size)
        return false;
    std::memcpy(m_data + m_size, bytes, count);
    m_size += count;
    return true;
}

namespace {
constexpr std::size_t kLargeList = std::size_t(1) << 20;
constexpr std::size_t kLargePageSize = std::size_t(2) << 20;
std::size_t roundedToLargePages(std::size_t bytes)
{
    return (bytes + kLargePageSize - 1) & ~(kLargePageSize - 1);
}
} // namespace

void *largePagesAllocate(std::size_t bytes)
{
    if (bytes < kLargeList)
        return ::operator new(bytes);
    void *memory = mmap(nullptr, roundedToLargePages(bytes), PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(memory, roundedToLargePages(bytes), MADV_HUGEPAGE);
#endif
    return memory;
}

void largePagesFree(void *memory, std::size_t bytes)
{
    if (bytes < kLargeList)
        ::operator delete(memory);
    else
        munmap(memory, roundedToLargePages(bytes));
}

} // namespace ruzez::access
