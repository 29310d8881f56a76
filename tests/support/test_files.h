#pragma once

#include <QByteArray>
#include <QString>

namespace ruzez::test {

QByteArray readAll(const QString &path);
bool writeAll(const QString &path, const QByteArray &bytes);
bool makeFile(const QString &path, const QByteArray &bytes = {});

// One 128-byte record as the files store it: length, text bytes, zeros.
QByteArray record(const QByteArray &text);

// Makes a file (or folder) unwritable for this process and restores it
// when the guard ends. Running as root, permissions do not stop writes, so
// tests that need a read-only file skip when the guard reports it cannot
// make one.
class ReadOnlyGuard
{
public:
    explicit ReadOnlyGuard(QString path);
    ~ReadOnlyGuard();
    bool effective() const { return m_effective; }

private:
    QString m_path;
    bool m_effective = false;
};

} // namespace ruzez::test
