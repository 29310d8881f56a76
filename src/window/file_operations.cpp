#include "window/file_operations.h"

#include "favourites/favourites_requests.h"
#include "page_policy/course_file_checks.h"
#include "search/search_requests.h"
#include "settings/settings_requests.h"
#include "shell/exchange_requests.h"

namespace ruzez {

FileOperations fileOperations()
{
    FileOperations operations;
    operations[course_file_checks::kOperation] = &course_file_checks::run;
    search_requests::addOperations(operations);
    favourites_requests::addOperations(operations);
    settings_requests::addOperations(operations);
    exchange::addOperations(operations);
    return operations;
}

} // namespace ruzez
