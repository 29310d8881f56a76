#include "file_workers.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ruzez {

namespace {

// Requests carry a few paths and words; answers go through a pipe of their own.
constexpr std::size_t kMaxRequest = 1 << 20;
constexpr int kHeaderSize = 8;

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

// A request is the operation's name, a zero byte, then its input. An
// unknown operation answers nothing: the caller reads a failure.
void answer(int pipe, const FileOperations &operations, const char *request, std::size_t size)
{
    const auto *end = static_cast<const char *>(std::memchr(request, '\0', size));
    if (!end)
        return;
    const auto operation = operations.find(QByteArray(request, end - request));
    if (operation == operations.end())
        return;
    const QByteArray reply = operation->second(QByteArray(end + 1, qsizetype(request + size - end - 1)));
    char header[kHeaderSize];
    const quint64 length = quint64(reply.size());
    std::memcpy(header, &length, sizeof length);
    if (writeAll(pipe, header, sizeof header))
        writeAll(pipe, reply.constData(), std::size_t(reply.size()));
}

[[noreturn]] void serve(int socket, const FileOperations &operations)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::signal(SIGCHLD, SIG_IGN); // the system reaps the workers
    ::signal(SIGPIPE, SIG_IGN); // a caller that gave up has closed its pipe
    // A signal to the whole process group (Ctrl+C, a terminal closed) is the
    // program's to handle: it still needs us to write "NON" as it closes.
    for (const int signal : {SIGHUP, SIGINT, SIGTERM})
        ::signal(signal, SIG_IGN);
    // A worker left on a dead share must not hold the caller's output open:
    // whoever reads it (a terminal, a test) would wait for it too.
    const int null = ::open("/dev/null", O_RDWR);
    for (int fd = 0; fd <= 2; ++fd)
        ::dup2(null, fd);
    std::vector<char> buffer(kMaxRequest);
    for (;;) {
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
        iovec io{buffer.data(), buffer.size()};
        msghdr message{};
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
        if (size == 0)
            ::_exit(0); // the program has ended
        if (size < 0) {
            if (errno == EINTR)
                continue;
            ::_exit(1);
        }
        int pipe = -1;
        for (cmsghdr *part = CMSG_FIRSTHDR(&message); part; part = CMSG_NXTHDR(&message, part)) {
            if (part->cmsg_level == SOL_SOCKET && part->cmsg_type == SCM_RIGHTS)
                std::memcpy(&pipe, CMSG_DATA(part), sizeof pipe);
        }
        if (pipe < 0)
            continue;
        if (::fork() == 0) {
            ::close(socket);
            answer(pipe, operations, buffer.data(), std::size_t(size));
            ::_exit(0);
        }
        // Without a worker the caller reads the end of the pipe: a failure.
        ::close(pipe);
    }
}

// Reads what has arrived; true once the worker has closed its end.
bool readAvailable(int fd, QByteArray &received)
{
    char chunk[65536];
    for (;;) {
        const ssize_t size = ::read(fd, chunk, sizeof chunk);
        if (size > 0)
            received.append(chunk, size);
        else if (size < 0 && errno == EINTR)
            continue;
        else
            return size == 0 || errno != EAGAIN;
    }
}

FileAccess::Reply decoded(const QByteArray &received)
{
    quint64 length = 0;
    if (received.size() < kHeaderSize)
        return {};
    std::memcpy(&length, received.constData(), sizeof length);
    if (length != quint64(received.size() - kHeaderSize))
        return {};
    return {FileAccess::Outcome::Answered, received.mid(kHeaderSize)};
}

bool send(int socket, const QByteArray &request, int pipe)
{
    iovec io{const_cast<char *>(request.constData()), std::size_t(request.size())};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr *part = CMSG_FIRSTHDR(&message);
    part->cmsg_level = SOL_SOCKET;
    part->cmsg_type = SCM_RIGHTS;
    part->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(part), &pipe, sizeof pipe);
    ssize_t sent = 0;
    do
        sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent == ssize_t(request.size());
}

} // namespace

FileAccess::Reply DirectFileAccess::run(const QByteArray &operation, const QByteArray &input,
                                        const QString &, std::chrono::milliseconds, Waiting)
{
    const auto found = m_operations.find(operation);
    if (found == m_operations.end())
        return {};
    return {Outcome::Answered, found->second(input)};
}

FileWorkers::FileWorkers(FileOperations operations)
    : m_here(operations)
{
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sockets) != 0)
        return;
    const pid_t forker = ::fork();
    if (forker == 0) {
        ::close(sockets[0]);
        serve(sockets[1], operations);
    }
    ::close(sockets[1]);
    if (forker < 0) {
        ::close(sockets[0]);
        return;
    }
    m_socket = sockets[0];
}

FileWorkers::~FileWorkers()
{
    // The forking process reads the end of the socket and ends; workers
    // still running end on their own.
    if (m_socket >= 0)
        ::close(m_socket);
    for (const Abandoned &call : m_abandoned)
        ::close(call.pipe);
}

bool FileWorkers::answering(const QString &volume)
{
    const std::lock_guard lock(m_mutex);
    bool answering = true;
    for (auto call = m_abandoned.begin(); call != m_abandoned.end();) {
        QByteArray late;
        if (readAvailable(call->pipe, late)) {
            ::close(call->pipe);
            call = m_abandoned.erase(call);
            continue;
        }
        if (call->volume == volume)
            answering = false;
        ++call;
    }
    return answering;
}

FileAccess::Reply FileWorkers::run(const QByteArray &operation, const QByteArray &input,
                                   const QString &volume, std::chrono::milliseconds limit,
                                   Waiting waiting)
{
    if (m_socket < 0)
        return m_here.run(operation, input, volume, limit, waiting);
    if (!answering(volume))
        return {Outcome::NoAnswer, {}};
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return {};
    // Only our end: the worker writes an answer larger than the pipe holds
    // as we read it.
    ::fcntl(pipe[0], F_SETFL, O_NONBLOCK);
    const bool sent = send(m_socket, operation + '\0' + input, pipe[1]);
    ::close(pipe[1]);
    if (!sent) {
        ::close(pipe[0]);
        return m_here.run(operation, input, volume, limit, waiting);
    }

    QByteArray received;
    bool ended = readAvailable(pipe[0], received);
    const QDeadlineTimer deadline(limit);
    if (waiting == Waiting::Still) {
        while (!ended && !deadline.hasExpired()) {
            pollfd ready{pipe[0], POLLIN, 0};
            const int polled = ::poll(&ready, 1, int(deadline.remainingTime()));
            if (polled < 0 && errno != EINTR)
                break;
            if (polled > 0)
                ended = readAvailable(pipe[0], received);
        }
    } else if (!ended) {
        QEventLoop loop;
        QSocketNotifier notifier(pipe[0], QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
            ended = readAvailable(pipe[0], received);
            if (ended)
                loop.quit();
        });
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!ended) {
        const std::lock_guard lock(m_mutex);
        m_abandoned.push_back({pipe[0], volume});
        return {Outcome::NoAnswer, {}};
    }
    ::close(pipe[0]);
    return decoded(received);
}

} // namespace ruzez
