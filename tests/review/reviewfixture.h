// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "fakeplatform.h"
#include "mainstate.h"
#include "matchfixture.h"
#include "matchrecord.h"
#include "movefile.h"
#include "reviewcontroller.h"
#include "scriptedprompts.h"
#include "testkit.h"

#include <QTemporaryDir>

// Real picture files in a temporary folder, each with the catalogue row a pre-scan would have
// written for it (in the catalogue of the list "General", where the review windows look), and
// the main window's state the review actions read.
class FilesFixture : public CatalogueFixture
{
public:
    // rootTemplate: where the test's folder is made ("/dev/shm/vexa-XXXXXX"); empty: the
    // system's temporary folder, which is also used when the template cannot be.
    explicit FilesFixture(const QString &rootTemplate = QString());

    // A folder under the test's root (made when missing), ending with "/".
    QString folder(const QString &name = QString()) const;
    // Writes a file unless it is there, and adds its row; the row as a match record.
    MatchRecord add(const QString &folderPath, const QString &name, const QByteArray &content,
                    const QString &volumeTag = QStringLiteral("[]"));
    // One file of the name in each of the folders.
    void addGroup(const QString &name, const QStringList &folders);
    // The row of a record as the catalogue holds it now.
    FilesRecord row(const MatchRecord &record);
    // The names in a folder, sorted.
    static QStringList names(const QString &folderPath);

    MainState state;

private:
    std::unique_ptr<QTemporaryDir> m_root;
};

// What a review window does for its controller, written down instead of shown; the tests of
// the pair review and the snapshot add what their own windows do.
struct RecordingHost : FilesFixture, virtual ReviewHost
{
    using FilesFixture::FilesFixture;
    FakePlatform platform;
    ScriptedPrompts prompts;
    QStringList viewed, counts; // "first|second" per full-size view, from the test folder
    QString countText, deleteRequest; // what the viewer's Delete asks for
    int unloads = 0;
    MoveDialog move{state};

    void refresh() override {}
    void processEvents() override {}
    QString showFullSize(const QString &a, const QString &b, const QString &,
                         const QString &) override
    {
        viewed << a.mid(folder().size()) + QLatin1Char('|') + b.mid(folder().size());
        return deleteRequest;
    }
    void countProgress(const QString &text) override { counts << text; }
    void countResult(const QString &text) override { countText = text; }
    MoveDialog &runMoveDialog(const QString &, const QString &) override { return move; }
    void unload() override { ++unloads; }
};
