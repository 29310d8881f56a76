#include "ansi_text.h"

#include <QHash>
#include <QStringDecoder>

namespace ruzez {

namespace {

constexpr const char *kCodePage = "windows-1252";

// Every byte of the code page decodes to one character, so the way back is
// the decoder's table turned round. (Qt's encoder marks an unmappable
// character with 0x1A and reports it unreliably, which would not give '?'.)
QHash<char16_t, char> makeEncodingTable()
{
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString decoded = QStringDecoder(kCodePage).decode(all);
    QHash<char16_t, char> t;
    if (decoded.size() == 256) {
        for (int b = 0; b < 256; ++b)
            t.insert(decoded.at(b).unicode(), char(b));
    }
    return t;
}

// Made before main(), so that it outlasts the handlers that run at exit():
// the flag "NON" is still written when the display's loss ends the program.
const QHash<char16_t, char> kEncodingTable = makeEncodingTable();

const QHash<char16_t, char> &encodingTable()
{
    return kEncodingTable;
}

} // namespace

QByteArray toAnsi(QStringView text)
{
    const auto &table = encodingTable();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append('?');
            ++i;
            continue;
        }
        out.append(table.value(c.unicode(), '?'));
    }
    return out;
}

QString fromAnsi(QByteArrayView bytes)
{
    return QStringDecoder(kCodePage).decode(bytes);
}

} // namespace ruzez
