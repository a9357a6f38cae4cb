// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmsnapshot.h"
#include "programdir.h"
#include "reviewfixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

using Answer = Prompts::Answer;
using Check = MainState::Check;
using Role = SnapshotController::Role;
using From = SnapshotController::From;

namespace {

// The snapshot's logic with a window that only writes down what it was asked to show.
struct Snapshot : RecordingHost, SnapshotHost
{
    std::unique_ptr<SnapshotController> c;

    SnapshotController &start(int widthTwips = 9615)
    {
        c = std::make_unique<SnapshotController>(state, *this, [] { return true; }, [] {});
        c->Form_Resize(widthTwips, 9000);
        c->Form_Load();
        c->Form_Activate();
        return *c;
    }
    // The folders of the slots on show, "a b c".
    QString shown() const
    {
        QStringList folders;
        for (int i = 0; i <= c->capacity(); ++i) {
            if (!c->slot(i).PATH.isEmpty())
                folders << c->slot(i).PATH.mid(folder().size()).chopped(1);
        }
        return folders.join(QLatin1Char(' '));
    }

    void loadThumbnails(const QVector<Thumbnails::Loader::Job> &) override {}
    void clearThumbnail(int) override {}
    void showDoWhat(int, const QString &) override {}
    void hideDoWhat() override {}
    void showNameWindow(int) override {}
    void hideNameWindow() override {}
    void openRenameBox() override {}
    QString renameText() override { return QString(); }
    bool doWhatInUse() override { return false; }
    void statusChanged() override {}
};

TEST(Snapshot, TheGridWidensToTwentyEightAtTwelveThousandTwips)
{
    const struct { int width, capacity, columns; QPoint slot8; bool slot24Shown; } layouts[] = {
        {11999, 23, 6, {120 + 2 * 1560, 120 + 1560}, false},
        {12000, 27, 7, {235 + 1675, 235 + 1675}, true},
    };
    for (const auto &l : layouts) {
        SCOPED_TRACE(l.width);
        const SnapshotLayout layout = SnapshotLayout::compute(l.width, 9000);
        EXPECT_EQ(layout.capacity, l.capacity);
        EXPECT_EQ(layout.columns, l.columns);
        EXPECT_EQ(layout.thumbnails[8].topLeft(), l.slot8);
        EXPECT_EQ(layout.thumbnails[24].top() < 9000, l.slot24Shown);

        // Resized, the window shows the grid its layout allows from the next search on: 30
        // equal files fill it, the rest follow in the group after.
        Snapshot s;
        s.addGroup(QStringLiteral("cat.png"), {"a", "b", "c"});
        for (int i = 0; i < 30; ++i)
            s.add(s.folder(QString::number(10 + i)), QStringLiteral("same.png"), "1");
        SnapshotController &c = s.start(11000);
        c.Form_Resize(l.width, 9000);
        c.cmdNEXT_Click();
        EXPECT_EQ(s.shown().split(QLatin1Char(' ')).size(), l.capacity + 1);
        EXPECT_TRUE(c.slot(l.capacity + 1).PATH.isEmpty());
    }
}

TEST(Snapshot, DeletingTwoOfThreeWithAutoNextMovesOnAfterTheSecond)
{
    Snapshot s;
    s.state.setChecked(Check::Confirm, true);
    s.state.setChecked(Check::AutoNext, true);
    s.addGroup(QStringLiteral("cat.png"), {"a", "b", "c"});
    s.addGroup(QStringLiteral("dog.png"), {"a", "b"});
    SnapshotController &c = s.start();
    ASSERT_EQ(s.shown(), QStringLiteral("a b c"));
    c.gvbIMAGE_Click(1);
    c.press(Role::Delete, From::DoWhat);
    EXPECT_EQ(s.shown(), QStringLiteral("a c")) << "two files left: the group stays";
    EXPECT_EQ(c.slotLabel(1), QString());
    EXPECT_EQ(c.slotLabel(2), QStringLiteral("cat"));
    c.gvbIMAGE_Click(2);
    c.press(Role::Delete, From::DoWhat);
    EXPECT_EQ(s.shown(), QStringLiteral("a b"));
    EXPECT_EQ(c.slot(0).NAME, QStringLiteral("DOG"));
    EXPECT_EQ(FilesFixture::names(s.folder(QStringLiteral("c"))), QStringList());
    EXPECT_EQ(s.state.sessionFilesDeleted, 2);
    EXPECT_EQ(c.statusText(), QString()) << "Next cleared the counters' line";
    EXPECT_FALSE(c.isLocked());
}

TEST(Snapshot, AllAsksForEachFileAndAFailureEndsIt)
{
    // left: the folders whose file is still there.
    const struct { QList<Answer> answers; QString left; } cases[] = {
        {{Answer::Yes, Answer::No, Answer::Yes}, "b"},
        {{Answer::Yes, Answer::Yes, Answer::Ok}, "bc"}, // the second cannot go
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.left.toStdString());
        const bool fails = k.left.size() == 2;
        Snapshot s;
        s.state.setChecked(Check::AutoNext, true);
        s.addGroup(QStringLiteral("cat.png"), {"a", "b", "c"});
        SnapshotController &c = s.start();
        if (fails)
            s.platform.failRemove << c.slot(1).fullPath();
        for (Answer a : k.answers)
            s.prompts.then(a);
        if (!fails)
            s.prompts.then(Answer::Ok); // the one file left: Next finds no more matches
        c.press(Role::All, From::NameWindow);
        EXPECT_EQ(c.currentSlot(), SnapshotController::AllSlots);
        EXPECT_EQ(s.state.sessionFilesDeleted, 3 - k.left.size());
        QString left;
        for (const QString dir : {"a", "b", "c"})
            left += FilesFixture::names(s.folder(dir)).isEmpty() ? QString() : dir;
        EXPECT_EQ(left, k.left);
        EXPECT_TRUE(s.prompts.texts().value(2).startsWith(fails ? "Unable to Delete file - "
                                                                : "Delete file - "));
        EXPECT_FALSE(c.isLocked());
    }
}

TEST(Snapshot, TagAndViewAndTheViewersDeleteRequest)
{
    Snapshot s;
    s.addGroup(QStringLiteral("cat.png"), {"a", "b", "c"});
    SnapshotController &c = s.start();
    const QString pathB = c.slot(1).fullPath();
    c.gvbIMAGE_Click(1);
    c.press(Role::View, From::DoWhat);
    EXPECT_EQ(c.taggedSlot(), -1);
    EXPECT_EQ(s.platform.beeps, 1) << "the step's beep";
    c.gvbIMAGE_Click(0);
    c.press(Role::Tag, From::DoWhat);
    EXPECT_EQ(c.taggedSlot(), 0);
    EXPECT_EQ(s.platform.beeps, 2);
    c.gvbIMAGE_Click(2);
    c.Form_KeyPress(From::DoWhat, QStringLiteral("v"));
    EXPECT_EQ(s.viewed, (QStringList{"b/cat.png|", "c/cat.png|a/cat.png"}));

    // The viewer's Delete: a path differing in case names no file here; the exact one runs the
    // grid's delete with its question.
    c.gvbIMAGE_MouseMove(1); // the detail window's View acts on the pointed file
    s.deleteRequest = pathB.toUpper();
    c.press(Role::View, From::NameWindow);
    EXPECT_TRUE(s.prompts.boxes.isEmpty());
    s.deleteRequest = pathB;
    s.prompts.then(Answer::Yes);
    c.press(Role::View, From::NameWindow);
    EXPECT_EQ(s.prompts.texts(), QStringList{QStringLiteral("Delete file - ") + pathB});
    EXPECT_EQ(s.shown(), QStringLiteral("a c"));
    EXPECT_EQ(c.currentSlot(), 1);
    c.press(Role::Tag, From::DoWhat); // the current slot's file is gone
    EXPECT_EQ(c.taggedSlot(), 0);
    EXPECT_EQ(s.platform.beeps, 2);
}

TEST(Snapshot, KeysGoToTheWindowThatOwnsThem)
{
    const struct { From from; bool pointing; const char *key; int views, steps; } keys[] = {
        {From::Snapshot, false, "n", 0, 1}, {From::Snapshot, false, "v", 0, 0},
        {From::Snapshot, true, "v", 1, 0},  {From::DoWhat, false, "V", 1, 0},
        {From::DoWhat, false, "c", 0, 0},   {From::NameWindow, false, "p", 0, 1},
    };
    // Next from the only group meets the end, says so and shows the group again.
    for (const auto &k : keys) {
        SCOPED_TRACE(k.key);
        Snapshot s;
        s.addGroup(QStringLiteral("cat.png"), {"a", "b"});
        SnapshotController &c = s.start();
        c.gvbIMAGE_Click(0);
        if (k.pointing)
            c.gvbIMAGE_MouseMove(1);
        const int beeps = s.platform.beeps;
        if (k.key[0] == 'n')
            s.prompts.then(Answer::Ok);
        c.Form_KeyPress(k.from, QLatin1String(k.key));
        EXPECT_EQ(s.viewed.size(), k.views);
        EXPECT_EQ(s.platform.beeps - beeps, k.steps);
    }
}

TEST(Snapshot, FilesThatVanishedShowTheErrorPicture)
{
    RecordingHost fx;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ERROR_BMP), ProgramDir::file("error.bmp")));
    fx.state.setChecked(Check::Confirm, true);
    for (const QString dir : {"a", "b", "c"})
        QFile::remove(fx.add(fx.folder(dir), QStringLiteral("gone.png"), "1").fullPath());
    auto *w = new frmSNAPSHOT(fx.state, [] {});
    w->show();
    ASSERT_TRUE(waitFor([w] { return !w->controller().isLocked() && !w->isLoading(); }));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(w->lblREFNAME[size_t(i)]->text(), QStringLiteral("gone"));
        EXPECT_FALSE(w->gvbIMAGE[size_t(i)]->pixmap().isNull()) << i;
    }
    EXPECT_TRUE(w->gvbIMAGE[3]->isHidden());
    // The pointer over a picture frames it and shows the detail window; off it, both go.
    const auto mouse = [](QWidget *target, QEvent::Type type) {
        QMouseEvent e(type, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    };
    mouse(w->gvbIMAGE[1], QEvent::MouseMove);
    EXPECT_TRUE(w->nameWindow()->isVisible() && w->boxLINE[0]->isVisible());
    EXPECT_TRUE(w->nameWindow()->lblNAME->text().endsWith(QLatin1String("  gone.png")));
    mouse(w, QEvent::MouseMove);
    EXPECT_FALSE(w->nameWindow()->isVisible() || w->boxLINE[0]->isVisible());
    // A click opens the action window; its Delete fails with the action's own message and the
    // file stays on show.
    mouse(w->gvbIMAGE[0], QEvent::MouseButtonRelease);
    ASSERT_TRUE(w->doWhatWindow()->isVisible());
    fx.prompts.then(Answer::Ok);
    w->doWhatWindow()->cmdDELETE->click();
    EXPECT_TRUE(fx.prompts.texts().value(0).startsWith(QLatin1String("Unable to Delete file - ")));
    EXPECT_EQ(w->lblREFNAME[0]->text(), QStringLiteral("gone"));
    w->cmdEXIT->click();
    EXPECT_TRUE(waitFor([] { return QApplication::topLevelWidgets().isEmpty(); }));
}

} // namespace
