// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "resources.h"

#include "catalogue.h"
#include "programdir.h"
#include "safefile.h"

#include <QFile>
#include <QFileInfo>

// Resources compiled into a static library must be registered by hand.
static void registerResources()
{
    Q_INIT_RESOURCE(vexa);
}

namespace Resources {

QString writeMissing()
{
    registerResources();
    const struct
    {
        const char *resource;
        const char *name;
    } files[] = {{":/vexa/vexa.html", "vexa.html"}, {":/vexa/error.bmp", "error.bmp"}};
    for (const auto &f : files) {
        const QString target = ProgramDir::file(QLatin1String(f.name));
        if (QFileInfo::exists(target))
            continue;
        QFile resource(QLatin1String(f.resource));
        QString why;
        if (!resource.open(QIODevice::ReadOnly) || !SafeFile::writeWhole(target, resource.readAll(), &why))
            return QStringLiteral("Unable to write %1").arg(why.isEmpty() ? target : why);
    }
    QString error;
    if (!Catalogue::ensureTemplate(ProgramDir::file(QStringLiteral("vexa.mdb")), &error))
        return error;
    return QString();
}

} // namespace Resources
