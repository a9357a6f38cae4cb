// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "vbtext.h"

#include <cmath>
#include <limits>

namespace VbText {
namespace {

// Up to 15 significant digits, plain form from 1E-4 up to below 1E15, exponent form outside.
QString formatDigits(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return value == 0.0 ? QStringLiteral("0") : QString::number(value);
    const double magnitude = std::fabs(value);
    QString sign = value < 0 ? QStringLiteral("-") : QString();
    if (magnitude >= 1e15 || magnitude < 1e-4) {
        // Mantissa with trailing zeros dropped, then E, sign, at least two exponent digits.
        QString text = QString::number(magnitude, 'e', 14);
        const int e = text.indexOf(QLatin1Char('e'));
        QString mantissa = text.left(e);
        const int exponent = text.mid(e + 1).toInt();
        if (mantissa.contains(QLatin1Char('.'))) {
            while (mantissa.endsWith(QLatin1Char('0')))
                mantissa.chop(1);
            if (mantissa.endsWith(QLatin1Char('.')))
                mantissa.chop(1);
        }
        return sign + mantissa + QStringLiteral("E") + (exponent < 0 ? QStringLiteral("-") : QStringLiteral("+"))
               + QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    }
    QString text = QString::number(magnitude, 'f', std::max(0, 14 - int(std::floor(std::log10(magnitude)))));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return sign + text;
}

} // namespace

QString general(double value)
{
    return formatDigits(value);
}

QString print(double value)
{
    QString text = formatDigits(value);
    const bool negative = text.startsWith(QLatin1Char('-'));
    QString body = negative ? text.mid(1) : text;
    if (body.startsWith(QLatin1String("0.")))
        body.remove(0, 1);
    return (negative ? QStringLiteral("-") : QStringLiteral(" ")) + body;
}

double leadingNumber(const QString &text)
{
    // Collect the characters that matter, skipping the blanks the parse ignores.
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            s.append(c);
    }
    int i = 0;
    const int n = s.size();
    if (n >= 2 && s[0] == QLatin1Char('&')) {
        const QChar kind = s[1].toUpper();
        const int base = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
        if (base == 0)
            return 0;
        qint64 v = 0;
        int digits = 0;
        for (i = 2; i < n && digits < 16; ++i, ++digits) {
            const int d = QStringLiteral("0123456789ABCDEF").indexOf(s[i].toUpper());
            if (d < 0 || d >= base)
                break;
            v = v * base + d;
        }
        return double(v);
    }
    QString number;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        number.append(s[i++]);
    int mantissaDigits = 0;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        number.append(s[i++]);
        ++mantissaDigits;
    }
    if (i < n && s[i] == QLatin1Char('.')) {
        number.append(s[i++]);
        while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
            number.append(s[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0;
    if (i < n && (s[i].toUpper() == QLatin1Char('E') || s[i].toUpper() == QLatin1Char('D'))) {
        QString exponent = QStringLiteral("e");
        int j = i + 1;
        if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            exponent.append(s[j++]);
        int expDigits = 0;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
            exponent.append(s[j++]);
            ++expDigits;
        }
        if (expDigits > 0)
            number.append(exponent);
    }
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

qint16 toInt16(double value)
{
    const double r = roundHalfEven(value);
    if (!(r >= std::numeric_limits<qint16>::min() && r <= std::numeric_limits<qint16>::max()))
        return 0;
    return qint16(r);
}

qint32 toInt32(double value)
{
    const double r = roundHalfEven(value);
    if (!(r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max()))
        return 0;
    return qint32(r);
}

} // namespace VbText
