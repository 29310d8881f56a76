#pragma once

class QTextEdit;

namespace ruzez {

// Write worksheet 1, 2 or 3 into the worksheet box, replacing what it held.
// They neither show nor hide the box, nor change its height.
void fiche1(QTextEdit &Text1);
void fiche2(QTextEdit &Text1);
void fiche3(QTextEdit &Text1);

} // namespace ruzez
