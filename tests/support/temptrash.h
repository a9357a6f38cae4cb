// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <optional>

// The Trash under a temporary data folder for as long as the object lives.
class TempTrash
{
public:
    TempTrash();
    ~TempTrash();
    QString dataHome() const { return m_dir.filePath(QStringLiteral("share")); }
    // A folder beside the data folder, made when missing; the whole path, without "/" at the end.
    QString folder(const QString &name) const;
    // The original places of the entries in the home Trash, read by trash-cli; nothing when
    // trash-cli is not installed.
    std::optional<QString> list() const;
    // Restores the one entry trashed from under folder with trash-cli.
    void restore(const QString &folder) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_had;
};
