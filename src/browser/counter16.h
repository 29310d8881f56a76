#pragma once

#include <QtGlobal>

#include <limits>

namespace ruzez {

// The window's counters are 16-bit. A step that would leave that range is
// refused: the counter keeps its value and the caller goes on, as with any
// other failing step of a handler.
inline bool step16(qint16 &counter, int by)
{
    const int next = int(counter) + by;
    if (next < std::numeric_limits<qint16>::min() || next > std::numeric_limits<qint16>::max())
        return false;
    counter = qint16(next);
    return true;
}

} // namespace ruzez
