#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ruzez::csv {

// RFC 4180 text in UTF-8: fields separated by commas, records by CRLF or LF;
// a field in double quotes may hold commas, line breaks and doubled quotes.
// A leading byte-order mark is skipped. nullopt, with the line and the
// reason in `error`, for text that is not valid UTF-8 or an unclosed quote.
std::optional<std::vector<QStringList>> parse(const QByteArray &bytes, QString *error);

// One record, quoting a field only when it needs it, ended by CRLF.
QByteArray record(const QStringList &fields);

} // namespace ruzez::csv
