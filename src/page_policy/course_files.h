#pragma once

#include <QString>
#include <QStringList>

namespace ruzez {

// The files course pages may open: those inside a few folders (the course
// folder, and the program folder when the start page lies beside the
// program). The course was written on a system that ignores letter case, so
// a path inside a folder that names no file is looked up again ignoring
// case, one path element at a time below the folder: an exact name always
// wins; among several names that differ only in case, the first in byte
// order of their UTF-8 form wins ("Air" before "air"), so the choice never
// depends on the order the system lists a folder in.
class CourseFiles
{
public:
    enum class Kind {
        File,    // path: the file, with the letter case it has on disk
        Folder,  // path: the folder
        Missing, // inside a folder, but no file answers to it
        Outside, // outside every folder, or leads outside by a link
        // The disc or share gave an error other than "no such file" (EIO,
        // a permission refused): the page may exist but cannot be read.
        Unreadable,
        // Not answered in time (set by whoever waits for find(), never by it).
        NotAnswering,
    };

    struct Found
    {
        Kind kind = Kind::Outside;
        QString path;
    };

    explicit CourseFiles(const QStringList &folders = {});

    const QStringList &folders() const { return m_folders; }

    // Where an absolute local path (as a file: address names it) leads.
    Found find(const QString &path) const;

    // The entry of `folder` named `name` ignoring case, as described above;
    // empty when there is none.
    static QString entryIgnoringCase(const QString &folder, const QString &name);

    // Whether the start of `path` can be read: a disc that lists a file and
    // then fails to read it has it no more than one without it.
    static bool headReadable(const QString &path);

private:
    static QString sameIgnoringCase(const QStringList &entries, const QString &name);
    Found findBelow(const QString &folder, const QStringList &elements) const;

    QStringList m_folders;
};

} // namespace ruzez
