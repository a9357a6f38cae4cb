// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "dirlist.h"

#include "fakeplatform.h"
#include "frmfindit.h"
#include "mainstate.h"
#include "scriptedprompts.h"
#include "temphome.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using Check = MainState::Check;
using Prompts::Answer;

namespace {

struct ListFixture : ::testing::Test
{
    TempHome home;
    FakePlatform platform;
    ScriptedPrompts prompts;
    MainState state;
};

} // namespace

TEST_F(ListFixture, SaveAndLoadGiveBackEntriesIfcdAndTreeFlag)
{
    state.directories = QStringList{"[] /srv/b/", "[PICS] /media/pics/", "[] /srv/a/"};
    state.ifcd = "[PICS] /media/pics/";
    state.setChecked(Check::TreeModeIfcd, true);
    ASSERT_TRUE(DirList::SaveList(state, "Holiday"));
    EXPECT_EQ(home.read("data/Holiday.lst"),
              "[DIRECTORIES]\r\n[] /srv/b/\r\n[PICS] /media/pics/\r\n[] /srv/a/\r\n"
              "[PICS] /media/pics/ = INCOMING FILE DIRECTORY\r\nTREE MODE IFCD\r\n \r\n");
    EXPECT_EQ(home.read("data/Holiday.lcd"),
              " " + QByteArray::number(QDate::currentDate().month()) + "\r\n");
    EXPECT_EQ(state.listName, "Holiday");

    MainState loaded;
    DirList::LoadList(loaded, "Holiday");
    EXPECT_EQ(loaded.directories, state.directories);
    EXPECT_EQ(loaded.ifcd, state.ifcd);
    EXPECT_TRUE(loaded.isChecked(Check::TreeModeIfcd));
    EXPECT_EQ(loaded.listName, "Holiday");

    // An existing LIST TAG file keeps its month.
    home.write("data/Holiday.lcd", " 3\r\n");
    ASSERT_TRUE(DirList::SaveList(state, "Holiday"));
    EXPECT_EQ(home.read("data/Holiday.lcd"), " 3\r\n");
}

TEST_F(ListFixture, DamagedListFilesLoadWhatIsValid)
{
    const struct
    {
        const char *name;
        QByteArray content;
        QStringList entries;
        QString ifcd;
        bool tree;
    } cases[] = {
        {"junk and long lines",
         "garbage\r\n[] /ok/\r\n" + QByteArray(200000, 'x') +
             "\r\n[] relative/\r\n[x]/no-blank/\r\n"
             "[] /has=equals/\r\n\x01\x02\xff\r\n[] /ok2/\r\n",
         {"[] /ok/", "[] /ok2/"},
         "",
         false},
        {"CR-only line ends",
         "[DIRECTORIES]\r[] /a/\r[] /b/\r[] /b/ = INCOMING FILE DIRECTORY\rTREE MODE IFCD\r \r",
         {"[] /a/", "[] /b/"},
         "[] /b/",
         true},
        {"IFCD missing from the entries",
         "[] /a/\r\n[] /in/ = INCOMING FILE DIRECTORY\r\nTREE MODE IFCD\r\n",
         {"[] /a/", "[] /in/"},
         "[] /in/",
         false},
        {"no IFCD line at all", "[] /a/\n", {"[] /a/"}, "", false},
        {"entries without their closing separator",
         "[] /srv/pics\r\n[] /srv/in = INCOMING FILE DIRECTORY\r\n",
         {"[] /srv/pics/", "[] /srv/in/"},
         "[] /srv/in/",
         false},
    };
    for (const auto &c : cases) {
        home.write("data/L.lst", c.content);
        MainState s;
        DirList::LoadList(s, "L");
        EXPECT_EQ(s.directories, c.entries) << c.name;
        EXPECT_EQ(s.ifcd, c.ifcd) << c.name;
        EXPECT_EQ(s.isChecked(Check::TreeModeIfcd), c.tree) << c.name;
    }
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(ListFixture, MissingAndUnusableListsAreReportedExceptGeneral)
{
    state.directories = QStringList{"[] /keep/"};
    DirList::LoadList(state, "general"); // no file: silently empty
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_TRUE(state.directories.isEmpty());
    EXPECT_EQ(state.listName, "General"); // unchanged

    state.directories = QStringList{"[] /keep/"};
    prompts.then(Answer::Ok).then(Answer::Ok).then(Answer::Ok);
    DirList::LoadList(state, "Nope");
    EXPECT_FALSE(DirList::SaveList(state, "a/b"));
    EXPECT_FALSE(DirList::SaveList(state, QString("x") + QChar(0) + "y"));
    EXPECT_EQ(prompts.texts(), (QStringList{"Unable to read DIR LIST file",
                                            "Unable to create DIR LIST file",
                                            "Unable to create DIR LIST file"}));
    EXPECT_EQ(state.listName, "General");
    EXPECT_EQ(QDir(home.file("data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());

    prompts.then(Answer::Ok);
    EXPECT_FALSE(DirList::SaveList(state, "  "));
}

TEST_F(ListFixture, AddTreeWalksDepthFirstAlphabeticallyWithoutLinks)
{
    QTemporaryDir tmp;
    const QString a = tmp.path() + "/A";
    for (const char *d : {"/A/c", "/A/B/D", "/A/b2", "/A/.hidden/x"})
        QDir().mkpath(tmp.path() + d);
    // A loop back to the top and a link to a sibling: neither is followed.
    ASSERT_TRUE(QFile::link(a, a + "/B/D/loop"));
    ASSERT_TRUE(QFile::link(a + "/c", a + "/B/toc"));
    platform.addVolume(tmp.path(), Platform::DriveKind::Fixed, "data");
    state.directories = QStringList{"[DATA] " + a + "/B/"}; // already listed: not added twice
    DirList::AddTree(state, a);
    EXPECT_EQ(state.directories,
              (QStringList{"[DATA] " + a + "/B/", "[DATA] " + a + "/", "[DATA] " + a + "/B/D/",
                           "[DATA] " + a + "/b2/", "[DATA] " + a + "/c/"}));
}

TEST_F(ListFixture, AddingSkipsTheIfcdAndDuplicatesUnlessTheListIsEmpty)
{
    state.ifcd = "[] /in/";
    DirList::AddListEntry(state, "/in");
    EXPECT_EQ(state.directories, QStringList{"[] /in/"}); // an empty list takes it
    DirList::AddListEntry(state, "/in/");
    DirList::AddListEntry(state, "/pics");
    DirList::AddListEntry(state, "/pics/");
    EXPECT_EQ(state.directories, (QStringList{"[] /in/", "[] /pics/"}));
}

TEST_F(ListFixture, DeleteAndUndesignate)
{
    const QStringList list{"[] /pics/", "[] /pics/2024/", "[] /pics2/", "[] /other/"};
    const struct
    {
        const char *name;
        QList<int> selected;
        bool tree;
        QList<Answer> answers;
        QStringList left;
        QString ifcdAfter;
    } cases[] = {
        {"selected rows, IFCD among them", {0, 3}, true, {}, {"[] /pics/2024/", "[] /pics2/"}, ""},
        {"tree IFCD removed by prefix only",
         {},
         true,
         {Answer::Yes, Answer::Yes},
         {"[] /pics2/", "[] /other/"},
         ""},
        {"single IFCD removed alone",
         {},
         false,
         {Answer::Yes, Answer::Yes},
         {"[] /pics/2024/", "[] /pics2/", "[] /other/"},
         ""},
        {"un-designated but kept", {}, true, {Answer::Yes, Answer::No}, list, ""},
        {"nothing done", {}, true, {Answer::No}, list, "[] /pics/"},
    };
    for (const auto &c : cases) {
        MainState s;
        s.directories = list;
        s.ifcd = "[] /pics/";
        s.setChecked(Check::TreeModeIfcd, c.tree);
        for (Answer a : c.answers)
            prompts.then(a);
        DirList::DeleteEntries(s, c.selected);
        EXPECT_EQ(s.directories, c.left) << c.name;
        EXPECT_EQ(s.ifcd, c.ifcdAfter) << c.name;
        EXPECT_EQ(s.isChecked(Check::TreeModeIfcd), !c.ifcdAfter.isEmpty() && c.tree) << c.name;
    }
    EXPECT_EQ(prompts.texts().value(1),
              "Shall I remove the IFCD Directory(s) from the seach list as well?");
}

TEST_F(ListFixture, LoadSaveDialogCutsNamesAndGuardsTheReservedOne)
{
    state.directories = QStringList{"[] /a/"};
    // message empty: the list is saved under savedAs.
    const struct { QString typed, message, savedAs; } cases[] = {{"Trip.lst", "", "Trip"},
                 {"  Two words .x.y", "", "Two words"},
                 {"", "No list name specified...", ""},
                 {".lst", "No list name specified...", ""},
                 {"vexa.lst", "You may not use the name VEXA!", ""}};
    for (const auto &c : cases) {
        frmLOADSAVE dialog(state, frmLOADSAVE::Action::Save);
        dialog.txtFILENAME->setText(c.typed);
        if (!c.message.isEmpty())
            prompts.then(Answer::Ok);
        dialog.cmdACTION_Click();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(home.exists("data/" + c.savedAs + ".lst")) << c.typed.toStdString();
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        } else {
            EXPECT_EQ(prompts.boxes.last().text, c.message);
            EXPECT_FALSE(dialog.isHidden() && dialog.result() == QDialog::Accepted);
        }
    }
    // Delete removes the list's four files after a question whose default is No.
    for (const char *ext : {".mdb", ".lcd", ".ldb"})
        home.write(QString("data/Trip") + ext, "x");
    frmLOADSAVE dialog(state, frmLOADSAVE::Action::Load);
    EXPECT_EQ(dialog.listFILES->count(), 2);
    dialog.txtFILENAME->setText("Trip.lst");
    prompts.then(Answer::No);
    dialog.cmdDELETE_Click();
    EXPECT_TRUE(home.exists("data/Trip.lst"));
    prompts.then(Answer::Yes);
    dialog.cmdDELETE_Click();
    EXPECT_EQ(prompts.boxes.last().text, "Delete list - Trip ?");
    EXPECT_EQ(prompts.boxes.last().defaultButton, Prompts::Default::Second);
    for (const char *ext : {".lst", ".mdb", ".lcd", ".ldb"})
        EXPECT_FALSE(home.exists(QString("data/Trip") + ext)) << ext;
    EXPECT_EQ(dialog.listFILES->count(), 1);
    EXPECT_TRUE(dialog.txtFILENAME->text().isEmpty());
    EXPECT_EQ(state.listName, "Two words"); // the current list is not changed by a delete
}

TEST_F(ListFixture, AddDirectoriesDialogStartsWhereTheUserWasAndRemembersIt)
{
    QTemporaryDir tmp;
    QDir().mkpath(tmp.path() + "/pics/2024");
    state.lastDirectory = tmp.path() + "/pics";
    {
        frmFINDIT dialog(state);
        EXPECT_EQ(dialog.currentDirectory(), tmp.path() + "/pics");
        dialog.cmdIFCDTREE_Click();
        EXPECT_EQ(state.directories,
                  (QStringList{"[] " + tmp.path() + "/pics/", "[] " + tmp.path() + "/pics/2024/"}));
        EXPECT_EQ(state.ifcd, "[] " + tmp.path() + "/pics/");
        EXPECT_TRUE(state.isChecked(Check::TreeModeIfcd));
        ASSERT_TRUE(dialog.setDirectory(tmp.path() + "/pics/2024"));
        dialog.accept();
    }
    EXPECT_EQ(state.lastDirectory, tmp.path() + "/pics/2024");
    // A removable volume is not where the dialog opens.
    platform.addVolume(tmp.path(), Platform::DriveKind::Removable, "STICK");
    frmFINDIT dialog(state);
    EXPECT_EQ(dialog.currentDirectory(), QDir::homePath());
}

TEST_F(ListFixture, AutomaticSavesNeverShortenAListTheUserDidNotChange)
{
    const QByteArray file =
        "[DIRECTORIES]\r\n[] /a/\r\n[] /b/\r\n = INCOMING FILE DIRECTORY\r\n \r\n";
    const struct
    {
        const char *name;
        std::function<void(MainState &)> act;
        bool written;
        QStringList onDisk;
    } cases[] = {
        {"a list emptied by a load that failed",
         [](MainState &s) { DirList::LoadList(s, "Typo"); },
         false,
         {"[] /a/", "[] /b/"}},
        {"an entry the user deleted",
         [](MainState &s) { DirList::DeleteEntries(s, {0}); },
         true,
         {"[] /b/"}},
        {"as many entries as the file",
         [](MainState &s) {
             s.directories = {"[] /a/", "[] /z/"};
         },
         true,
         {"[] /a/", "[] /z/"}},
    };
    for (const auto &c : cases) {
        home.write("data/Pics.lst", file);
        MainState s;
        ASSERT_TRUE(DirList::LoadList(s, "Pics"));
        if (QByteArray(c.name).contains("failed"))
            prompts.then(Answer::Ok);
        c.act(s);
        EXPECT_EQ(DirList::SaveListAutomatically(s), c.written) << c.name;
        MainState back;
        DirList::LoadList(back, "Pics");
        EXPECT_EQ(back.directories, c.onDisk) << c.name;
    }
}

TEST_F(ListFixture, FolderNamesAListFileCannotHoldAreRefusedOrReported)
{
    QTemporaryDir tmp;
    const QString top = tmp.path() + "/top";
    for (const char *d : {"/top/fine/inner", "/top/locked/inside", "/top/two\nlines/x"})
        ASSERT_TRUE(QDir().mkpath(tmp.path() + d));
    const QByteArray notText = QFile::encodeName(top) + "/bad\xff";
    ASSERT_EQ(::mkdir(notText.constData(), 0755), 0);

    // A line break in the folder's own name: nothing is added, the user is told.
    prompts.then(Answer::Ok);
    EXPECT_TRUE(DirList::AddListEntry(state, top + "/two\nlines").isEmpty());
    EXPECT_TRUE(state.directories.isEmpty());
    EXPECT_TRUE(prompts.boxes.last().text.contains("holds a line break"))
        << prompts.boxes.last().text.toStdString();

    // In a tree: such folders are left out, an unreadable one is listed, all are reported.
    Unprivileged::openToAll(tmp.path());
    Unprivileged::lock(top + "/locked");
    prompts.then(Answer::Ok);
    {
        Unprivileged user;
        EXPECT_TRUE(DirList::AddTree(state, top));
        frmFINDIT dialog(state);
        ASSERT_TRUE(dialog.setDirectory(top));
        QStringList greyed; // with the reason in the tooltip
        for (const QListWidgetItem *item : dialog.lstDIR->findItems("*", Qt::MatchWildcard)) {
            if (!(item->flags() & Qt::ItemIsEnabled) && !item->toolTip().isEmpty())
                greyed << item->text().trimmed();
        }
        EXPECT_EQ(greyed, (QStringList{"locked", "bad" + QString(QChar::ReplacementCharacter)}));
    }
    Unprivileged::openToAll(top + "/locked");
    EXPECT_EQ(state.directories,
              (QStringList{"[] " + top + "/", "[] " + top + "/fine/", "[] " + top + "/fine/inner/",
                           "[] " + top + "/locked/"}));
    EXPECT_EQ(prompts.boxes.last().text,
              "1 folder(s) could not be opened: the folders inside them are not in the list.\n\n"
              "1 folder(s) were left out: their names hold a line break, which a directory list "
              "cannot keep.\n\n"
              "1 folder(s) were left out: their names are not valid text on this system.");
    ::rmdir(notText.constData());
}
