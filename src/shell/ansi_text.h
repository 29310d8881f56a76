#pragma once

#include <QByteArray>
#include <QString>

namespace ruzez {

// Text in the files is stored one byte per character in windows-1252, the
// code page the course's other programs write. A character outside it is
// stored as '?', as Windows does.
QByteArray toAnsi(QStringView text);
QString fromAnsi(QByteArrayView bytes);

} // namespace ruzez
