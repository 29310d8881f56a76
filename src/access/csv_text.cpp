#include "access/csv_text.h"

#include <QStringDecoder>

namespace ruzez::csv {

std::optional<std::vector<QStringList>> parse(const QByteArray &bytes, QString *error)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = QStringLiteral("the file is not UTF-8 text");
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);

    std::vector<QStringList> records;
    QStringList current;
    QString field;
    bool quoted = false;       // inside a quoted field
    bool fieldStarted = false; // the record has begun (an empty line holds no record)
    int line = 1;
    int quoteLine = 0;
    auto endField = [&] {
        current << field;
        field.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"') {
            quoted = true;
            quoteLine = line;
            fieldStarted = true;
        } else if (c == u',') {
            endField();
            fieldStarted = true;
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;  // the LF that follows ends the record
        } else if (c == u'\n') {
            if (fieldStarted || !field.isEmpty()) {
                endField();
                records.push_back(current);
            }
            current.clear();
            fieldStarted = false;
            ++line;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        *error = QStringLiteral("line %1: a quoted field is never closed").arg(quoteLine);
        return std::nullopt;
    }
    if (fieldStarted || !field.isEmpty()) {
        endField();
        records.push_back(current);
    }
    return records;
}

QByteArray record(const QStringList &fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        const QString &f = fields[i];
        const bool needsQuotes = f.contains(u',') || f.contains(u'"') || f.contains(u'\n')
            || f.contains(u'\r');
        if (needsQuotes) {
            QString escaped = f;
            escaped.replace(u'"', QStringLiteral("\"\""));
            out += '"' + escaped.toUtf8() + '"';
        } else {
            out += f.toUtf8();
        }
    }
    out += "\r\n";
    return out;
}

} // namespace ruzez::csv
