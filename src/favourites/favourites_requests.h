#pragma once

#include "file_access/file_access.h"

#include <QString>
#include <QStringList>

#include <chrono>

namespace ruzez::favourites_requests {

// The favourites file lies in the program folder, often on a share: an
// entry is added by a worker, and one not written within the limit counts
// as a failed write (the file keeps what it held).
inline constexpr std::chrono::milliseconds kLimit{2000};

bool add(FileAccess &files, const QString &programFolder, const QString &title, const QString &address);

// The favourites window's reads and its removal, each opening and closing
// the file; with `files` null, run here. A failed or unanswered read leaves
// what was read before it (titles) or nothing (address).
bool titles(FileAccess *files, const QString &programFolder, QStringList &titles);
void remove(FileAccess *files, const QString &programFolder, int entry);
QString address(FileAccess *files, const QString &programFolder, int entry);

void addOperations(FileOperations &operations);

} // namespace ruzez::favourites_requests
