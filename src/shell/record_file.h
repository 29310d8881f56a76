#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace ruzez {

// A file of numbered 128-byte records, each holding one short text: an
// unsigned 16-bit little-endian length, then one windows-1252 byte per
// character. Every file the program keeps beside itself has this layout.
//
// Nothing is cached: each read and write goes to the file, so several
// programs may share it as long as each holds it open only briefly. A
// write counts once close() has put it on the device and the file system
// has taken the close: shares that are short of room (an NFS quota) say so
// only then.
class RecordFile
{
public:
    static constexpr int kRecordSize = 128;
    static constexpr int kMaxText = kRecordSize - 2;
    // Callers count records in 16-bit signed integers.
    static constexpr int kMaxRecord = 32767;

    explicit RecordFile(const QString &path);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens for reading and writing, creating a missing file. A file that
    // exists but cannot be written is opened for reading only; every later
    // write then fails. False when the file cannot be opened at all.
    bool open();
    bool isOpen() const { return m_file.isOpen(); }
    bool isWritable() const { return m_file.isWritable(); }

    // Record n's text. A record at or past the end of the file reads as an
    // empty text. A damaged record (a length beyond the record, or a file
    // cut inside it) yields the bytes that lie inside the record and the
    // file; a read never looks past its own record. False on a read error
    // (a read that stops short of the end of the file is one), a bad record
    // number, or a closed file; text is then empty.
    bool read(int n, QString &text);

    // Replaces record n's text, clearing the rest of the record. Writing
    // past the end extends the file; records in between read as empty.
    // A text of more than kMaxText characters is refused, nothing written.
    bool write(int n, const QString &text);

    // Records first .. first + count - 1 in one read, into texts (count
    // texts; those at or past the end of the file are empty). For callers
    // that walk thousands of records, where one system call per record
    // would be felt. Should the run fail, the records are read one at a
    // time, so that one unreadable spot costs only what lies behind it:
    // false then, with texts holding the records before the failing one.
    bool readRun(int first, int count, QStringList &texts);

    // Writes texts into consecutive records from first in one write. The
    // whole run is refused, nothing written, when a text is too long or the
    // run passes kMaxRecord.
    bool writeRun(int first, const QStringList &texts);

    // Puts what was written on the device and closes. False when either
    // fails: the writes since open() may then be lost, whatever each
    // write said. A file only read closes without a sync.
    bool close();

    QString path() const { return m_file.fileName(); }
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &why);
    bool checkRun(int first, int count);
    // Writes text into a zeroed record; false when it does not fit.
    bool encode(const QString &text, char *record);
    static QString decode(QByteArrayView record);
    // Appends the texts of the whole records in bytes, then empty texts up
    // to count.
    static void decodeRun(QByteArrayView bytes, int count, QStringList &texts);
    // The bytes a read from offset should get: what the file holds there,
    // up to wanted.
    qint64 expectedBytes(qint64 offset, qint64 wanted) const;
    bool sync();

    QFile m_file;
    QString m_error;
    bool m_created = false;
    bool m_written = false;
};

} // namespace ruzez
