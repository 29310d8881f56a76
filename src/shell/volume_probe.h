#pragma once

#include <QString>

#include <chrono>
#include <functional>

namespace ruzez {

// Tests whether a file exists on a volume that may not answer: a dead
// network share or a hung drive can block a system call for ever, in a
// sleep no signal ends. The test runs on a thread of its own; the caller
// waits at most `limit`, then counts the file as absent. A test still
// blocked is abandoned. The system call itself is made by a child process
// (test -f), so only that child can be caught in such a sleep: the thread
// merely waits for it, and the program ends whatever the child does.
class VolumeProbe
{
public:
    using FileTest = std::function<bool(const QString &path)>;
    static constexpr std::chrono::milliseconds kDefaultLimit{2000};

    // `test` defaults to isRegularFile.
    explicit VolumeProbe(std::chrono::milliseconds limit = kDefaultLimit, FileTest test = {});

    // Whether `path` is a normal file, answered within the limit.
    bool isFile(const QString &path) const;

    // Whether `path` is a normal file, asked of a child process.
    static bool isRegularFile(const QString &path);

private:
    std::chrono::milliseconds m_limit;
    FileTest m_test;
};

} // namespace ruzez
