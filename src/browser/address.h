#pragma once

#include <QString>
#include <QUrl>

namespace ruzez {

// Turns an address as the program builds it into the URL the engine loads:
// "file://" + root + page, a plain local path, a path written with
// backslashes, or any URL ("about:blank", "http://..."). Backslashes become
// "/", a local path becomes a file: URL, a "#fragment" is kept and other
// schemes pass unchanged. Folder names are taken literally, whatever they
// hold ("#", "?", "%", spaces, accents): only the page's own "#anchor" (or
// "?query") after the last "/" is read as such; an address the engine
// reported, percent-encoded, is read back as the URL it is. A local path that is not absolute is taken from
// the file system's root, so it loads nothing rather than something picked
// by the working folder. An empty address gives an invalid URL.
QUrl addressToUrl(const QString &address);

} // namespace ruzez
