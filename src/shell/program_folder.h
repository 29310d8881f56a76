#pragma once

#include <QString>

namespace ruzez {

// Joins a file name to a folder, adding the separator only when the folder
// does not already end in one (a folder at "/" stays "/" + name).
QString joinPath(const QString &folder, const QString &name);

// The program folder itself comes from the command line: see start_options.h.

} // namespace ruzez
