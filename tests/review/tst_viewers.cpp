// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmaltview.h"
#include "frmviewimages.h"
#include "mainstate.h"
#include "scriptedprompts.h"
#include "temphome.h"
#include "testkit.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Viewer, EqualSizesScrollTogetherOthersAlone)
{
    const struct { const char *name; QSize second; bool together; } cases[] = {
        {"equal sizes", {2400, 1800}, true},
        {"another size", {2500, 1800}, false},
    };
    TempHome home;
    QTemporaryDir dir;
    const QString first = dir.filePath("first.png");
    ASSERT_TRUE(savePicture(first, {2400, 1800}));
    for (const auto &k : cases) {
        SCOPED_TRACE(k.name);
        const QString second = dir.filePath(QLatin1String(k.name) + ".png");
        ASSERT_TRUE(savePicture(second, k.second));
        frmVIEWIMAGES viewer;
        viewer.resize(800, 600);
        viewer.showImages(first, second, QStringLiteral("1 bytes"), QStringLiteral("2 bytes"));
        viewer.show();
        QScrollBar *h1 = viewer.HScroll[0], *h2 = viewer.HScroll[1], *v1 = viewer.VScroll[0];
        const int excess = 2400 - viewer.Picturebox[0]->width();
        ASSERT_EQ(h1->maximum(), excess);
        h1->setValue(100);
        v1->setValue(40);
        EXPECT_EQ(viewer.Picture[0]->pos(), QPoint(-100, -40));
        EXPECT_EQ(h2->value(), k.together ? 100 : 0);
        EXPECT_EQ(viewer.Picture[1]->pos(), k.together ? QPoint(-100, -40) : QPoint(0, -40));
        // The second picture's bars move the second alone.
        h2->setValue(7);
        EXPECT_EQ(h1->value(), 100);
        EXPECT_EQ(viewer.Picture[1]->x(), -7);
        // Fitted to their frames, nothing is left to scroll; a click switches back.
        viewer.gvbIMAGE_Click();
        EXPECT_EQ(h1->maximum() + viewer.VScroll[1]->maximum(), 0);
        EXPECT_LE(viewer.gvbIMAGE[0]->width(), viewer.Picturebox[0]->width());
        viewer.gvbIMAGE_Click();
        EXPECT_EQ(h1->maximum(), excess);
        EXPECT_EQ(h1->value(), 0);
        viewer.cmdRETURN_Click();
        QFile::remove(second);
    }
}

TEST(Viewer, LongPathsKeepTheirHeadAndTail)
{
    const struct { const char *text; int room; const char *shown; } cases[] = {
        {"/home/ann/photo.jpg", 40, "/home/ann/photo.jpg"},
        {"/home/ann/photo.jpg", 15, "/ho...photo.jpg"},
        {"/home/ann/photo.jpg", 3, "/ho...g"}, // never shorter than seven characters
    };
    for (const auto &k : cases) {
        const QString shown = frmVIEWIMAGES::shortened(
            QLatin1String(k.text), [&](const QString &s) { return s.size() <= k.room; });
        EXPECT_EQ(shown, QLatin1String(k.shown)) << k.room;
    }
}

TEST(ExternalViewer, TheFileReachesTheProgramIntact)
{
    TempHome home;
    QTemporaryDir dir;
    MainState state;
    ScriptedPrompts prompts;
    const QString record = dir.filePath(QStringLiteral("args"));
    qputenv("VEXA_RECORD_ARGS", QFile::encodeName(record));
    frmALTVIEW &window = frmALTVIEW::instance(state);
    const QString file = dir.filePath(QStringLiteral("-v 'my' \"holiday\" 100% $HOME.jpg"));

    // The chooser hands over the program; the window shows it and keeps it.
    prompts.onDialog = [](QDialog *d) {
        auto *chooser = qobject_cast<frmFINDVIEW *>(d);
        EXPECT_NE(chooser, nullptr);
        if (!chooser)
            return 0;
        chooser->txtFILENAME->setText(QStringLiteral(RECORDARGS));
        return int(QDialog::Accepted);
    };
    window.setFile(file);
    window.Form_Activate();
    window.cmdFIND_Click();
    EXPECT_EQ(state.alternateViewer, QStringLiteral(RECORDARGS));
    EXPECT_EQ(window.cmdVIEW->text(), QStringLiteral("&Use recordargs"));
    window.cmdVIEW_Click();
    waitFor([&] { return QFile::exists(record); });
    EXPECT_EQ(readFile(record), QFile::encodeName(file) + '\0');
    EXPECT_TRUE(prompts.boxes.isEmpty());

    // The two messages.
    const struct { const char *viewer, *message; } failures[] = {
        {"   ", "No viewer specified..."},
        {"/no/such/viewer", "Unable to launch viewer... Error 2 - No such file or directory"},
    };
    for (const auto &f : failures) {
        state.alternateViewer = QLatin1String(f.viewer);
        window.Form_Activate();
        prompts.then(Prompts::Answer::Ok);
        window.cmdVIEW_Click();
        ASSERT_FALSE(prompts.boxes.isEmpty());
        EXPECT_EQ(prompts.boxes.last(),
                  (Prompts::Box{QLatin1String(f.message), QStringLiteral("Error"), Prompts::Buttons::Ok,
                                Prompts::Icon::Critical, Prompts::Default::First}));
    }
    qunsetenv("VEXA_RECORD_ARGS");
    delete &window;
}

} // namespace
