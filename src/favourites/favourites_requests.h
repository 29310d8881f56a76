#pragma once

#include "file_access/file_access.h"

#include <QString>

#include <chrono>

namespace ruzez::favourites_requests {

// The favourites file lies in the program folder, often on a share: an
// entry is added by a worker, and one not written within the limit counts
// as a failed write (the file keeps what it held).
inline constexpr std::chrono::milliseconds kLimit{2000};

bool add(FileAccess &files, const QString &programFolder, const QString &title, const QString &address);

void addOperations(FileOperations &operations);

} // namespace ruzez::favourites_requests
