// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "programdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramDir {
namespace {

QString s_path;

QString resolve()
{
    const QString fromEnv = qEnvironmentVariable("VEXA_HOME");
    if (!fromEnv.isEmpty())
        return QDir(fromEnv).absolutePath();
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && QFileInfo::exists(QDir(exeDir).filePath(QStringLiteral("VEXA.INI"))))
        return exeDir;
    QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (perUser.isEmpty())
        perUser = QDir::home().filePath(QStringLiteral(".local/share/vexa"));
    return perUser;
}

} // namespace

QString path()
{
    if (s_path.isEmpty()) {
        s_path = resolve();
        QDir().mkpath(s_path);
    }
    return s_path;
}

QString file(const QString &name)
{
    return QDir(path()).filePath(name);
}

QString dataDir()
{
    return file(QStringLiteral("data"));
}

bool ensureDataDir()
{
    return QDir().mkpath(dataDir());
}

void useFolder(const QString &folder)
{
    s_path = QDir(folder).absolutePath();
    QDir().mkpath(s_path);
}

void reset()
{
    s_path.clear();
}

} // namespace ProgramDir
