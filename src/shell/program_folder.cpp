#include "program_folder.h"

#include <QCoreApplication>

namespace ruzez {

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace ruzez
