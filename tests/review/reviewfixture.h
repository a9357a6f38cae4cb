// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "catalogue.h"
#include "mainstate.h"
#include "matchrecord.h"
#include "temphome.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

// Serves the event loop until the condition holds (or ten seconds pass); returns it.
bool waitFor(const std::function<bool()> &done);

// Real picture files in a temporary folder, each with the catalogue row a pre-scan would have
// written for it, and the main window's state the review actions read.
class FilesFixture
{
public:
    // rootTemplate: where the test's folder is made ("/dev/shm/vexa-XXXXXX"); empty: the
    // system's temporary folder, which is also used when the template cannot be.
    explicit FilesFixture(const QString &rootTemplate = QString());

    // A folder under the test's root (made when missing), ending with "/".
    QString folder(const QString &name = QString()) const;
    // Writes a file (folders made) unless it is there, and adds its row; the row as a match
    // record.
    MatchRecord add(const QString &folderPath, const QString &name, const QByteArray &content,
                    const QString &volumeTag = QStringLiteral("[]"));
    static bool write(const QString &path, const QByteArray &content);
    static QByteArray read(const QString &path);
    // The row of a record as the catalogue holds it now.
    FilesRecord row(const MatchRecord &record);
    // The names in a folder, sorted.
    static QStringList names(const QString &folderPath);

    Catalogue &catalogue() { return m_catalogue; }
    MainState state;

private:
    TempHome m_home;
    std::unique_ptr<QTemporaryDir> m_root;
    Catalogue m_catalogue;
    double m_recnum = 0;
};
