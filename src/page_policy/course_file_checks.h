#pragma once

#include "file_access/file_access.h"
#include "page_policy/course_files.h"

#include <chrono>

namespace ruzez {

// The page policy's look-ups, run through the file-access service: the
// window's thread waits for them, inside the web engine's own call, so
// never for long.
namespace course_file_checks {

inline constexpr auto kOperation = "course-files.find";
// Long enough for a disc or share that answers, short enough that the
// window still answers its window manager meanwhile.
inline constexpr std::chrono::milliseconds kWindowWait{500};
// The name the checks share for the course's disc or share.
inline const QString kVolume = QStringLiteral("course");

// Where `path` leads, as CourseFiles::find says, and, for a file, whether
// its start can be read; NotAnswering when no answer came within `limit`.
CourseFiles::Found check(FileAccess &files, const CourseFiles &course, const QString &path,
                         std::chrono::milliseconds limit = kWindowWait);

// The operation as the workers run it.
QByteArray run(const QByteArray &input);

} // namespace course_file_checks
} // namespace ruzez
