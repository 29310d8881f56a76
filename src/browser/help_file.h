#pragma once

#include <QString>

namespace ruzez {

// The course's help file, kept in the program folder.
inline constexpr char kHelpFileName[] = "ZK2.hlp";

// The help file's full path in the given program folder.
QString helpFile(const QString &programFolder);

} // namespace ruzez
