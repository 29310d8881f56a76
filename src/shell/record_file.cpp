#include "record_file.h"

#include "ansi_text.h"

#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ruzez {

RecordFile::RecordFile(const QString &path)
    : m_file(path)
{
}

RecordFile::~RecordFile()
{
    close();
}

bool RecordFile::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool RecordFile::open()
{
    if (m_file.isOpen())
        return true;
    m_written = false;
    m_created = !m_file.exists();
    // Unbuffered: a record read asks the file system for its own 128 bytes,
    // not for the 16 KB around it, so a spot that cannot be read spoils no
    // record but its own.
    if (m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return true;
    // A read-only medium or attribute: still readable, never writable.
    if (!m_created && m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return true;
    return fail(m_file.errorString());
}

qint64 RecordFile::expectedBytes(qint64 offset, qint64 wanted) const
{
    return qBound<qint64>(0, m_file.size() - offset, wanted);
}

QString RecordFile::decode(QByteArrayView record)
{
    if (record.size() < 2)
        return QString();
    const qsizetype length = qFromLittleEndian<quint16>(record.data());
    return fromAnsi(record.sliced(2, qMin(length, record.size() - 2)));
}

bool RecordFile::encode(const QString &text, char *record)
{
    const QByteArray bytes = toAnsi(text);
    if (bytes.size() > kMaxText)
        return fail(QStringLiteral("text of %1 characters does not fit a record").arg(bytes.size()));
    qToLittleEndian<quint16>(quint16(bytes.size()), record);
    std::copy(bytes.cbegin(), bytes.cend(), record + 2);
    return true;
}

bool RecordFile::read(int n, QString &text)
{
    text.clear();
    if (!m_file.isOpen())
        return fail(QStringLiteral("file not open"));
    if (n < 1 || n > kMaxRecord)
        return fail(QStringLiteral("record %1 out of range").arg(n));

    const qint64 offset = qint64(n - 1) * kRecordSize;
    const qint64 expected = expectedBytes(offset, kRecordSize);
    if (expected == 0)
        return true;
    if (!m_file.seek(offset))
        return fail(m_file.errorString());
    const QByteArray record = m_file.read(expected);
    if (record.size() != expected)
        return fail(QStringLiteral("record %1 cannot be read: %2").arg(n).arg(m_file.errorString()));
    text = decode(record);
    return true;
}

bool RecordFile::write(int n, const QString &text)
{
    if (!m_file.isOpen())
        return fail(QStringLiteral("file not open"));
    if (!m_file.isWritable())
        return fail(QStringLiteral("file is read-only"));
    if (n < 1 || n > kMaxRecord)
        return fail(QStringLiteral("record %1 out of range").arg(n));
    QByteArray record(kRecordSize, '\0');
    if (!encode(text, record.data()))
        return false;

    // Seeking past the end and writing leaves a hole that reads as zeros:
    // the records in between read as empty texts.
    if (!m_file.seek(qint64(n - 1) * kRecordSize))
        return fail(m_file.errorString());
    m_written = true;
    if (m_file.write(record) != record.size())
        return fail(m_file.errorString());
    if (!m_file.flush())
        return fail(m_file.errorString());
    return true;
}

bool RecordFile::checkRun(int first, int count)
{
    if (!m_file.isOpen())
        return fail(QStringLiteral("file not open"));
    if (first < 1 || count < 0 || first > kMaxRecord || count > kMaxRecord - first + 1)
        return fail(QStringLiteral("records %1 to %2 out of range").arg(first).arg(first + count - 1));
    return true;
}

bool RecordFile::readRun(int first, int count, QStringList &texts)
{
    texts.clear();
    if (!checkRun(first, count))
        return false;

    const qint64 offset = qint64(first - 1) * kRecordSize;
    const qint64 expected = expectedBytes(offset, qint64(count) * kRecordSize);
    QByteArray bytes;
    if (expected > 0 && m_file.seek(offset))
        bytes = m_file.read(expected);
    if (bytes.size() == expected) {
        decodeRun(bytes, count, texts);
        return true;
    }
    // The run stopped short: keep the records that came whole, then go on
    // one record at a time up to the one that cannot be read.
    const int whole = int(bytes.size() / kRecordSize);
    decodeRun(QByteArrayView(bytes).first(qsizetype(whole) * kRecordSize), whole, texts);
    for (int n = first + whole; n < first + count; ++n) {
        QString text;
        if (!read(n, text))
            return false;
        texts.append(text);
    }
    return true;
}

void RecordFile::decodeRun(QByteArrayView view, int count, QStringList &texts)
{
    // The code page gives one character per byte, so the texts of the run
    // are decoded together and cut apart at their lengths; decoding record
    // by record costs a converter each. Should a decoding ever not keep to
    // one character per byte, each record is decoded alone.
    QByteArray joined;
    joined.reserve(view.size());
    QList<qsizetype> lengths(count, 0);
    for (int i = 0; i < count && qsizetype(i) * kRecordSize + 2 <= view.size(); ++i) {
        const qsizetype at = qsizetype(i) * kRecordSize;
        const qsizetype available = qMin<qsizetype>(kRecordSize, view.size() - at) - 2;
        lengths[i] = qMin<qsizetype>(qFromLittleEndian<quint16>(view.data() + at), available);
        joined.append(view.sliced(at + 2, lengths[i]));
    }
    const QString decoded = fromAnsi(joined);
    const bool oneToOne = decoded.size() == joined.size();
    texts.reserve(texts.size() + count);
    qsizetype from = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype length = lengths.at(i);
        if (length == 0)
            texts.append(QString());
        else if (oneToOne)
            texts.append(decoded.mid(from, length));
        else
            texts.append(fromAnsi(view.sliced(qsizetype(i) * kRecordSize + 2, length)));
        from += length;
    }
}

bool RecordFile::writeRun(int first, const QStringList &texts)
{
    if (!checkRun(first, int(texts.size())))
        return false;
    if (!m_file.isWritable())
        return fail(QStringLiteral("file is read-only"));
    QByteArray run(texts.size() * kRecordSize, '\0');
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (!encode(texts.at(i), run.data() + i * kRecordSize))
            return false;
    }
    if (!m_file.seek(qint64(first - 1) * kRecordSize))
        return fail(m_file.errorString());
    m_written = true;
    if (m_file.write(run) != run.size())
        return fail(m_file.errorString());
    if (!m_file.flush())
        return fail(m_file.errorString());
    return true;
}

bool RecordFile::sync()
{
    int result = 0;
    do
        result = ::fdatasync(m_file.handle());
    while (result != 0 && errno == EINTR);
    return result == 0 || fail(qt_error_string(errno));
}

bool RecordFile::close()
{
    if (!m_file.isOpen())
        return true;
    const bool written = m_written;
    m_written = false;
    bool ok = !written || sync();
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        ok = fail(m_file.errorString());
    if (ok && written && m_created) {
        // A file this open created is on the device once its folder's
        // entry for it is too.
        const QByteArray folder = QFile::encodeName(QFileInfo(m_file.fileName()).absolutePath());
        // A folder that cannot be opened or synced (EINVAL: the file
        // system has no way to) is left to the file system.
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            if (::fsync(fd) != 0 && errno != EINVAL)
                ok = fail(qt_error_string(errno));
            ::close(fd);
        }
    }
    return ok;
}

} // namespace ruzez
