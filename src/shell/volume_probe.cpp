#include "volume_probe.h"

#include <QFile>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <sys/stat.h>

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
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
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
