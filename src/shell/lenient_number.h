#pragma once

#include <QString>

namespace ruzez {

// Reads a number the forgiving way the course's exchange texts need:
// blanks, tabs and line feeds are ignored anywhere; the number runs from
// the start of the text up to the first character that cannot continue it
// (sign, digits, one decimal point, an exponent written E or D); "&H" and
// "&O" introduce hexadecimal and octal numbers. No number gives 0.
double lenientNumber(QStringView text);

} // namespace ruzez
