#pragma once

#include <QPixmap>

namespace ruzez {

// Image2, the 47 x 49 picture beside the worksheet: a sheet of questions
// with a pencil.
QPixmap worksheetPicture();

} // namespace ruzez
