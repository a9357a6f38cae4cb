// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "vbtext.h"

#include <cmath>
#include <limits>

namespace VbText {
namespace {

// Up to 15 significant digits, plain form from 1E-4 up to below 1E15, exponent form outside.
// The value is rounded to 15 digits first and the form chosen from the rounded exponent, so
// 999999999999999.9 reads "1E+15" and never shows a sixteenth digit.
QString formatDigits(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return QString::number(value);
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    // "d.dddddddddddddde+XX": the fifteen rounded digits and the decimal exponent.
    const QString scientific = QString::number(std::fabs(value), 'e', 14);
    const int e = scientific.indexOf(QLatin1Char('e'));
    const int exponent = scientific.mid(e + 1).toInt();
    QString digits = scientific.left(1) + scientific.mid(2, e - 2);
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    if (exponent >= 15 || exponent < -4) {
        QString mantissa = digits.left(1);
        if (digits.size() > 1)
            mantissa += QLatin1Char('.') + digits.mid(1);
        return sign + mantissa + QLatin1Char('E') +
               (exponent < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
               QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    }
    if (exponent < 0)
        return sign + QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + digits;
    const int wholeDigits = exponent + 1;
    if (digits.size() <= wholeDigits)
        return sign + digits + QString(wholeDigits - digits.size(), QLatin1Char('0'));
    return sign + digits.left(wholeDigits) + QLatin1Char('.') + digits.mid(wholeDigits);
}

// Reads the digits of a "&H" or "&O" number as the bits of a signed integer: up to &HFFFF a
// 16-bit one (so "&HFFFF" is -1), up to &HFFFFFFFF a 32-bit one; a trailing "&" asks for the
// 32-bit reading ("&HFFFF&" is 65535). Anything larger overflows and reads as 0.
double radixNumber(const QString &s, int from, int base)
{
    quint64 v = 0;
    int i = from;
    for (; i < s.size(); ++i) {
        const int d = QStringLiteral("0123456789ABCDEF").indexOf(s[i].toUpper());
        if (d < 0 || d >= base)
            break;
        v = v * quint64(base) + quint64(d);
        if (v > 0xFFFFFFFFu)
            return 0;
    }
    const bool longSuffix = i < s.size() && s[i] == QLatin1Char('&');
    if (v <= 0xFFFFu && !longSuffix)
        return double(qint16(quint16(v)));
    return double(qint32(quint32(v)));
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
        return radixNumber(s, 2, base);
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
