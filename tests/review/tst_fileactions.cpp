// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "fileactions.h"
#include "platform.h"
#include "reviewfixture.h"
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
        RecordingHost fx;
        const QString dir = fx.folder(QStringLiteral("v"));
        fx.platform.addVolume(dir.chopped(1), Platform::DriveKind::Fixed, "", 1 << 30, r.block);
        ASSERT_TRUE(writeFile(dir + QStringLiteral("a.jpg"), QByteArray(r.size, 'x')));
        FileActions::TallyDeletedBytes(fx.state, dir + QStringLiteral("a.jpg"));
        FileActions::TallyDeletedBytes(fx.state, dir + QStringLiteral("gone.jpg"));
        EXPECT_EQ(tallies(fx.state).mid(2), QList<double>({r.bytes, r.blockBytes}));
    }
}

// A delete asks unless Confirm is off, goes to the Trash or is removed, is tallied, tags the row
// and takes the side-file; whatever refuses or fails keeps the file, its side-file and its row.
TEST(FileActions, DeleteTalliesTagsAndTakesTheSideFileOrKeepsThem)
{
    enum Kind { Yes, No, Vanished, RemovalFails, TrashFails, HardLink, LinkedFolder, Changed };
    // bytes, blocks: the bytes tallied and the disk blocks they took (4096 bytes each).
    const struct { Kind kind; Answer answer; const char *box; Outcome out; double bytes, blocks;
    } cases[] = {
        {Yes, Answer::Yes, "Delete file - ", Outcome::Done, 1005, 8192},
        {No, Answer::No, "Delete file - ", Outcome::NotDone, 0, 0},
        {Vanished, Answer::Ok, "Unable to Delete file - ", Outcome::Failed, 0, 0},
        {RemovalFails, Answer::Ok, "Unable to Delete file - ", Outcome::Failed, 1000, 4096},
        {TrashFails, Answer::Ok, "Unable to Delete file - ", Outcome::Failed, 1000, 4096},
        {HardLink, Answer::Ok, "The very same file is shown twice", Outcome::NotDone, 0, 0},
        {LinkedFolder, Answer::Ok, "The very same file is shown twice", Outcome::NotDone, 0, 0},
        {Changed, Answer::No, "The file ", Outcome::NotDone, 0, 0},
        {Changed, Answer::Yes, "The file ", Outcome::Done, 1006, 8192},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << " " << int(c.answer));
        RecordingHost fx;
        TempTrash trash;
        fx.platform.realTrash = true;
        fx.platform.trashFails = c.kind == TrashFails;
        fx.state.setChecked(Check::Recycle, c.kind <= No || c.kind == TrashFails);
        fx.state.setChecked(Check::Confirm, c.kind > No); // on: no question before the delete
        const QString dir = fx.folder(QStringLiteral("pics"));
        MatchRecord file = fx.add(dir, QStringLiteral("Photo 1.jpg"), QByteArray(1000, 'p'));
        const QString path = file.fullPath();
        ASSERT_TRUE(writeFile(dir + QStringLiteral("PHOTO 1.thn"), "thumb"));
        MatchRecord other;
        switch (c.kind) {
        case Vanished: QFile::remove(path); break;
        case RemovalFails: fx.platform.failRemove << path; break;
        case HardLink:
            other = file;
            other.PATH = fx.folder(QStringLiteral("x"));
            ASSERT_EQ(::link(QFile::encodeName(path).constData(),
                             QFile::encodeName(other.fullPath()).constData()), 0);
            break;
        case LinkedFolder:
            ASSERT_TRUE(QFile::link(dir, fx.folder() + QStringLiteral("again")));
            other = file;
            other.PATH = fx.folder() + QStringLiteral("again/");
            break;
        case Changed: ASSERT_TRUE(writeFile(path, QByteArray(1001, 'p'))); break;
        default: break;
        }
        fx.prompts.then(c.answer);
        QString status;
        FileActions::Actor actor(fx.state, fx.catalogue());
        EXPECT_EQ(actor.deleteFile(file, {&other}, &status), c.out);
        const QString box = fx.prompts.texts().value(0);
        EXPECT_TRUE(box.startsWith(QLatin1String(c.box))) << box.toStdString();
        if (c.kind <= No)
            EXPECT_EQ(box, c.box + path);
        const bool done = c.out == Outcome::Done;
        EXPECT_EQ(FilesFixture::names(dir).size(), done ? 0 : c.kind == Vanished ? 1 : 2);
        EXPECT_EQ(fx.row(file).RTAG + file.RTAG, done ? "DD" : "  ");
        EXPECT_EQ(tallies(fx.state), QList<double>({1.0 * done, 1.0 * done, c.bytes, c.blocks}));
        EXPECT_EQ(status, done ? QStringLiteral("1 files deleted, 1 total...") : QString());
    }
}

// A move asks, numbers the file past the names taken where it goes (in any case), keeps its date
// and takes its side-file; one that fails leaves the original where it was, and nothing at the
// destination, not even a temporary file.
TEST(FileActions, MoveNumbersPastClashesOrLeavesTheOriginal)
{
    enum Kind { Moved, CopyBreaks, CopyCorrupts, NoRename, SideStuck, NoRemove, Gone, SameDir, No };
    const QList<Answer> yesOk{Answer::Yes, Answer::Ok};
    const struct { Kind kind; bool across; QList<Answer> answers; const char *box; } cases[] = {
        {Moved, false, {Answer::Yes}, "Move file - a b.jpg"},
        {Moved, true, {Answer::Yes}, "Move file - a b.jpg"},
        {CopyBreaks, true, yesOk, "Error copying file..."},
        {CopyCorrupts, true, yesOk, "Error copying file..."},
        {NoRename, false, yesOk, "Error copying file..."},
        {SideStuck, false, yesOk, "Error copying file..."},
        {SideStuck, true, yesOk, "Error copying file..."},
        {NoRemove, true, yesOk, "Error deleting original file (Copy to destination OK)..."},
        {Gone, false, yesOk, "Error making temp file..."},
        {SameDir, false, {Answer::Ok}, "DESTINATION directory cannot equal SOURCE directory"},
        {No, false, {Answer::No}, "Move file - a b.jpg"},
    };
    QTemporaryDir shm(QStringLiteral("/dev/shm/vexa-XXXXXX"));
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << (c.across ? " across" : ""));
        RecordingHost fx;
        const QString from = fx.folder(QStringLiteral("from"));
        const QString to = c.across ? otherFileSystem(shm, from) : fx.folder(QStringLiteral("to"));
        if (to.isEmpty())
            continue;
        for (const QString &n : FilesFixture::names(to))
            QFile::remove(to + n);
        const QByteArray picture(5000, 's');
        MatchRecord file = fx.add(from, QStringLiteral("a b.jpg"), picture, "[SRC]");
        const QString source = file.fullPath(), side = from + QStringLiteral("a b.THN");
        const QDateTime modified = QFileInfo(source).lastModified();
        ASSERT_TRUE(writeFile(side, "thumb"));
        QStringList names{"A B.JPG", "A B0.JPG", "a b2.thn"};
        for (const QString &taken : names)
            ASSERT_TRUE(writeFile(to + taken, "x"));
        switch (c.kind) {
        case CopyBreaks: fx.platform.copyBreaksAfter = 100; break;
        case CopyCorrupts: fx.platform.copyCorrupts = true; break;
        case NoRename: fx.platform.failRename << source; break;
        case SideStuck: (c.across ? fx.platform.failCopy : fx.platform.failRename) << side; break;
        case NoRemove: fx.platform.failRemove << source; break;
        case Gone: QFile::remove(source); break;
        default: break;
        }
        for (Answer a : c.answers)
            fx.prompts.then(a);
        MoveDialog &dialog = fx.move;
        dialog.start(file.DISKNAME, file.DRIVEVOLUME + QLatin1Char(' ') + file.PATH);
        dialog.lblDIR = c.kind == SameDir ? dialog.lblFROM : MoveDialog::destinationOf(to);
        const bool moved = c.kind == Moved || c.kind == NoRemove;
        EXPECT_EQ(dialog.cmdADDDIR_Click(), moved);
        EXPECT_TRUE(fx.prompts.texts().last().startsWith(QLatin1String(c.box)));
        if (moved) { // where the source cannot be deleted, the side-file still goes on
            names << QStringLiteral("a b1.jpg") << QStringLiteral("a b1.THN");
            EXPECT_EQ(readFile(to + QStringLiteral("a b1.jpg")), picture);
            EXPECT_EQ(QFileInfo(to + QStringLiteral("a b1.jpg")).lastModified(), modified);
        } else {
            EXPECT_EQ(dialog.lblTO, dialog.lblFROM);
            EXPECT_EQ(dialog.lblNEWNAME, dialog.lblFILENAME);
            if (c.kind != Gone)
                EXPECT_EQ(readFile(source) + readFile(side), picture + "thumb");
        }
        names.sort();
        EXPECT_EQ(FilesFixture::names(to), names);
        if (c.kind != Moved)
            continue;
        EXPECT_EQ(FilesFixture::names(from), QStringList());
        EXPECT_EQ(fx.prompts.texts()[0],
                  "Move file - a b.jpg\n\nFrom - [SRC] " + from + "\n\nTo - [] " + to);
        EXPECT_EQ(dialog.lstPATHS, QStringList{dialog.lblDIR});
        // The row follows the file.
        QString tag, path;
        MoveDialog::split(dialog.lblTO, &tag, &path);
        FileActions::Actor actor(fx.state, fx.catalogue());
        ASSERT_TRUE(actor.recordMove(file, tag, path, dialog.lblNEWNAME));
        const FilesRecord row = fx.row(file);
        EXPECT_EQ(QStringList({row.DRIVEVOLUME, row.PATH, row.DISKNAME, row.WHOLENAME, row.NAME,
                               row.REFNAME}),
                  QStringList({tag, to, "a b1.jpg", "A B1.JPG", "A B1", "a b1"}));
        EXPECT_TRUE(row.STAG.startsWith("A B1.JPG 5000 ")) << row.STAG.toStdString();
        EXPECT_EQ(file.fullPath(), to + QStringLiteral("a b1.jpg"));
    }
}

TEST(FileActions, RenameRewritesNamesRowAndSideFile)
{
    const QList<Answer> yes{Answer::Yes}, yesOk{Answer::Yes, Answer::Ok};
    const struct { const char *typed; QList<Answer> answers; Outcome out; const char *disk, *base;
    } cases[] = {
        {"Photo", {}, Outcome::NotDone, "PHOTO.jpg", "PHOTO"}, // the same name but for case
        {"  ", {}, Outcome::NotDone, "PHOTO.jpg", "PHOTO"},
        {"kept", {Answer::No}, Outcome::NotDone, "PHOTO.jpg", "PHOTO"},
        {"holiday12~1", yes, Outcome::Done, "holiday12~1.jpg", "HOLIDAY"},
        {"it's 100% \"new\"", yes, Outcome::Done, "it's 100% \"new\".jpg", "IT'S % \"NEW\""},
        {"-dash x", yes, Outcome::Done, "-dash x.jpg", "-DASH X"},
        {"Ünï\nline", yes, Outcome::Done, "Ünï\nline.jpg", "ÜNÏ\nLINE"},
        {"other", yesOk, Outcome::Failed, "PHOTO.jpg", "PHOTO"}, // OTHER.JPG is there
        {"sub/x", yesOk, Outcome::Failed, "PHOTO.jpg", "PHOTO"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        RecordingHost fx;
        const QString dir = fx.folder(QStringLiteral("pics"));
        MatchRecord file = fx.add(dir, QStringLiteral("PHOTO.jpg"), "p");
        ASSERT_TRUE(writeFile(dir + QStringLiteral("photo.THN"), "t"));
        ASSERT_TRUE(writeFile(dir + QStringLiteral("OTHER.JPG"), "o"));
        QDir().mkpath(dir + QStringLiteral("sub"));
        for (Answer a : c.answers)
            fx.prompts.then(a);
        FileActions::Actor actor(fx.state, fx.catalogue());
        EXPECT_EQ(actor.renameFile(file, QString::fromUtf8(c.typed)), c.out);
        if (c.out == Outcome::Failed)
            EXPECT_EQ(fx.prompts.texts().last(), "Unable to Rename file - " + dir + "PHOTO.jpg");
        const QString disk = QString::fromUtf8(c.disk), stem = disk.chopped(4);
        const bool done = c.out == Outcome::Done;
        QStringList names{"OTHER.JPG", disk, done ? stem + ".THN" : QStringLiteral("photo.THN")};
        names.sort();
        EXPECT_EQ(FilesFixture::names(dir), names);
        const FilesRecord row = fx.row(file);
        const QString base = QString::fromUtf8(c.base);
        EXPECT_EQ(QStringList({row.DISKNAME, row.REFNAME, row.NAME, row.WHOLENAME, row.BASENAME,
                               row.WHOLEBASE}),
                  QStringList({disk, stem, stem.toUpper(), disk.toUpper(), base, base + ".JPG"}));
        EXPECT_EQ(file.DISKNAME, disk);
        EXPECT_TRUE(row.STAG.startsWith(disk.toUpper() + QStringLiteral(" 1 ")));
    }
}

} // namespace
