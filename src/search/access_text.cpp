#include "search/access_text.h"

#include "shell/ansi_text.h"

#include <algorithm>

namespace ruzez {

namespace {

QString utf16(QByteArrayView bytes)
{
    QString out(bytes.size() / 2, Qt::Uninitialized);
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < out.size(); ++i)
        to[i] = char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8);
    return out;
}

} // namespace

QString jetText(QByteArrayView bytes, bool jet4)
{
    if (!jet4)
        return fromAnsi(bytes);
    if (bytes.size() < 2 || uchar(bytes[0]) != 0xff || uchar(bytes[1]) != 0xfe)
        return utf16(bytes);
    QString out;
    out.reserve(bytes.size());
    bool compressed = true;
    for (qsizetype i = 2; i < bytes.size();) {
        // A run up to the next mode switch, decoded in one go; an odd last byte is dropped.
        qsizetype end = i;
        while (end < bytes.size() && bytes[end] != 0)
            end += compressed ? 1 : 2;
        end = std::min(end, bytes.size());
        if (compressed)
            out.append(QLatin1String(bytes.data() + i, end - i));
        else
            out.append(utf16(bytes.sliced(i, end - i)));
        i = end + 1;
        compressed = !compressed;
    }
    return out;
}

} // namespace ruzez
