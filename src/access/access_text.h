#pragma once

#include <QAnyStringView>
#include <QByteArrayView>
#include <QString>

namespace ruzez {

// Text as Access stores it: windows-1252 in Jet3 files; UCS-2 in Jet4 files,
// or its compressed form (FF FE, then one byte per character below U+0100,
// a 0 byte switching to two bytes per character and back).
QString jetText(QByteArrayView bytes, bool jet4);

// The same written into `out`, whose room is reused.
void jetTextInto(QByteArrayView bytes, bool jet4, QString &out);

// The same text viewed in `bytes` where they hold it as Latin-1, else decoded into `buffer`.
QAnyStringView jetTextView(QByteArrayView bytes, bool jet4, QString &buffer);

} // namespace ruzez
