#pragma once

#include "file_access/file_access.h"

namespace ruzez {

// Every operation the program runs through the file-access service: the
// page policy's checks, the search, the favourites, the settings and the
// exchange file.
FileOperations fileOperations();

} // namespace ruzez
