#pragma once

#include "file_access.h"

#include <mutex>
#include <vector>

namespace ruzez {

// File access in worker processes. A call stuck in the kernel on a share
// that does not answer cannot be interrupted, and a thread of ours caught so
// would keep the whole process from ending: only a process of its own can
// be left behind. So the constructor forks a small process, before any
// thread exists, that forks one worker per call; the worker runs the
// operation in its copy of this process as it was then (no threads, no
// locks held), writes the answer into a pipe of that call and ends.
//
// A call not answered within its limit is abandoned: its worker ends on its
// own whenever the volume answers it. Until then the volume counts as not
// answering and further calls on it fail at once, so that a page of twenty
// images costs the window one wait, not twenty; once that worker has ended,
// calls go through again. Nothing waits for a worker at exit.
class FileWorkers final : public FileAccess
{
public:
    // Call first thing in main(), before any thread is started.
    explicit FileWorkers(FileOperations operations);
    ~FileWorkers() override;
    FileWorkers(const FileWorkers &) = delete;
    FileWorkers &operator=(const FileWorkers &) = delete;

    // False when the forking process could not be started: run() then runs
    // the operations in the calling thread.
    bool started() const { return m_socket >= 0; }

    Reply run(const QByteArray &operation, const QByteArray &input, const QString &volume,
              std::chrono::milliseconds limit, Waiting waiting = Waiting::Still) override;

    // Whether every call abandoned on `volume` has been answered since.
    bool answering(const QString &volume);

private:
    struct Abandoned
    {
        int pipe = -1;
        QString volume;
    };

    DirectFileAccess m_here;
    int m_socket = -1;
    std::mutex m_mutex;
    std::vector<Abandoned> m_abandoned;
};

} // namespace ruzez
