#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace ruzez {

// Course pages written on the old system sometimes name the disc by its
// drive letter: "D:\re2rira\air\page.htm", "file:///D:/re2rira/air/page.htm".
// Whatever the letter, such a path leads into the course folder when it
// goes through a folder of the course's name ("re2rira", any case); any
// other drive path leads nowhere.

// The path below one of `folders` that a drive path ("D:/re2rira/air/x.htm",
// "/d:\re2rira/air/x.htm") means; empty for any other path.
QString courseDrivePath(const QString &path, const QStringList &folders);

// A link "D:\re2rira\page.htm" reaches the engine as an address whose scheme
// is the letter: the file: address it means; an empty URL for any other.
QUrl driveLetterAddress(const QUrl &url);

} // namespace ruzez
