#include "ansi_text.h"

#include <QHash>
#include <QStringDecoder>

namespace ruzez {

namespace {

constexpr const char *kCodePage = "windows-1252";

// Every byte of the code page decodes to one character, so the way back is
// the decoder's table turned round. (Qt's encoder marks an unmappable
// character with 0x1A and reports it unreliably, which would not give '?'.)
const QHash<char16_t, char> &encodingTable()
{
    static const QHash<char16_t, char> table = [] {
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
    }();
    return table;
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
