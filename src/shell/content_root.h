#pragma once

#include <QString>

namespace ruzez {

class Drives;
class MessageBoxes;

// Where the course content was found. racinesite is the disc's root
// followed by "re2rira/", so a page address relative to the course folder
// is simply appended to it; databaseName is the links database beside the
// program. Both stay empty until the disc is found.
struct ContentLocation
{
    QString racinesite;
    QString databaseName;
};

inline constexpr auto kCourseFolder = "re2rira/";
inline constexpr auto kSharedFolder = "re2rira/partages/";
inline constexpr auto kLinksDatabase = "environ.mdb";

// Looks for the file `name` in re2rira/partages/ on every drive, asking for
// the disc until it is found or the user gives up. On success `name` becomes
// the file's full path and `location` is set; on giving up `name` becomes
// empty, a beep sounds and `location` keeps its values. A blank name
// returns at once, unchanged.
void cherchecd(QString &name, const Drives &drives, MessageBoxes &boxes,
               const QString &programFolder, ContentLocation &location);

} // namespace ruzez
