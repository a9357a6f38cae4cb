// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "identitykey.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>

namespace IdentityKey {
namespace {

constexpr int VolumeChars = 5;
constexpr int LocationChars = 200;

// "yyyy-mm-dd hh:mm:ss", written digit by digit into out: a pre-scan builds one key per file.
// False (and nothing written) for a year without four digits.
bool formatInto(char16_t *out, int year, int month, int day, int hour, int minute, int second)
{
    if (year < 0 || year > 9999)
        return false;
    auto two = [out](int at, int v) {
        out[at] = char16_t(u'0' + v / 10);
        out[at + 1] = char16_t(u'0' + v % 10);
    };
    two(0, year / 100);
    two(2, year % 100);
    out[4] = u'-';
    two(5, month);
    out[7] = u'-';
    two(8, day);
    out[10] = u' ';
    two(11, hour);
    out[13] = u':';
    two(14, minute);
    out[16] = u':';
    two(17, second);
    return true;
}

constexpr int DateChars = 19;

QString format(int year, int month, int day, int hour, int minute, int second)
{
    char16_t out[DateChars];
    if (!formatInto(out, year, month, day, hour, minute, second))
        return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                                 second);
    return QString(reinterpret_cast<const QChar *>(out), DateChars);
}

// The local date text of a moment into out; false when it has no four-digit year or the
// system cannot convert it.
bool localDateInto(char16_t *out, qint64 secondsSinceEpoch)
{
#ifdef Q_OS_UNIX
    // localtime_r reads the zone once per process; the moment's own offset (summer time)
    // comes from the zone's rules, as QDateTime's would.
    const time_t when = time_t(secondsSinceEpoch);
    struct tm local;
    return localtime_r(&when, &local)
           && formatInto(out, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour, local.tm_min, local.tm_sec);
#else
    Q_UNUSED(out);
    Q_UNUSED(secondsSinceEpoch);
    return false;
#endif
}

// " length date": the blank before the length stands where a minus sign would be.
void appendLengthAndDate(QString &out, qint64 length, QStringView date)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, length).ptr;
    out += QLatin1Char(' ');
    out += QLatin1String(digits, end);
    out += QLatin1Char(' ');
    out += date;
}

QString keyOf(bool identifyByLocation, const QString &driveVolume, const QString &path,
              const QString &wholeName, qint64 length, QStringView date)
{
    if (!identifyByLocation) {
        // The length and the date hold no letters: only the name needs upper-casing. The key
        // is written in place, at its final size: a pre-scan builds one per file.
        const QString upper = wholeName.toUpper();
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, length).ptr;
        QString key(upper.size() + 2 + (end - digits) + date.size(), Qt::Uninitialized);
        QChar *out = std::copy(upper.cbegin(), upper.cend(), key.data());
        *out++ = QLatin1Char(' ');
        for (const char *d = digits; d != end; ++d)
            *out++ = QLatin1Char(*d);
        *out++ = QLatin1Char(' ');
        std::copy(date.cbegin(), date.cend(), out);
        return key;
    }
    QString location = path + wholeName;
    appendLengthAndDate(location, length, date);
    return (driveVolume.left(VolumeChars) + location.right(LocationChars)).toUpper();
}

} // namespace

QString dateText(const QDateTime &when)
{
    // Local time, so that one moment gives one key whether it came as UTC or local time.
    // Formatted by hand: a pre-scan builds one key per file, and the general date formatter
    // costs more than the rest of the key.
    if (!when.isValid())
        return QString();
    const QDateTime local = when.timeSpec() == Qt::LocalTime ? when : when.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    return format(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

QString dateText(qint64 secondsSinceEpoch)
{
    char16_t out[DateChars];
    if (localDateInto(out, secondsSinceEpoch))
        return QString(reinterpret_cast<const QChar *>(out), DateChars);
    return dateText(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime));
}

QString normal(const QString &wholeName, qint64 length, const QDateTime &modified)
{
    return keyOf(false, QString(), QString(), wholeName, length, dateText(modified));
}

QString byLocation(const QString &driveVolume, const QString &path, const QString &wholeName,
                   qint64 length, const QDateTime &modified)
{
    return keyOf(true, driveVolume, path, wholeName, length, dateText(modified));
}

QString make(bool identifyByLocation, const QString &driveVolume, const QString &path,
             const QString &wholeName, qint64 length, const QDateTime &modified)
{
    return keyOf(identifyByLocation, driveVolume, path, wholeName, length, dateText(modified));
}

QString make(bool identifyByLocation, const QString &driveVolume, const QString &path,
             const QString &wholeName, qint64 length, qint64 modifiedSecondsSinceEpoch)
{
    char16_t date[DateChars];
    if (localDateInto(date, modifiedSecondsSinceEpoch))
        return keyOf(identifyByLocation, driveVolume, path, wholeName, length,
                     QStringView(date, DateChars));
    return keyOf(identifyByLocation, driveVolume, path, wholeName, length,
                 dateText(modifiedSecondsSinceEpoch));
}

} // namespace IdentityKey
