#pragma once

// The pages of a database file, read as the reader needs them. Private to the reader.

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace ruzez::access {

// A database file opened for reading: a regular file (a folder, a device or a pipe is refused
// at once, and opening never waits on a pipe) of at most 2 GB, the most the format can address.
//
// Its pages are read when asked for, into a few small buffers used again and again, never
// mapped: a file cut short or rewritten while it is read gives a damaged page or an error,
// never a bus error, and a search over a large table costs the memory of a few pages, not of
// the file. Page bytes handed out are valid until the next request of the same kind (see
// walkPage() and page()). Failures throw Damaged.
class PageFile
{
public:
    static std::unique_ptr<PageFile> open(const QString &path, QString *error);
    // Bytes already in memory, read as a file would be.
    static std::unique_ptr<PageFile> fromBytes(QByteArray bytes);
    ~PageFile();
    PageFile(const PageFile &) = delete;
    PageFile &operator=(const PageFile &) = delete;

    // The size the file had when opened: a file growing meanwhile is not followed.
    qint64 size() const { return m_size; }
    // Up to `count` bytes from the start of the file, fewer where it is shorter.
    QByteArray head(qint64 count);

    void setPageSize(int pageSize) { m_pageSize = pageSize; }
    qint64 pageCount() const { return m_pageSize > 0 ? m_size / m_pageSize : 0; }

    // Page pages[index] for a walk over `pages` in order: the pages after it that follow it in
    // the file as well are read with it. Valid until the next walkPage().
    const uchar *walkPage(const std::vector<quint32> &pages, std::size_t index);

    // Page `number` on its own. Valid until the next page(). A run of requests for pages one
    // after another reads further ahead each time.
    const uchar *page(quint32 number);

    static constexpr qint64 kMaxSize = qint64(1) << 31;

private:
    PageFile() = default;

    // Pages from `first`, at most `count`, into `buffer`: how many were read whole.
    qint64 read(quint32 first, qint64 count, std::vector<uchar> &buffer);

    int m_fd = -1;
    QByteArray m_bytes;  // fromBytes(): the whole file
    qint64 m_size = 0;
    int m_pageSize = 0;

    struct Window
    {
        std::vector<uchar> buffer;
        qint64 first = -1;  // the first page held
        qint64 count = 0;   // pages held
        const uchar *find(qint64 number, int pageSize) const
        {
            return number >= first && number < first + count
                ? buffer.data() + (number - first) * pageSize
                : nullptr;
        }
    };
    Window m_walk;
    Window m_single;
    qint64 m_ahead = 1;  // pages page() reads at its next miss
};

} // namespace ruzez::access
