// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "temphome.h"

#include "programdir.h"
#include "testkit.h"

#include <QDir>
#include <QFileInfo>

TempHome::TempHome() : m_oldHome(qgetenv("VEXA_HOME")), m_hadHome(qEnvironmentVariableIsSet("VEXA_HOME"))
{
    qputenv("VEXA_HOME", m_dir.path().toLocal8Bit());
    ProgramDir::reset();
}

TempHome::~TempHome()
{
    if (m_hadHome)
        qputenv("VEXA_HOME", m_oldHome);
    else
        qunsetenv("VEXA_HOME");
    ProgramDir::reset();
}

QString TempHome::file(const QString &name) const
{
    return QDir(m_dir.path()).filePath(name);
}

void TempHome::write(const QString &name, const QByteArray &content) const
{
    writeFile(file(name), content);
}

QByteArray TempHome::read(const QString &name) const
{
    return QFileInfo(file(name)).isFile() ? readFile(file(name)) : QByteArray();
}

bool TempHome::exists(const QString &name) const
{
    return QFileInfo::exists(file(name));
}
