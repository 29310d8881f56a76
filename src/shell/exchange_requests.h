#pragma once

#include "file_access/file_access.h"

#include <QString>

#include <chrono>

namespace ruzez::exchange {

// The exchange file lies in the program folder, often on a share: it is
// written by a worker, and a share that does not take it within the limit
// is given up on (the main course program then reads "OUI" afterwards, as
// after a program killed).
inline constexpr std::chrono::milliseconds kLimit{2000};

// announceRunning and announceStopped, through the file-access service.
QString announceRunning(FileAccess &files, const QString &programFolder);
bool announceStopped(FileAccess &files, const QString &programFolder);

void addOperations(FileOperations &operations);

} // namespace ruzez::exchange
