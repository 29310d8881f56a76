#pragma once

#include <QString>

namespace ruzez {

// Joins a file name to a folder, adding the separator only when the folder
// does not already end in one (a folder at "/" stays "/" + name).
QString joinPath(const QString &folder, const QString &name);

// The folder of the running program, where the exchange, favourites,
// settings, links and help files live.
QString programFolder();

} // namespace ruzez
