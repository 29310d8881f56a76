#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>

namespace ruzez::access {

// The bytes of a database file, opened for reading only when it can be one: a regular file (a
// folder, a device or a pipe is refused at once, and opening never waits on a pipe) of at most
// 2 GB, the most the format can address.
//
// The file is mapped rather than copied, so its pages come from the system's cache. A file cut
// short while it is mapped would make every read past its new end a bus error: those pages
// are then replaced by pages of zeros, which the reader sees as damage, and cut() reports it.
class FileBytes
{
public:
    static std::unique_ptr<FileBytes> open(const QString &path, QString *error);
    ~FileBytes();
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    QByteArrayView bytes() const { return {m_data, m_size}; }
    // Whether the file was found cut short while it was mapped.
    bool cut() const;

    static constexpr qint64 kMaxSize = qint64(1) << 31;

private:
    FileBytes() = default;

    const char *m_data = nullptr;
    qint64 m_size = 0;
    qint64 m_mappedSize = 0;  // 0: the bytes were read into memory instead
    int m_guard = -1;         // the guarded range that covers the mapping
    std::unique_ptr<char[]> m_copy;
};

} // namespace ruzez::access
