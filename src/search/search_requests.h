#pragma once

#include "file_access/file_access.h"
#include "search/keyword_search.h"

#include <chrono>

namespace ruzez::search_requests {

// The links table lies in the program folder, often on a share: the whole
// search runs in a worker. A table that does not answer within the limit
// finds nothing.
inline constexpr std::chrono::milliseconds kLimit{2000};

// keywordSearch over the links table at `databasePath`, the window's events
// handled while it runs.
KeywordSearch run(FileAccess &files, const QString &databasePath, const QString &boxText, SearchMode mode);

void addOperations(FileOperations &operations);

} // namespace ruzez::search_requests
