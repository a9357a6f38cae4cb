// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "listtag.h"

#include "programdir.h"
#include "safefile.h"
#include "vbtext.h"

#include <QDate>
#include <QFile>

namespace ListTag {

QString pathFor(const QString &catalogueName)
{
    return ProgramDir::file(QStringLiteral("data/") + catalogueName + QStringLiteral(".lcd"));
}

int currentMonth()
{
    return QDate::currentDate().month();
}

bool write(const QString &path, int month)
{
    return SafeFile::writeWhole(path, (VbText::print(month) + QStringLiteral("\r\n")).toUtf8());
}

std::optional<QString> readFirstLine(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray line = f.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    const int cr = line.indexOf('\r');
    if (cr >= 0)
        line.truncate(cr);
    return QString::fromUtf8(line).trimmed();
}

} // namespace ListTag
