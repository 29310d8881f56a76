#include "page_compat/course_fonts.h"

#include <QDir>
#include <QFileInfo>

namespace ruzez {

QString courseFontsFile(const QString &programFolder)
{
    const QString executableFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QStringList candidates = {
        QDir(programFolder).filePath(kCourseFontsFile),
        QDir(executableFolder).filePath(kCourseFontsFile),
        QDir(executableFolder).filePath(QStringLiteral("../share/ruzez/") + kCourseFontsFile),
    };
    for (const QString &candidate : candidates) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isFile())
            return QFileInfo(candidate).absoluteFilePath();
    }
    return {};
}

void useCourseFonts(const QString &file)
{
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    qputenv("FONTCONFIG_FILE", QFile::encodeName(file));
}

} // namespace ruzez
