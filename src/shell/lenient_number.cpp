#include "lenient_number.h"

namespace ruzez {

namespace {

bool isIgnored(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// Hexadecimal and octal literals are integers; like the exchange file's
// writers we read up to four hexadecimal digits as a 16-bit signed value
// (&HFFFF is -1) and longer ones as 32-bit signed.
double radixNumber(const QString &digits, int base)
{
    QString run;
    for (QChar c : digits) {
        const int value = c.isDigit() ? c.digitValue()
                        : (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))
                            ? c.toLower().unicode() - 'a' + 10 : 99;
        if (value >= base)
            break;
        run.append(c);
    }
    if (run.isEmpty())
        return 0;
    bool ok = false;
    const quint64 raw = run.toULongLong(&ok, base);
    if (!ok || raw > 0xFFFFFFFFull)
        return 0;
    const int bits = base == 16 ? run.size() * 4 : run.size() * 3;
    if (bits <= 16 && raw <= 0xFFFF)
        return double(qint16(quint16(raw)));
    return double(qint32(quint32(raw)));
}

} // namespace

double lenientNumber(QStringView text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (!isIgnored(c))
            s.append(c);
    }

    if (s.size() >= 2 && s.at(0) == QLatin1Char('&')) {
        const QChar kind = s.at(1).toUpper();
        if (kind == QLatin1Char('H'))
            return radixNumber(s.mid(2), 16);
        if (kind == QLatin1Char('O'))
            return radixNumber(s.mid(2), 8);
        return 0;
    }

    // Collect the longest prefix that forms a decimal number.
    QString number;
    qsizetype i = 0;
    auto digitsAt = [&s](qsizetype at) {
        qsizetype n = 0;
        while (at + n < s.size() && s.at(at + n).isDigit() && s.at(at + n).unicode() < 128)
            ++n;
        return n;
    };
    if (i < s.size() && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-')))
        number.append(s.at(i++));
    qsizetype n = digitsAt(i);
    number.append(s.mid(i, n));
    i += n;
    bool anyDigit = n > 0;
    if (i < s.size() && s.at(i) == QLatin1Char('.')) {
        n = digitsAt(i + 1);
        number.append(QLatin1Char('.')).append(s.mid(i + 1, n));
        i += 1 + n;
        anyDigit = anyDigit || n > 0;
    }
    if (!anyDigit)
        return 0;
    if (i < s.size()) {
        const QChar e = s.at(i).toUpper();
        if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
            qsizetype j = i + 1;
            QString exponent = QStringLiteral("e");
            if (j < s.size() && (s.at(j) == QLatin1Char('+') || s.at(j) == QLatin1Char('-')))
                exponent.append(s.at(j++));
            n = digitsAt(j);
            if (n > 0)
                number.append(exponent).append(s.mid(j, n));
        }
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0;
}

} // namespace ruzez
