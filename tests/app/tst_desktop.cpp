// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// What a desktop gives the program: folders from "Open with", and the files a package installs
// in the desktop's data folders, which a new program directory takes.
#include "maincontroller.h"
#include "resources.h"
#include "temphome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(Desktop, FoldersAreToldFromTheDesignedWords)
{
    QTemporaryDir dir;
    const QString sub = dir.filePath("sub");
    ASSERT_TRUE(QDir().mkpath(sub));
    QFile(dir.filePath("sub/a.jpg")).open(QIODevice::WriteOnly);
    const struct { const char *name; QStringList words, folders, left;
    } cases[] = {
        {"a list and /GATHER stay words", {"Photos", "/GATHER"}, {}, {"Photos", "/GATHER"}},
        {"a folder and a picture in it give the folder once",
         {sub, dir.filePath("sub/a.jpg")},
         {sub},
         {}},
        {"a missing path and a relative one are words",
         {"/no/such/folder", "sub"},
         {},
         {"/no/such/folder", "sub"}},
        {"folders beside a list name", {"Photos", dir.path()}, {dir.path()}, {"Photos"}},
    };
    for (const auto &c : cases) {
        QStringList words = c.words;
        EXPECT_EQ(MainController::foldersAmong(words), c.folders) << c.name;
        EXPECT_EQ(words, c.left) << c.name;
    }
}

TEST(Desktop, ANewProgramDirectoryTakesTheInstalledFiles)
{
    QTemporaryDir data;
    ASSERT_TRUE(QDir().mkpath(data.filePath("vexa/sounds")));
    for (const char *name : {"vexa/vexa.html", "vexa/sounds/ding.wav"}) {
        QFile f(data.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(name) > 0);
    }
    const QByteArray oldDirs = qgetenv("XDG_DATA_DIRS"), oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());
    qputenv("XDG_DATA_HOME", data.filePath("nothing").toUtf8());
    // Sounds come only with a new directory: a user who removed them keeps them removed.
    for (const bool settingsExist : {false, true}) {
        TempHome home;
        if (settingsExist)
            home.write("VEXA.INI", "NAME\r\n");
        ASSERT_EQ(Resources::writeMissing(), QString());
        EXPECT_EQ(home.read("vexa.html"), "vexa/vexa.html");
        EXPECT_TRUE(home.exists("error.bmp") && home.exists("vexa.mdb"));
        EXPECT_EQ(home.exists("ding.wav"), !settingsExist);
    }
    qputenv("XDG_DATA_DIRS", oldDirs);
    qputenv("XDG_DATA_HOME", oldHome);
}

} // namespace
