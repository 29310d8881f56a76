#include "page_policy/course_file_checks.h"

#include <QDataStream>
#include <QIODevice>

namespace ruzez::course_file_checks {

namespace {

CourseFiles::Found findAndRead(const CourseFiles &course, const QString &path)
{
    CourseFiles::Found found = course.find(path);
    if (found.kind == CourseFiles::Kind::File && !CourseFiles::headReadable(found.path))
        found.kind = CourseFiles::Kind::Unreadable;
    return found;
}

} // namespace

QByteArray run(const QByteArray &input)
{
    QDataStream in(input);
    QStringList folders;
    QString path;
    in >> folders >> path;
    const CourseFiles::Found found = findAndRead(CourseFiles(folders), path);
    QByteArray output;
    QDataStream out(&output, QIODevice::WriteOnly);
    out << qint32(found.kind) << found.path;
    return output;
}

CourseFiles::Found check(FileAccess &files, const CourseFiles &course, const QString &path,
                         std::chrono::milliseconds limit)
{
    QByteArray input;
    QDataStream out(&input, QIODevice::WriteOnly);
    out << course.folders() << path;
    const FileAccess::Reply reply = files.run(kOperation, input, kVolume, limit);
    switch (reply.outcome) {
    case FileAccess::Outcome::NoAnswer:
        return {CourseFiles::Kind::NotAnswering, path};
    case FileAccess::Outcome::Failed:
        // No worker to be had: checked here rather than refuse every page.
        return findAndRead(course, path);
    case FileAccess::Outcome::Answered:
        break;
    }
    QDataStream in(reply.data);
    qint32 kind = 0;
    CourseFiles::Found found;
    in >> kind >> found.path;
    if (in.status() != QDataStream::Ok || kind < 0 || kind > qint32(CourseFiles::Kind::NotAnswering))
        return findAndRead(course, path);
    found.kind = CourseFiles::Kind(kind);
    return found;
}

} // namespace ruzez::course_file_checks
