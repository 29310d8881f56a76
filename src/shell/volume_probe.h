#pragma once

#include <QString>

#include <chrono>
#include <functional>

namespace ruzez {

// Tests whether a file exists on a volume that may not answer: a dead
// network share or a hung drive can block a system call for ever. The test
// runs on a thread of its own; the caller waits at most `limit`, then counts
// the file as absent. A test still blocked is abandoned: its thread holds
// nothing the program needs, so it never keeps the program from ending.
class VolumeProbe
{
public:
    using FileTest = std::function<bool(const QString &path)>;
    static constexpr std::chrono::milliseconds kDefaultLimit{2000};

    // `test` defaults to "a normal file exists there" (stat(2), no Qt state,
    // so an abandoned thread never races the program's shut-down).
    explicit VolumeProbe(std::chrono::milliseconds limit = kDefaultLimit, FileTest test = {});

    // Whether `path` is a normal file, answered within the limit.
    bool isFile(const QString &path) const;

    static bool isRegularFile(const QString &path);

private:
    std::chrono::milliseconds m_limit;
    FileTest m_test;
};

} // namespace ruzez
