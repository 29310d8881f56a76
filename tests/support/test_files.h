#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <initializer_list>

namespace ruzez::test {

QByteArray readAll(const QString &path);
bool writeAll(const QString &path, const QByteArray &bytes);
bool makeFile(const QString &path, const QByteArray &bytes = {});

// One 128-byte record as the files store it: length, text bytes, zeros.
QByteArray record(const QByteArray &text);
// Those records one after the other, from record 1.
QByteArray records(std::initializer_list<QByteArray> texts);

// A temporary folder handing out fresh, numbered files and folders, so
// each case of a table works on its own.
class ScratchFolder
{
public:
    // A new file holding `bytes`.
    QString newFile(const QByteArray &bytes = {});
    // The path of a new file, not created.
    QString newPath();
    // A new, empty folder.
    QString newFolder();

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

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
