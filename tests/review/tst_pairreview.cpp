// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// A whole search with the real windows: the main window's Go, the pre-scan, the pair review
// deleting, moving and renaming, and the statistics at quit.
#include "fakeplatform.h"
#include "frmcheckem.h"
#include "frmmain.h"
#include "frmmoveit.h"
#include "frmstats.h"
#include "reviewfixture.h"
#include "scriptedprompts.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Answer = Prompts::Answer;
using Check = MainState::Check;

namespace {

frmCHECKEM *reviewWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *r = qobject_cast<frmCHECKEM *>(w); r && r->isVisible())
            return r;
    }
    return nullptr;
}

TEST(PairReview, SearchDeleteMoveRenameAndQuitStatistics)
{
    TempHome home;
    FakePlatform platform;
    QTemporaryDir root;
    const auto folder = [&root](const char *name) {
        QDir().mkpath(root.filePath(QLatin1String(name)));
        return root.filePath(QLatin1String(name)) + QLatin1Char('/');
    };
    const QString a = folder("pics/a"), b = folder("pics/b"), kept = folder("kept");
    int shade = 0;
    for (const QString &path : {a + "cat.png", a + "dog.png", a + "fish.png", a + "owl.png",
                                b + "cat.png", b + "dog.png", b + "fish.png"}) {
        ASSERT_TRUE(savePicture(path, {40 + shade, 30}, qRgb(20 * shade, 90, 160)));
        ++shade;
    }
    const qint64 catSize = QFileInfo(b + "cat.png").size();

    ScriptedPrompts prompts;
    frmMAIN main;
    main.show();
    ASSERT_TRUE(
        waitFor([&] { return main.cmdGO->isEnabled() && !main.controller().isSearchBusy(); }));
    MainState &state = main.state();
    state.directories = QStringList{QStringLiteral("[] ") + a, QStringLiteral("[] ") + b};
    state.clickFileType(MainState::fileTypeIndex(QStringLiteral(".PNG")), true);
    state.clickMode(MainState::Mode::Name);
    state.clickCheck(Check::Recycle, true);

    prompts.then(Answer::Ok); // the pre-scan's "files read"
    main.cmdGO->click();
    ASSERT_TRUE(waitFor([] { return reviewWindow() != nullptr; }));
    frmCHECKEM *review = reviewWindow();
    CheckemController &c = review->controller();
    ASSERT_TRUE(waitFor([&] { return !c.pane(1).file.isEmpty() && !c.isLocked(); }));
    EXPECT_EQ(review->windowTitle(), QStringLiteral("Vexa! - NAME search, IGNORE TYPE"));
    const int beeps = platform.beeps;

    // cat / cat: the second goes to the Trash.
    EXPECT_EQ(review->lblPATH[0]->text() + review->lblFILE[0]->text(), a + "cat");
    EXPECT_EQ(review->lblPATH[1]->text() + review->lblFILE[1]->text(), b + "cat");
    EXPECT_TRUE(review->lblCHK[0][CheckemController::MarkName]->isVisibleTo(review));
    EXPECT_FALSE(review->lblCHK[0][CheckemController::MarkLocation]->isVisibleTo(review));
    prompts.then(Answer::Yes);
    review->cmdDELETE[1]->click();
    EXPECT_EQ(review->lblFILE[1]->text(), QString());
    EXPECT_EQ(review->lblSTATUS->text(), QStringLiteral("1 files deleted, 1 total..."));

    // dog / dog: the second moves to another folder.
    review->cmdNEXT->click();
    EXPECT_EQ(review->lblPATH[1]->text() + review->lblFILE[1]->text(), b + "dog");
    prompts.onDialog = [&](QDialog *d) {
        auto *move = qobject_cast<frmMOVEIT *>(d);
        if (!move)
            return 0;
        EXPECT_EQ(move->lblFROM->text(), QStringLiteral("[] ") + b);
        move->setDirectory(kept);
        prompts.then(Answer::Yes);
        move->cmdADDDIR->click();
        return 1;
    };
    review->cmdMOVE[1]->click();
    EXPECT_EQ(review->lblSTATUS->text(), QStringLiteral("File moved..."));
    EXPECT_EQ(review->lblPATH[1]->text(), kept);

    // fish / fish: the first is renamed.
    review->cmdNEXT->click();
    EXPECT_EQ(review->lblFILE[0]->text(), QStringLiteral("fish"));
    review->cmdRENAME[0]->click();
    ASSERT_TRUE(review->txtNEWNAME[0]->isVisibleTo(review));
    review->txtNEWNAME[0]->setText(QStringLiteral("fish2"));
    prompts.then(Answer::Yes);
    review->cmdOK[0]->click(); // taking the focus from the box runs the rename
    EXPECT_EQ(review->lblFILE[0]->text(), QStringLiteral("fish2"));
    EXPECT_FALSE(review->txtNEWNAME[0]->isVisibleTo(review));

    // The end, then back to the main window.
    prompts.then(Answer::Ok);
    review->cmdNEXT->click();
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("No more matches..."));
    review->cmdCANCEL->click();
    ASSERT_TRUE(waitFor([&] { return main.isVisible() && reviewWindow() == nullptr; }));
    EXPECT_FALSE(state.optionsChanged);
    EXPECT_EQ(platform.beeps, beeps + 3); // one sound after each search step

    EXPECT_EQ(FilesFixture::names(a), (QStringList{"cat.png", "dog.png", "fish2.png", "owl.png"}));
    EXPECT_EQ(FilesFixture::names(b), QStringList{"fish.png"});
    EXPECT_EQ(FilesFixture::names(kept), QStringList{"dog.png"});
    // The rows follow: the deleted file tagged, the moved and the renamed ones named anew.
    EXPECT_EQ(queryRows(home.file("data/General.mdb"),
                        "SELECT PATH, DISKNAME, RTAG, BASENAME FROM FILES ORDER BY 1, 2"),
              (QStringList{kept + "|dog.png| |DOG", a + "|cat.png| |CAT", a + "|dog.png| |DOG",
                           a + "|fish2.png| |FISH", a + "|owl.png| |OWL", b + "|cat.png|D|CAT",
                           b + "|fish.png| |FISH"}));

    // Quit: the statistics count the one file deleted.
    QString statistics;
    prompts.onDialog = [&](QDialog *d) {
        if (auto *stats = qobject_cast<frmSTATS *>(d))
            statistics = stats->lblMSG->text();
        return 1;
    };
    main.cmdQUIT->click();
    EXPECT_TRUE(statistics.startsWith("1 file(s) deleted this session.\n\n" +
                                      QString::number(catSize) + " bytes recovered"))
        << statistics.toStdString();
    EXPECT_TRUE(statistics.endsWith("\n1 files deleted.")) << statistics.toStdString();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != &main)
            delete w;
    }
}

} // namespace
