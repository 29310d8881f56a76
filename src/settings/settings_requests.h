#pragma once

#include "file_access/file_access.h"
#include "settings/settings_file.h"

#include <chrono>

namespace ruzez::settings_requests {

// The settings file lies in the program folder, often on a share: it is
// read and written by a worker. Not answered within the limit, a load
// reads nothing and a save counts as a failed write.
inline constexpr std::chrono::milliseconds kLimit{2000};

SettingsLoad load(FileAccess &files, const QString &programFolder);
bool save(FileAccess &files, const QString &programFolder, const MailSettings &settings);

void addOperations(FileOperations &operations);

} // namespace ruzez::settings_requests
