// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "checkemcontroller.h"
#include "reviewfixture.h"

#include <QFile>
#include <QImageReader>

using Answer = Prompts::Answer;
using Check = MainState::Check;
using Colour = CheckemController::Colour;

namespace {

// The pair review's logic with a window that only writes down what it was asked to show.
struct Review : RecordingHost, CheckemHost
{
    using RecordingHost::RecordingHost;
    std::unique_ptr<CheckemController> c;
    int settingsWritten = 0;
    QStringList loads;

    CheckemController &start(qint32 stoppedAt = 0)
    {
        state.stoppedAtRecord = stoppedAt;
        c = std::make_unique<CheckemController>(
            state, *this, [this] { return ++settingsWritten > 0; }, [] {});
        c->Form_Load();
        c->Form_Activate();
        return *c;
    }
    // "a/cat.png-b/cat.png": the pair on show, paths from the test folder.
    QString shown() const
    {
        const auto side = [this](int n) {
            return c->pane(n).path.mid(folder().size()) + c->pane(n).file +
                   c->pane(n).type.toLower();
        };
        return side(1) + QLatin1Char('-') + side(2);
    }

    std::array<QSize, 2> loadPictures(const std::array<QString, 2> &paths) override
    {
        std::array<QSize, 2> sizes;
        for (size_t i = 0; i < 2; ++i) {
            loads << paths[i];
            sizes[i] = QImageReader(paths[i]).size();
        }
        return sizes;
    }
    void focusRenameBox(int) override {}
    void focusNext() override {}
    void unload() override
    {
        ++unloads;
        c->Form_Unload();
    }
};

TEST(PairReview, NextSkipsTheSameFileAndKeepsThePlace)
{
    // Without a row to show, the review closes at once.
    Review r;
    r.prompts.then(Answer::Ok);
    r.state.optionsChanged = true;
    r.start();
    EXPECT_EQ(r.prompts.texts(), QStringList{QStringLiteral("No files to review...")});
    EXPECT_EQ(r.unloads, 1);
    EXPECT_FALSE(r.state.optionsChanged);

    r.prompts.boxes.clear();
    const QString a = r.folder(QStringLiteral("a")), b = r.folder(QStringLiteral("b"));
    r.add(a, QStringLiteral("cat.png"), "1");
    r.add(a, QStringLiteral("cat.png"), "1"); // one folder listed twice: the same file again
    r.add(b, QStringLiteral("cat.png"), "1");
    r.add(b, QStringLiteral("dog.png"), "1");
    r.add(a, QStringLiteral("dog.png"), "1");
    CheckemController &c = r.start();
    EXPECT_EQ(r.shown(), QStringLiteral("a/cat.png-b/cat.png"));
    EXPECT_EQ(r.loads.size(), 2) << "the file paired with itself is never loaded";
    EXPECT_EQ(r.state.stoppedAtRecord, 2);
    c.cmdNEXT_Click();
    EXPECT_EQ(r.shown(), QStringLiteral("b/dog.png-a/dog.png"));
    EXPECT_EQ(r.state.stoppedAtRecord, 4);
    r.prompts.then(Answer::Ok).then(Answer::Ok);
    c.cmdNEXT_Click();
    c.cmdNEXT_Click(); // still at the end: the same message, no search
    EXPECT_EQ(r.prompts.texts(), QStringList(2, QStringLiteral("No more matches...")));
    // Each Next searched (the end leaves the last row current), wrote the place and sounded.
    EXPECT_EQ(r.settingsWritten, 4);
    EXPECT_EQ(r.platform.beeps, 4);
    EXPECT_FALSE(c.isLocked());
    c.Form_Unload();
    EXPECT_EQ(r.state.stoppedAtRecord, 5);

    // Resuming starts at the row remembered, or at the first when it is gone.
    for (const auto &[at, pair] :
         {std::pair{4, "b/dog.png-a/dog.png"}, std::pair{99, "a/cat.png-b/cat.png"}}) {
        r.start(at);
        EXPECT_EQ(r.shown(), QLatin1String(pair));
    }
}

TEST(PairReview, ShowPairColoursAndAgreementMarks)
{
    const Colour N = Colour::Normal, B = Colour::Blue, R = Colour::Red;
    const struct { const char *dir1, *name1, *dir2, *name2; int w2; bool ifcd; Colour c1, c2;
                   std::array<bool, 6> marks;
    } cases[] = {
        {"p", "a.png", "q", "a.png", 10, false, N, N, {1, 0, 1, 1, 1, 1}},
        {"p/tmp", "a.png", "Temp2", "A.png", 12, false, B, B, {0, 0, 1, 0, 1, 0}},
        {"p", "a.png", "in/TMP", "a.png", 10, true, N, R, {1, 0, 1, 1, 1, 1}},
        {"p", "a.ico", "q", "a.ico", 10, false, N, N, {1, 0, 1, 1, 1, 0}},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(testing::Message() << k.dir1 << " " << k.dir2);
        Review r(QStringLiteral("/dev/shm/vexa-XXXXXX"));
        const QString second = r.folder(QLatin1String(k.dir2));
        if (k.ifcd) {
            r.state.ifcd = QStringLiteral("[] ") + r.folder(QStringLiteral("in"));
            r.state.setChecked(Check::TreeModeIfcd, true);
        }
        // A test folder under a temporary folder is itself shown blue.
        const QString root = r.folder().toUpper();
        const bool blueRoot =
            root.contains(QLatin1String("TMP")) || root.contains(QLatin1String("TEMP"));
        const auto expected = [blueRoot](Colour c) {
            return c == Colour::Normal && blueRoot ? Colour::Blue : c;
        };
        const QString first = r.folder(QLatin1String(k.dir1));
        // Both files get one time, so the date mark never depends on the clock.
        // Bytes after the picture's end make the sizes differ where the widths do.
        const QByteArray padding(k.w2 - 10, 'x');
        for (const auto &[path, bytes] :
             {std::pair{first + QLatin1String(k.name1), pngBytes({10, 8})},
              std::pair{second + QLatin1String(k.name2), pngBytes({k.w2, 8}) + padding}}) {
            ASSERT_TRUE(writeFile(path, bytes));
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                        f.setFileTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)),
                                      QFileDevice::FileModificationTime));
        }
        r.add(first, QLatin1String(k.name1), QByteArray());
        r.add(second, QLatin1String(k.name2), QByteArray());
        CheckemController &c = r.start();
        EXPECT_EQ(c.pane(1).colour, expected(k.c1));
        EXPECT_EQ(c.pane(2).colour, expected(k.c2));
        EXPECT_EQ(c.pane(1).marks, k.marks);
        EXPECT_EQ(c.pane(2).marks, k.marks);
        EXPECT_EQ(c.pane(2).dim, QString(k.name2).endsWith(".ico")
                                     ? QString()
                                     : QStringLiteral("%1 x 8").arg(k.w2));
    }
}

TEST(PairReview, OpticalDiscsAreViewedNotChanged)
{
    Review r;
    const QString disc = r.folder(QStringLiteral("disc"));
    r.platform.addVolume(disc.chopped(1), Platform::DriveKind::Optical, QStringLiteral("CD"));
    r.add(r.folder(QStringLiteral("a")), QStringLiteral("x.png"), "1");
    r.add(disc, QStringLiteral("x.png"), "1", QStringLiteral("[CD]"));
    CheckemController &c = r.start();
    EXPECT_TRUE(c.pane(1).deleteEnabled && c.pane(1).moveEnabled && c.pane(1).renameEnabled);
    EXPECT_FALSE(c.pane(2).deleteEnabled || c.pane(2).moveEnabled || c.pane(2).renameEnabled);
    EXPECT_TRUE(c.buttons().thumbnails);
    EXPECT_FALSE(c.Form_KeyPress(QStringLiteral("2")));
    EXPECT_TRUE(r.prompts.boxes.isEmpty());
}

TEST(PairReview, KeysPressTheirButtonsOnlyWhileKeyPreviewIsOn)
{
    const struct { const char *key; bool pressed; int loads, fullSize; const char *box;
    } keys[] = {
        {"n", true, 2, 0, nullptr},  {"+", true, 2, 0, nullptr},
        {"P", true, 2, 0, nullptr},  {"-", true, 2, 0, nullptr},
        {"v", true, 0, 1, nullptr},  {"/", true, 0, 1, nullptr},
        {"c", true, 0, 0, nullptr},  {"1", true, 0, 0, "Delete file - "},
        {"x", false, 0, 0, nullptr},
    };
    for (const auto &k : keys) {
        SCOPED_TRACE(k.key);
        Review r;
        r.addGroup(QStringLiteral("cat.png"), {"a", "b", "c"});
        CheckemController &c = r.start();
        if (k.key[0] == 'P' || k.key[0] == '-')
            c.cmdNEXT_Click(); // Previous from the second pair goes back to the first
        r.loads.clear();
        if (k.box)
            r.prompts.then(Answer::No);
        EXPECT_EQ(c.Form_KeyPress(QLatin1String(k.key)), k.pressed);
        EXPECT_EQ(r.loads.size(), k.loads);
        EXPECT_EQ(r.viewed.size(), k.fullSize);
        if (k.box)
            EXPECT_TRUE(r.prompts.texts().value(0).startsWith(QLatin1String(k.box)));
        // While a rename box is open, typed keys belong to it.
        c.cmdRENAME_Click(1);
        EXPECT_TRUE(c.pane(1).renameOpen);
        EXPECT_FALSE(c.Form_KeyPress(QLatin1String(k.key)));
    }
}

TEST(PairReview, DeleteBothWithAutoNextAdvancesOnce)
{
    Review r;
    r.state.setChecked(Check::Confirm, true);
    r.state.setChecked(Check::AutoNext, true);
    for (const char *name : {"cat.png", "dog.png", "fish.png"}) {
        r.add(r.folder(QStringLiteral("a")), QLatin1String(name), "1");
        r.add(r.folder(QStringLiteral("b")), QLatin1String(name), "22");
    }
    CheckemController &c = r.start();
    EXPECT_EQ(r.shown(), QStringLiteral("a/cat.png-b/cat.png"));
    c.cmdBOTH_Click();
    EXPECT_EQ(r.shown(), QStringLiteral("a/dog.png-b/dog.png"));
    EXPECT_EQ(FilesFixture::names(r.folder(QStringLiteral("a"))),
              (QStringList{"dog.png", "fish.png"}));
    EXPECT_EQ(r.state.sessionFilesDeleted, 2);
    EXPECT_EQ(r.state.sessionBytesRecovered, 3);
    EXPECT_EQ(r.settingsWritten, 2);
}

TEST(PairReview, AbsentRemovableMediumPromptsAndCancelFailsCleanly)
{
    Review r;
    r.state.setChecked(Check::Confirm, true);
    const QString stick = r.folder(QStringLiteral("stick"));
    r.platform.addVolume(stick.chopped(1), Platform::DriveKind::Removable, QStringLiteral("STICK"));
    r.add(r.folder(QStringLiteral("a")), QStringLiteral("x.png"), "1");
    const MatchRecord away = r.add(stick, QStringLiteral("x.png"), "1", QStringLiteral("[STICK]"));
    CheckemController &c = r.start();
    ASSERT_TRUE(r.prompts.boxes.isEmpty()) << "the medium is in: no prompt";
    QFile::remove(away.fullPath()); // the medium is taken out
    r.prompts.then(Answer::Cancel).then(Answer::Ok);
    c.cmdDELETE_Click(2);
    ASSERT_EQ(r.prompts.boxes.size(), 2);
    EXPECT_EQ(r.prompts.boxes[0].title, QStringLiteral("Vexa! - Cannot find FILE..."));
    EXPECT_EQ(r.prompts.texts()[1], QStringLiteral("Unable to Delete file - ") + away.fullPath());
    EXPECT_EQ(r.row(away).RTAG, QStringLiteral(" "));
    EXPECT_EQ(c.pane(2).file, QStringLiteral("x"));
    EXPECT_EQ(r.state.sessionFilesDeleted, 0);
    EXPECT_FALSE(c.isLocked());
}

TEST(PairReview, CountShowsTheRowsLeft)
{
    Review r;
    r.addGroup(QStringLiteral("cat.png"), {"a", "b", "c", "d", "e"});
    CheckemController &c = r.start();
    c.cmdCOUNT_Click();
    EXPECT_EQ(r.counts, (QStringList{"There are 1 records left to review.",
                                     "There are 2 records left to review.",
                                     "There are 3 records left to review."}));
    EXPECT_EQ(r.countText, QStringLiteral("There are 3 records left to review...\n\nPlease note "
                                          "that this is not a count of duplicates left..."));
    c.cmdNEXT_Click(); // the count left the browse order where it was
    EXPECT_EQ(r.shown(), QStringLiteral("b/cat.png-c/cat.png"));
}

} // namespace
