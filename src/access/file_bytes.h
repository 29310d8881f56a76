#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>

namespace ruzez::access {

// The bytes of a database file, read whole when it can be one: a regular file (a folder, a
// device or a pipe is refused at once, and opening never waits on a pipe) of at most 2 GB, the
// most the format can address.
//
// Read rather than mapped: a file cut short or rewritten while it is looked at cannot change
// what the reader sees, nor end the process with a bus error. The bytes go into memory asked
// for in large pages where the system has them, which costs less to fill and to walk than the
// same file mapped page by page.
class FileBytes
{
public:
    static std::unique_ptr<FileBytes> open(const QString &path, QString *error);
    ~FileBytes();
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    QByteArrayView bytes() const { return {m_data, m_size}; }

    static constexpr qint64 kMaxSize = qint64(1) << 31;

private:
    FileBytes() = default;

    char *m_data = nullptr;
    qint64 m_size = 0;
    std::size_t m_allocated = 0;
};

// Room for up to a fixed number of bytes, asked for in large pages where the system has them
// and paid for only where written: a reader copying much of a file into it avoids a fault
// for every small page.
class LargeBuffer
{
public:
    explicit LargeBuffer(std::size_t capacity);
    ~LargeBuffer();
    LargeBuffer(const LargeBuffer &) = delete;
    LargeBuffer &operator=(const LargeBuffer &) = delete;

    const char *data() const { return m_data; }
    std::size_t size() const { return m_size; }
    // Appends the bytes where they fit; false, nothing written, where they do not.
    bool append(const char *bytes, std::size_t count);
    // Room for `count` bytes past those appended, for a writer that fills it in place and then
    // keeps what it wrote with keep(); null where they do not fit.
    char *room(std::size_t count) { return count <= m_allocated - m_size ? m_data + m_size : nullptr; }
    // Keeps `count` bytes written in room() asked for at least as many.
    void keep(std::size_t count) { m_size += count; }

private:
    char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_allocated = 0;
};

// Memory for large lists in large pages where the system has them, as LargeBuffer; small ones
// as usual.
void *largePagesAllocate(std::size_t bytes);
void largePagesFree(void *memory, std::size_t bytes);

template<typename T>
struct LargePageAllocator
{
    using value_type = T;
    LargePageAllocator() = default;
    template<typename U>
    LargePageAllocator(const LargePageAllocator<U> &) {}
    T *allocate(std::size_t n) { return static_cast<T *>(largePagesAllocate(n * sizeof(T))); }
    void deallocate(T *p, std::size_t n) { largePagesFree(p, n * sizeof(T)); }
    friend bool operator==(const LargePageAllocator &, const LargePageAllocator &) { return true; }
};

} // namespace ruzez::access
