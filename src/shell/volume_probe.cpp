#include "volume_probe.h"

#include <QFile>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <cerrno>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ruzez {

namespace {

// Shared by the waiting caller and the testing thread, so whichever
// finishes last frees it.
struct Answer
{
    std::mutex mutex;
    std::condition_variable ready;
    bool done = false;
    bool isFile = false;
};

} // namespace

VolumeProbe::VolumeProbe(std::chrono::milliseconds limit, FileTest test)
    : m_limit(limit)
    , m_test(test ? std::move(test) : FileTest(&VolumeProbe::isRegularFile))
{
}

bool VolumeProbe::isRegularFile(const QString &path)
{
    // Plain POSIX calls and no Qt state: an abandoned thread never races
    // the program's shut-down.
    const QByteArray file = QFile::encodeName(path);
    char program[] = "/usr/bin/test";
    char option[] = "-f";
    char *const arguments[] = {program, option, const_cast<char *>(file.constData()), nullptr};
    // The child holds none of our files open: one that never ends must not
    // keep a pipe of ours (a reader waiting for its end) open with it.
    posix_spawn_file_actions_t files;
    ::posix_spawn_file_actions_init(&files);
    for (int fd = 0; fd <= 2; ++fd)
        ::posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    ::posix_spawn_file_actions_addclosefrom_np(&files, 3);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, program, &files, nullptr, arguments, environ);
    ::posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        struct stat status {};
        return ::stat(file.constData(), &status) == 0 && S_ISREG(status.st_mode);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool VolumeProbe::isFile(const QString &path) const
{
    auto answer = std::make_shared<Answer>();
    try {
        std::thread([answer, test = m_test, path] {
            const bool isFile = test(path);
            const std::lock_guard lock(answer->mutex);
            answer->isFile = isFile;
            answer->done = true;
            answer->ready.notify_all();
        }).detach();
    } catch (const std::system_error &) {
        // No thread to be had: test here rather than call the disc absent.
        return m_test(path);
    }
    std::unique_lock lock(answer->mutex);
    if (!answer->ready.wait_for(lock, m_limit, [&] { return answer->done; }))
        return false;
    return answer->isFile;
}

} // namespace ruzez
