#include "worksheet_picture.h"

// The resource lives in a static library: nothing would pull its object
// file into the program unless it is initialised by name, outside any
// namespace.
static void initWorksheetResource()
{
    Q_INIT_RESOURCE(worksheet);
}

namespace ruzez {

QPixmap worksheetPicture()
{
    initWorksheetResource();
    return QPixmap(QStringLiteral(":/worksheet/worksheet.png"));
}

} // namespace ruzez
