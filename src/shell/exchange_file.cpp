#include "exchange_file.h"

#include "program_folder.h"
#include "record_file.h"

namespace ruzez::exchange {

QString path(const QString &programFolder)
{
    return joinPath(programFolder, QLatin1String(kFileName));
}

QString announceRunning(const QString &programFolder)
{
    RecordFile file(path(programFolder));
    QString activity;
    if (file.open()) {
        file.write(kRunningFlagRecord, kRunning);
        file.read(kActivityRecord, activity);
    }
    return activity;
}

bool announceStopped(const QString &programFolder)
{
    RecordFile file(path(programFolder));
    return file.open() && file.write(kRunningFlagRecord, kStopped) && file.close();
}

} // namespace ruzez::exchange
