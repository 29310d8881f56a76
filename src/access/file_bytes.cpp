#include "access/file_bytes.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ruzez::access {

namespace {

// A bus error is delivered to the process, not to an object: the mapped ranges it may concern
// are kept where the signal handler finds them, in slots it reads without locking.
struct GuardedRange
{
    std::atomic<quintptr> begin{0};
    std::atomic<quintptr> end{0};
    std::atomic<bool> cut{false};
};
constexpr int kGuardedRanges = 64;
GuardedRange g_ranges[kGuardedRanges];
struct sigaction g_previousHandler;
std::once_flag g_handlerInstalled;
quintptr g_pageSize = 4096;

void onBusError(int signal, siginfo_t *info, void *context)
{
    const quintptr at = quintptr(info->si_addr);
    for (GuardedRange &range : g_ranges) {
        const quintptr begin = range.begin.load(std::memory_order_acquire);
        const quintptr end = range.end.load(std::memory_order_acquire);
        if (begin == 0 || at < begin || at >= end)
            continue;
        // The file lost the page at `at`: it and every page after it read as zeros from now on.
        const quintptr from = at & ~(g_pageSize - 1);
        if (mmap(reinterpret_cast<void *>(from), end - from, PROT_READ,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            range.cut.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not ours: what would have happened without this handler happens.
    if (g_previousHandler.sa_flags & SA_SIGINFO) {
        if (g_previousHandler.sa_sigaction) {
            g_previousHandler.sa_sigaction(signal, info, context);
            return;
        }
    } else if (g_previousHandler.sa_handler != SIG_DFL && g_previousHandler.sa_handler != SIG_IGN) {
        g_previousHandler.sa_handler(signal);
        return;
    }
    ::signal(signal, SIG_DFL);  // the faulting access runs again and ends the process
}

void installHandler()
{
    g_pageSize = quintptr(sysconf(_SC_PAGESIZE));
    struct sigaction action = {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &g_previousHandler);
}

int guard(const char *data, qint64 size)
{
    std::call_once(g_handlerInstalled, installHandler);
    for (int i = 0; i < kGuardedRanges; ++i) {
        quintptr expected = 0;
        // The end is set before the begin, so the handler never sees a range without its end.
        if (g_ranges[i].begin.load() == 0 && g_ranges[i].end.compare_exchange_strong(expected, 1)) {
            g_ranges[i].cut.store(false);
            g_ranges[i].end.store(quintptr(data) + quintptr(size), std::memory_order_release);
            g_ranges[i].begin.store(quintptr(data), std::memory_order_release);
            return i;
        }
    }
    return -1;
}

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
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (stat(name.constData(), &info) != 0)
        return fail(reason(errno));
    if (!S_ISREG(info.st_mode))
        return fail(QStringLiteral("not a regular file (a folder, a device or a pipe)"));
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
        return fail(QStringLiteral("not a regular file (a folder, a device or a pipe)"));
    if (info.st_size > kMaxSize)
        return fail(QStringLiteral("larger than an Access file can be (2 GB)"));

    std::unique_ptr<FileBytes> file(new FileBytes);
    file->m_size = info.st_size;
    if (file->m_size == 0)
        return file;
    void *mapped = mmap(nullptr, std::size_t(file->m_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped != MAP_FAILED) {
        file->m_guard = guard(static_cast<const char *>(mapped), file->m_size);
        if (file->m_guard >= 0) {
            file->m_data = static_cast<const char *>(mapped);
            file->m_mappedSize = file->m_size;
#ifdef MADV_POPULATE_READ
            // A search reads every page: mapping them all in one call spares a fault per page.
            madvise(mapped, std::size_t(file->m_size), MADV_POPULATE_READ);
#endif
            return file;
        }
        munmap(mapped, std::size_t(file->m_size));
    }
    // No mapping to be had: the file is read, up to the size it had when opened.
    file->m_copy.reset(new char[std::size_t(file->m_size)]);
    qint64 got = 0;
    while (got < file->m_size) {
        const ssize_t n = ::read(fd, file->m_copy.get() + got, std::size_t(file->m_size - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(reason(errno));
        if (n == 0)
            break;
        got += n;
    }
    file->m_size = got;
    file->m_data = file->m_copy.get();
    return file;
}

FileBytes::~FileBytes()
{
    if (m_mappedSize == 0)
        return;
    g_ranges[m_guard].begin.store(0, std::memory_order_release);
    munmap(const_cast<char *>(m_data), std::size_t(m_mappedSize));
    g_ranges[m_guard].end.store(0, std::memory_order_release);
}

bool FileBytes::cut() const
{
    return m_guard >= 0 && g_ranges[m_guard].cut.load(std::memory_order_acquire);
}

} // namespace ruzez::access
