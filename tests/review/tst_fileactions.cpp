// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "fakeplatform.h"
#include "fileactions.h"
#include "movefile.h"
#include "platform.h"
#include "reviewfixture.h"
#include "scriptedprompts.h"
#include "temptrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

using Answer = Prompts::Answer;
using Check = MainState::Check;
using FileActions::Outcome;

namespace {

// Files deleted this session and in all, bytes recovered and the disk blocks they took.
QList<double> tallies(const MainState &s)
{
    return {double(s.sessionFilesDeleted), double(s.totalFilesDeleted), s.sessionBytesRecovered,
            s.sessionSectorBytesRecovered};
}

// A second file system for moves that must copy; empty when the machine has none.
QString otherFileSystem(const QTemporaryDir &dir, const QString &here)
{
    if (!dir.isValid() || Platform::sameFileSystem(dir.path(), here))
        return QString();
    return dir.path() + QLatin1Char('/');
}

TEST(FileActions, TallyRoundsUpToWholeBlocks)
{
    const struct { qint64 size; int block; double bytes, blockBytes; } rows[] = {
        {1024, 512, 1024, 1536}, {1, 512, 1, 512},  {0, 512, 0, 512},
        {513, 512, 513, 1024},   {5000, 4096, 5000, 8192}, {100, 0, 100, 0},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << r.size << " bytes on blocks of " << r.block);
        FilesFixture fx;
        FakePlatform platform;
        const QString dir = fx.folder(QStringLiteral("v"));
        platform.addVolume(dir.chopped(1), Platform::DriveKind::Fixed, QString(), 1 << 30, r.block);
        ASSERT_TRUE(writeFile(dir + QStringLiteral("a.jpg"), QByteArray(r.size, 'x')));
        FileActions::TallyDeletedBytes(fx.state, dir + QStringLiteral("a.jpg"));
        FileActions::TallyDeletedBytes(fx.state, dir + QStringLiteral("gone.jpg"));
        EXPECT_EQ(tallies(fx.state).mid(2), QList<double>({r.bytes, r.blockBytes}));
    }
}

TEST(FileActions, DeleteAsksTalliesTagsAndTakesTheSideFile)
{
    const struct { const char *what; bool recycle, noConfirm; Answer answer; bool deleted; } cases[] = {
        {"to the Trash after Yes", true, false, Answer::Yes, true},
        {"kept after No", true, false, Answer::No, false},
        {"deleted outright without asking", false, true, Answer::Ok, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FilesFixture fx;
        TempTrash trash;
        FakePlatform platform;
        platform.realTrash = true;
        fx.state.setChecked(Check::Recycle, c.recycle);
        fx.state.setChecked(Check::Confirm, c.noConfirm);
        const QString dir = fx.folder(QStringLiteral("pics"));
        MatchRecord file = fx.add(dir, QStringLiteral("Photo 1.jpg"), QByteArray(1000, 'p'));
        ASSERT_TRUE(writeFile(dir + QStringLiteral("PHOTO 1.thn"), "thumb"));
        ScriptedPrompts prompts;
        if (!c.noConfirm)
            prompts.then(c.answer);
        QString status;
        FileActions::Actor actor(fx.state, fx.catalogue());
        EXPECT_EQ(actor.deleteFile(file, {}, &status), c.deleted ? Outcome::Done : Outcome::NotDone);
        if (!c.noConfirm)
            EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Delete file - ") + dir + QStringLiteral("Photo 1.jpg")});
        EXPECT_EQ(FilesFixture::names(dir).size(), c.deleted ? 0 : 2); // the side file goes too
        EXPECT_EQ(fx.row(file).RTAG + file.RTAG, c.deleted ? "DD" : "  ");
        EXPECT_EQ(tallies(fx.state), c.deleted ? QList<double>({1, 1, 1005, 8192}) : QList<double>({0, 0, 0, 0}));
        EXPECT_EQ(status, c.deleted ? QStringLiteral("1 files deleted, 1 total...") : QString());
    }
}

TEST(FileActions, DeleteRefusalsAndFailuresKeepTheFile)
{
    enum Kind { Vanished, RemovalFails, TrashFails, HardLink, LinkedFolder, ChangedKept, ChangedDeleted };
    const struct { Kind kind; QList<Answer> answers; const char *box; Outcome out; double bytes; } cases[] = {
        {Vanished, {Answer::Ok}, "Unable to Delete file - ", Outcome::Failed, 0},
        {RemovalFails, {Answer::Ok}, "Unable to Delete file - ", Outcome::Failed, 10},
        {TrashFails, {Answer::Ok}, "Unable to Delete file - ", Outcome::Failed, 10},
        {HardLink, {Answer::Ok}, "The very same file is shown twice", Outcome::NotDone, 0},
        {LinkedFolder, {Answer::Ok}, "The very same file is shown twice", Outcome::NotDone, 0},
        {ChangedKept, {Answer::No}, "The file ", Outcome::NotDone, 0},
        {ChangedDeleted, {Answer::Yes}, "The file ", Outcome::Done, 11},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.kind));
        FilesFixture fx;
        FakePlatform platform;
        fx.state.setChecked(Check::Confirm, true);
        fx.state.setChecked(Check::Recycle, c.kind == TrashFails);
        platform.trashFails = c.kind == TrashFails;
        const QString dir = fx.folder(QStringLiteral("pics"));
        MatchRecord file = fx.add(dir, QStringLiteral("a.jpg"), "0123456789");
        const QString path = file.fullPath();
        MatchRecord other;
        switch (c.kind) {
        case Vanished: QFile::remove(path); break;
        case RemovalFails: platform.failRemove << path; break;
        case HardLink:
            other = fx.add(fx.folder(QStringLiteral("x")), QStringLiteral("b.jpg"), "");
            other.PATH = dir;
            ASSERT_EQ(::link(QFile::encodeName(path).constData(),
                             QFile::encodeName(other.fullPath()).constData()), 0);
            break;
        case LinkedFolder:
            ASSERT_TRUE(QFile::link(dir, fx.folder() + QStringLiteral("again")));
            other = file;
            other.PATH = fx.folder() + QStringLiteral("again/");
            break;
        case ChangedKept:
        case ChangedDeleted: {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::Append) && f.write("!") == 1);
            break;
        }
        default: break;
        }
        ScriptedPrompts prompts;
        for (Answer a : c.answers)
            prompts.then(a);
        FileActions::Actor actor(fx.state, fx.catalogue());
        EXPECT_EQ(actor.deleteFile(file, {&other}, nullptr), c.out);
        ASSERT_EQ(prompts.boxes.size(), 1);
        EXPECT_TRUE(prompts.boxes[0].text.startsWith(QLatin1String(c.box))) << prompts.boxes[0].text.toStdString();
        EXPECT_EQ(QFileInfo::exists(path), c.kind != Vanished && c.out != Outcome::Done);
        EXPECT_EQ(fx.row(file).RTAG, c.out == Outcome::Done ? QStringLiteral("D") : QStringLiteral(" "));
        EXPECT_EQ(tallies(fx.state).mid(1, 2), QList<double>({c.out == Outcome::Done ? 1.0 : 0.0, c.bytes}));
    }
}

TEST(FileActions, MoveNumbersPastClashesAndTakesTheSideFile)
{
    QTemporaryDir shm(QStringLiteral("/dev/shm/vexa-XXXXXX"));
    for (const bool acrossFileSystems : {false, true}) {
        SCOPED_TRACE(acrossFileSystems ? "across file systems" : "within one file system");
        FilesFixture fx;
        FakePlatform platform;
        const QString from = fx.folder(QStringLiteral("from"));
        QString to = fx.folder(QStringLiteral("to"));
        if (acrossFileSystems) {
            to = otherFileSystem(shm, from);
            if (to.isEmpty())
                continue;
        }
        MatchRecord file = fx.add(from, QStringLiteral("photo.jpg"), "picture", QStringLiteral("[SRC]"));
        ASSERT_TRUE(writeFile(from + QStringLiteral("photo.THN"), "thumb"));
        for (const char *taken : {"PHOTO.JPG", "PHOTO0.JPG", "photo2.thn"})
            ASSERT_TRUE(writeFile(to + QLatin1String(taken), taken));
        const QDateTime modified = QFileInfo(file.fullPath()).lastModified();

        ScriptedPrompts prompts;
        prompts.then(Answer::Yes);
        MoveDialog dialog(fx.state);
        dialog.start(file.DISKNAME, file.DRIVEVOLUME + QLatin1Char(' ') + file.PATH);
        dialog.lblDIR = MoveDialog::destinationOf(to);
        ASSERT_TRUE(dialog.cmdADDDIR_Click());
        EXPECT_EQ(prompts.texts().value(0), QStringLiteral("Move file - photo.jpg\n\nFrom - [SRC] ")
                                                + from + QStringLiteral("\n\nTo - [") + Platform::services().volume(to).label
                                                + QStringLiteral("] ") + to);
        EXPECT_EQ(dialog.lblNEWNAME, QStringLiteral("photo1.jpg"));
        EXPECT_EQ(dialog.lstPATHS, QStringList{dialog.lblDIR});
        EXPECT_EQ(FilesFixture::names(from), QStringList());
        EXPECT_EQ(FilesFixture::names(to), (QStringList{"PHOTO.JPG", "PHOTO0.JPG", "photo1.THN", "photo1.jpg", "photo2.thn"}));
        EXPECT_EQ(readFile(to + QStringLiteral("photo1.jpg")), "picture");
        EXPECT_EQ(QFileInfo(to + QStringLiteral("photo1.jpg")).lastModified(), modified);

        QString tag, path;
        MoveDialog::split(dialog.lblTO, &tag, &path);
        FileActions::Actor actor(fx.state, fx.catalogue());
        ASSERT_TRUE(actor.recordMove(file, tag, path, dialog.lblNEWNAME));
        const FilesRecord row = fx.row(file);
        EXPECT_EQ(QStringList({row.DRIVEVOLUME, row.PATH, row.DISKNAME, row.WHOLENAME, row.NAME, row.REFNAME}),
                  QStringList({tag, to, "photo1.jpg", "PHOTO1.JPG", "PHOTO1", "photo1"}));
        EXPECT_TRUE(row.STAG.startsWith(QStringLiteral("PHOTO1.JPG 7 "))) << row.STAG.toStdString();
        EXPECT_EQ(file.fullPath(), to + QStringLiteral("photo1.jpg"));
        for (const QString &n : FilesFixture::names(to))
            QFile::remove(to + n);
    }
}

TEST(FileActions, MoveFailuresLeaveTheOriginal)
{
    enum Kind { CopyBreaks, CopyCorrupts, RenameFails, SideFileStuck, SourceStays, SourceGone, SameFolder, AnsweredNo };
    const struct { Kind kind; bool across; QList<Answer> answers; const char *box; bool moved; } cases[] = {
        {CopyBreaks, true, {Answer::Yes, Answer::Ok}, "Error copying file...", false},
        {CopyCorrupts, true, {Answer::Yes, Answer::Ok}, "Error copying file...", false},
        {RenameFails, false, {Answer::Yes, Answer::Ok}, "Error copying file...", false},
        {SideFileStuck, false, {Answer::Yes, Answer::Ok}, "Error copying file...", false},
        {SideFileStuck, true, {Answer::Yes, Answer::Ok}, "Error copying file...", false},
        {SourceStays, true, {Answer::Yes, Answer::Ok}, "Error deleting original file (Copy to destination OK)...", true},
        {SourceGone, false, {Answer::Yes, Answer::Ok}, "Error making temp file...", false},
        {SameFolder, false, {Answer::Ok}, "DESTINATION directory cannot equal SOURCE directory... ", false},
        {AnsweredNo, false, {Answer::No}, "Move file - a b.jpg", false},
    };
    QTemporaryDir shm(QStringLiteral("/dev/shm/vexa-XXXXXX"));
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << (c.across ? " across" : ""));
        FilesFixture fx;
        FakePlatform platform;
        const QString from = fx.folder(QStringLiteral("from"));
        const QString to = c.across ? otherFileSystem(shm, from) : fx.folder(QStringLiteral("to"));
        if (to.isEmpty())
            continue;
        const QString source = from + QStringLiteral("a b.jpg"), side = from + QStringLiteral("a b.THN");
        ASSERT_TRUE(writeFile(source, QByteArray(5000, 's')));
        ASSERT_TRUE(writeFile(side, "thumb"));
        switch (c.kind) {
        case CopyBreaks: platform.copyBreaksAfter = 100; break;
        case CopyCorrupts: platform.copyCorrupts = true; break;
        case RenameFails: platform.failRename << source; break;
        case SideFileStuck: (c.across ? platform.failCopy : platform.failRename) << side; break;
        case SourceStays: platform.failRemove << source; break;
        case SourceGone: QFile::remove(source); break;
        default: break;
        }
        ScriptedPrompts prompts;
        for (Answer a : c.answers)
            prompts.then(a);
        MoveDialog dialog(fx.state);
        dialog.start(QStringLiteral("a b.jpg"), MoveDialog::destinationOf(from));
        dialog.lblDIR = MoveDialog::destinationOf(c.kind == SameFolder ? from : to);
        EXPECT_EQ(dialog.cmdADDDIR_Click(), c.moved);
        EXPECT_TRUE(prompts.texts().last().startsWith(QLatin1String(c.box)));
        if (!c.moved) {
            EXPECT_EQ(dialog.lblTO, dialog.lblFROM);
            EXPECT_EQ(dialog.lblNEWNAME, dialog.lblFILENAME);
            EXPECT_EQ(FilesFixture::names(to), QStringList()) << "nothing, not even a temporary file";
        }
        if (c.kind != SourceGone)
            EXPECT_EQ(readFile(source), QByteArray(5000, 's'));
        if (c.moved) // the picture could not be deleted from its source; its side-file went on
            EXPECT_EQ(FilesFixture::names(to), (QStringList{"a b.THN", "a b.jpg"}));
        else if (c.kind != SourceGone)
            EXPECT_EQ(readFile(side), "thumb");
        for (const QString &n : FilesFixture::names(to))
            QFile::remove(to + n);
    }
}

TEST(FileActions, RenameRewritesNamesRowAndSideFile)
{
    const struct { const char *typed; QList<Answer> answers; Outcome out; const char *disk, *base; } cases[] = {
        {"Photo", {}, Outcome::NotDone, "PHOTO.jpg", "PHOTO"}, // the same name but for case
        {"  ", {}, Outcome::NotDone, "PHOTO.jpg", "PHOTO"},
        {"kept", {Answer::No}, Outcome::NotDone, "PHOTO.jpg", "PHOTO"},
        {"holiday12~1", {Answer::Yes}, Outcome::Done, "holiday12~1.jpg", "HOLIDAY"},
        {"it's 100% \"new\"", {Answer::Yes}, Outcome::Done, "it's 100% \"new\".jpg", "IT'S % \"NEW\""},
        {"-dash x", {Answer::Yes}, Outcome::Done, "-dash x.jpg", "-DASH X"},
        {"Ünï\nline", {Answer::Yes}, Outcome::Done, "Ünï\nline.jpg", "ÜNÏ\nLINE"},
        {"other", {Answer::Yes, Answer::Ok}, Outcome::Failed, "PHOTO.jpg", "PHOTO"}, // OTHER.JPG is there
        {"sub/x", {Answer::Yes, Answer::Ok}, Outcome::Failed, "PHOTO.jpg", "PHOTO"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        FilesFixture fx;
        FakePlatform platform;
        const QString dir = fx.folder(QStringLiteral("pics"));
        MatchRecord file = fx.add(dir, QStringLiteral("PHOTO.jpg"), "p");
        ASSERT_TRUE(writeFile(dir + QStringLiteral("photo.THN"), "t"));
        ASSERT_TRUE(writeFile(dir + QStringLiteral("OTHER.JPG"), "o"));
        QDir().mkpath(dir + QStringLiteral("sub"));
        ScriptedPrompts prompts;
        for (Answer a : c.answers)
            prompts.then(a);
        FileActions::Actor actor(fx.state, fx.catalogue());
        EXPECT_EQ(actor.renameFile(file, QString::fromUtf8(c.typed)), c.out);
        if (c.out == Outcome::Failed)
            EXPECT_EQ(prompts.texts().last(), QStringLiteral("Unable to Rename file - ") + dir + QStringLiteral("PHOTO.jpg"));
        const QString disk = QString::fromUtf8(c.disk);
        const QString stem = disk.chopped(4);
        const QString side = c.out == Outcome::Done ? stem + QStringLiteral(".THN") : QStringLiteral("photo.THN");
        QStringList names{QStringLiteral("OTHER.JPG"), disk, side};
        names.sort();
        EXPECT_EQ(FilesFixture::names(dir), names);
        const FilesRecord row = fx.row(file);
        const QString base = QString::fromUtf8(c.base);
        EXPECT_EQ(QStringList({row.DISKNAME, row.REFNAME, row.NAME, row.WHOLENAME, row.BASENAME, row.WHOLEBASE}),
                  QStringList({disk, stem, stem.toUpper(), disk.toUpper(), base, base + ".JPG"}));
        EXPECT_EQ(file.DISKNAME, disk);
        EXPECT_TRUE(row.STAG.startsWith(disk.toUpper() + QStringLiteral(" 1 ")));
    }
}

} // namespace
