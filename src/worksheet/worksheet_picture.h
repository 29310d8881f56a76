#pragma once

#include <QPixmap>

namespace ruzez {

// The 47 x 49 picture shown as Image2 beside the worksheet: a sheet of
// paper and a pencil.
QPixmap worksheetPicture();

} // namespace ruzez
