#pragma once

#include <QString>
#include <QStringList>

namespace ruzez::wine {

// What decides which Wine prefixes are looked at besides the program's own:
// $WINEPREFIX and the home folder (whose .wine is Wine's default prefix).
struct Environment
{
    QString winePrefix;
    QString home;

    static Environment fromSystem();
};

// The Wine prefix (the folder holding drive_c/ and dosdevices/) that holds
// `folder`, or an empty text. The folder may be reached through the prefix's
// own drive letters (prefix/dosdevices/c:/...) or through drive_c itself, as
// Wine hands a Linux program the path of its executable either way.
QString prefixHolding(const QString &folder);

// The dosdevices/ folders whose drive letters may hold the course, in the
// order they are tried: the prefix holding the program folder, then
// $WINEPREFIX, then ~/.wine; each once, and only those that exist.
QStringList dosdevicesFolders(const QString &programFolder, const Environment &environment);

// The drive-letter entries of one dosdevices/ folder ("…/dosdevices/z:"), Z
// down to A, that are folders or links. A link is not followed: the letter's
// volume is not touched until it is examined.
QStringList driveLetters(const QString &dosdevices);

// The path a Windows program of `prefix` knows `path` by: C:\… under the
// prefix's drive_c, Z:\… (Wine's drive for the whole file system) otherwise.
QString windowsPath(const QString &path, const QString &prefix);

} // namespace ruzez::wine
