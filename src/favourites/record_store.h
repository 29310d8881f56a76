#pragma once

#include "shell/record_file.h"

#include <QString>
#include <QStringList>

namespace ruzez {

// The two record operations the favourites rules need, behind an interface
// so that the rules can be run over a store that fails part-way, as a
// failing disk does.
class RecordStore
{
public:
    virtual ~RecordStore() = default;
    virtual bool read(int n, QString &text) = 0;
    virtual bool write(int n, const QString &text) = 0;
    // Consecutive records in one call each (see RecordFile). A failing
    // readRun leaves in texts the records before the one that failed.
    virtual bool readRun(int first, int count, QStringList &texts) = 0;
    virtual bool writeRun(int first, const QStringList &texts) = 0;
};

// The store the program uses: a record file, closed when the store ends.
class RecordFileStore final : public RecordStore
{
public:
    explicit RecordFileStore(const QString &path)
        : m_file(path)
    {
    }

    bool open() { return m_file.open(); }
    // See RecordFile::close: false when what was written may be lost.
    bool close() { return m_file.close(); }
    bool read(int n, QString &text) override { return m_file.read(n, text); }
    bool write(int n, const QString &text) override { return m_file.write(n, text); }
    bool readRun(int first, int count, QStringList &texts) override
    {
        return m_file.readRun(first, count, texts);
    }
    bool writeRun(int first, const QStringList &texts) override
    {
        return m_file.writeRun(first, texts);
    }
    QString errorString() const { return m_file.errorString(); }

private:
    RecordFile m_file;
};

} // namespace ruzez
