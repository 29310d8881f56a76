#pragma once

#include <QString>

namespace ruzez {

// The fonts course pages name (Arial, Verdana, Comic Sans MS, Symbol...)
// mapped to free fonts of the same metrics or look, by a fontconfig file of
// RUZEZ's own (ruzez-fonts.conf) that includes the system's. The engine
// reads it in this process only: the desktop's font settings stay as they
// are.

inline const QString kCourseFontsFile = QStringLiteral("ruzez-fonts.conf");

// The file installed with the program: beside the program folder's
// executable, or in the shared data of an installed package; empty if none.
QString courseFontsFile(const QString &programFolder);

// Points this process's fontconfig at the file; to be called before the
// application (and the engine) starts. A missing file changes nothing.
void useCourseFonts(const QString &file);

} // namespace ruzez
