// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "resources.h"

#include "catalogue.h"
#include "programdir.h"
#include "safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// Resources compiled into a static library must be registered by hand.
static void registerResources()
{
    Q_INIT_RESOURCE(vexa);
}

namespace Resources {

namespace {

// Copies a file into the program directory; false with the reason when it cannot.
bool copyInto(const QString &source, const QString &target, QString *error)
{
    QFile in(source);
    QString why;
    if (in.open(QIODevice::ReadOnly) && SafeFile::writeWhole(target, in.readAll(), &why))
        return true;
    *error = QStringLiteral("Unable to write %1").arg(why.isEmpty() ? target : why);
    return false;
}

} // namespace

QStringList dataDirs()
{
    QStringList dirs;
    const auto add = [&dirs](const QString &dir) {
        const QString clean = QDir::cleanPath(dir);
        if (!dirs.contains(clean) && QFileInfo(clean).isDir())
            dirs << clean;
    };
    if (QCoreApplication::instance()) {
        const QString exe = QCoreApplication::applicationDirPath();
        add(exe + QStringLiteral("/share/vexa"));
        add(exe + QStringLiteral("/../share/vexa"));
    }
    for (const QString &dir :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("vexa"),
                                   QStandardPaths::LocateDirectory))
        add(dir);
    return dirs;
}

QString findData(const QString &name)
{
    for (const QString &dir : dataDirs()) {
        const QString path = dir + QLatin1Char('/') + name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString writeMissing()
{
    registerResources();
    // A program directory that has no settings yet is new: it gets the sounds too. A user who
    // removed them later is not given them again.
    const bool newDirectory = !QFileInfo::exists(ProgramDir::file(QStringLiteral("VEXA.INI")));
    QString error;
    for (const char *name : {"vexa.html", "error.bmp", "vexa.mdb"}) {
        const QString target = ProgramDir::file(QLatin1String(name));
        if (QFileInfo::exists(target))
            continue;
        const QString installed = findData(QLatin1String(name));
        if (!installed.isEmpty()) {
            if (!copyInto(installed, target, &error))
                return error;
        } else if (QLatin1String(name) == QLatin1String("vexa.mdb")) {
            if (!Catalogue::ensureTemplate(target, &error))
                return error;
        } else if (!copyInto(QStringLiteral(":/vexa/") + QLatin1String(name), target, &error)) {
            return error;
        }
    }
    for (const QString &dir : dataDirs()) {
        const QDir from(dir + QStringLiteral("/sounds"));
        if (!newDirectory || !from.exists())
            continue;
        for (const QString &wav :
             from.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
            const QString target = ProgramDir::file(wav);
            if (!QFileInfo::exists(target) && !copyInto(from.filePath(wav), target, &error))
                return error;
        }
        break;
    }
    return QString();
}

} // namespace Resources
