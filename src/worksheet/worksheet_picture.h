#pragma once

#include <QPixmap>

namespace ruzez {

// The 47 x 49 picture shown as Image2 beside the worksheet: a sheet of
// paper and a pencil, drawn for a screen of that pixel ratio (sharp on
// screens scaled to 125-200 %).
QPixmap worksheetPicture(qreal ratio = 1);

} // namespace ruzez
