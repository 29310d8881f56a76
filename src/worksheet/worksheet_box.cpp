#include "worksheet_box.h"

#include <QTextEdit>

namespace ruzez {

// Placeholder until the worksheet texts land.
void fiche1(QTextEdit &Text1) { Text1.clear(); }
void fiche2(QTextEdit &Text1) { Text1.clear(); }
void fiche3(QTextEdit &Text1) { Text1.clear(); }

} // namespace ruzez
