// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "temptrash.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

TempTrash::TempTrash() : m_old(qgetenv("XDG_DATA_HOME")), m_had(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
{
    qputenv("XDG_DATA_HOME", dataHome().toLocal8Bit());
}

TempTrash::~TempTrash()
{
    if (m_had)
        qputenv("XDG_DATA_HOME", m_old);
    else
        qunsetenv("XDG_DATA_HOME");
}

QString TempTrash::folder(const QString &name) const
{
    QDir().mkpath(m_dir.filePath(name));
    return m_dir.filePath(name);
}

std::optional<QString> TempTrash::list() const
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("trash-list"));
    if (program.isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(program, {});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void TempTrash::restore(const QString &folder) const
{
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("trash-restore")), {folder});
    p.write("0\n");
    p.closeWriteChannel();
    p.waitForFinished(30000);
}
