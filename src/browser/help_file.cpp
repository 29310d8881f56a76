#include "browser/help_file.h"

#include "shell/program_folder.h"

namespace ruzez {

QString helpFile(const QString &programFolder)
{
    return joinPath(programFolder, QLatin1String(kHelpFileName));
}

} // namespace ruzez
