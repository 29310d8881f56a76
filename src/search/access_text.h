#pragma once

#include <QByteArrayView>
#include <QString>

namespace ruzez {

// Text as Access stores it: windows-1252 in Jet3 files; UCS-2 in Jet4 files,
// or its compressed form (FF FE, then one byte per character below U+0100,
// a 0 byte switching to two bytes per character and back).
QString jetText(QByteArrayView bytes, bool jet4);

} // namespace ruzez
