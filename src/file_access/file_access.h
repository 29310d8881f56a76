#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <map>

namespace ruzez {

// Work on files that may lie on a share or a disc that stops answering (a
// network share whose server went away, a scratched disc): the course pages'
// checks, the links table, the favourites, the settings and the exchange
// file. Each operation is named, takes bytes and answers bytes, so that it
// can run somewhere a call that never returns cannot hold the window.
using FileOperation = std::function<QByteArray(const QByteArray &input)>;
using FileOperations = std::map<QByteArray, FileOperation>;

class FileAccess
{
public:
    enum class Outcome {
        Answered, // data holds the operation's answer
        NoAnswer, // not within the limit, or the volume has not answered an earlier call yet
        Failed,   // the operation could not be run at all
    };
    struct Reply
    {
        Outcome outcome = Outcome::Failed;
        QByteArray data;
    };
    // Whether the window's events are handled while the answer is awaited:
    // not where the caller cannot be re-entered (inside the web engine's own
    // calls, while the window closes).
    enum class Waiting { Still, AnsweringWindow };

    virtual ~FileAccess() = default;

    // Runs `operation` on files of `volume` (any name the callers share for
    // one disc or share) and waits at most `limit` for its answer.
    virtual Reply run(const QByteArray &operation, const QByteArray &input, const QString &volume,
                      std::chrono::milliseconds limit, Waiting waiting = Waiting::Still) = 0;
};

// Runs the operations in the calling thread, as long as they take: where no
// worker can be had, and where nothing can hang (tests on local folders).
class DirectFileAccess final : public FileAccess
{
public:
    explicit DirectFileAccess(FileOperations operations)
        : m_operations(std::move(operations))
    {
    }

    Reply run(const QByteArray &operation, const QByteArray &input, const QString &volume,
              std::chrono::milliseconds limit, Waiting waiting = Waiting::Still) override;

private:
    FileOperations m_operations;
};

} // namespace ruzez
