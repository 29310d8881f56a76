#include "record_file.h"

#include "ansi_text.h"

#include <QtEndian>

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
    if (m_file.open(QIODevice::ReadWrite))
        return true;
    // A read-only medium or attribute: still readable, never writable.
    if (m_file.exists() && m_file.open(QIODevice::ReadOnly))
        return true;
    return fail(m_file.errorString());
}

bool RecordFile::read(int n, QString &text)
{
    text.clear();
    if (!m_file.isOpen())
        return fail(QStringLiteral("file not open"));
    if (n < 1 || n > kMaxRecord)
        return fail(QStringLiteral("record %1 out of range").arg(n));

    const qint64 offset = qint64(n - 1) * kRecordSize;
    if (offset >= m_file.size())
        return true;
    if (!m_file.seek(offset))
        return fail(m_file.errorString());
    const QByteArray record = m_file.read(kRecordSize);
    if (record.isNull() && m_file.error() != QFileDevice::NoError)
        return fail(m_file.errorString());
    if (record.size() < 2)
        return true;

    const qsizetype length = qFromLittleEndian<quint16>(record.constData());
    text = fromAnsi(QByteArrayView(record).sliced(2, qMin(length, record.size() - 2)));
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
    const QByteArray bytes = toAnsi(text);
    if (bytes.size() > kMaxText)
        return fail(QStringLiteral("text of %1 characters does not fit a record").arg(bytes.size()));

    QByteArray record(kRecordSize, '\0');
    qToLittleEndian<quint16>(quint16(bytes.size()), record.data());
    std::copy(bytes.cbegin(), bytes.cend(), record.begin() + 2);

    // Seeking past the end and writing leaves a hole that reads as zeros:
    // the records in between read as empty texts.
    if (!m_file.seek(qint64(n - 1) * kRecordSize))
        return fail(m_file.errorString());
    if (m_file.write(record) != record.size())
        return fail(m_file.errorString());
    if (!m_file.flush())
        return fail(m_file.errorString());
    return true;
}

void RecordFile::close()
{
    if (m_file.isOpen())
        m_file.close();
}

} // namespace ruzez
