#pragma once

#include <QString>
#include <QUrl>

namespace ruzez {

// Turns an address as the program builds it into the URL the engine loads:
// "file://" + root + page, a plain local path, a path written with
// backslashes, or any URL ("about:blank", "http://..."). Backslashes become
// "/", a local path becomes a file: URL, a "#fragment" is kept and other
// schemes pass unchanged. A local path that is not absolute is taken from
// the file system's root, so it loads nothing rather than something picked
// by the working folder. An empty address gives an invalid URL.
QUrl addressToUrl(const QString &address);

} // namespace ruzez
