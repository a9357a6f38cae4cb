// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The snapshot review's speed: the time from Next to the first and to the last of a group of
// 28 thumbnails on screen, with the real window on Qt's offscreen screen.
// Usage: bench_snapshot ROOT GROUPS
// ROOT holds 28 folders, each with the files g0.jpg ... g<GROUPS-1>.jpg: every name makes one
// group of 28. Prints the medians over the groups after the first: "LAST_MS FIRST_MS PAUSE_MS",
// the last being the longest time the window's thread could not serve a click or a repaint
// while the thumbnails loaded.
#include "catalogue.h"
#include "dirlist.h"
#include "frmsnapshot.h"
#include "mainstate.h"
#include "prescan.h"
#include "programdir.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_snapshot ROOT GROUPS\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const int groups = QString::fromLocal8Bit(argv[2]).toInt();
    QTemporaryDir home;
    qputenv("VEXA_HOME", QFile::encodeName(home.path()));
    ProgramDir::ensureDataDir();

    // A catalogue of the folders, as a NAME search leaves it.
    MainState state;
    state.listName = QStringLiteral("Bench");
    state.filter = QStringLiteral("*");
    state.thumbnailExt = QStringLiteral(".THN");
    state.clickFileType(MainState::fileTypeIndex(QStringLiteral(".JPG")), true);
    state.setChecked(MainState::Check::NoSound, true);
    for (const QString &d : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        DirList::AddListEntry(state, root.filePath(d));
    const QString catalogue = PreScan::cataloguePath(state);
    if (!Catalogue::ensureTemplate(ProgramDir::file(QStringLiteral("vexa.mdb")))
        || !Catalogue::createFromTemplate(ProgramDir::file(QStringLiteral("vexa.mdb")), catalogue)
        || !PreScan(state).RunPreScan()) {
        return 1;
    }

    auto *window = new frmSNAPSHOT(state, [] {});
    // The wide grid: 28 thumbnails.
    window->resize(qRound(12600 * window->logicalDpiX() / 1440.0), qRound(9000 * window->logicalDpiY() / 1440.0));
    int shown = 0;
    QElapsedTimer clock;
    double first = 0;
    QObject::connect(window, &frmSNAPSHOT::thumbnailShown, [&] {
        if (++shown == 1)
            first = clock.nsecsElapsed() / 1e6;
    });
    const auto waitForGroup = [&] {
        QElapsedTimer limit;
        limit.start();
        while (shown < 28 && limit.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        window->repaint();
        return shown == 28;
    };
    clock.start();
    window->show(); // the first activation shows the first group
    if (!waitForGroup())
        return 1;
    // A 5 ms timer stands for the clicks and repaints the window must serve meanwhile.
    qint64 tick = 0, longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - tick);
        tick = now;
    });
    std::vector<double> last, firsts, pauses;
    for (int g = 1; g < groups; ++g) {
        shown = 0;
        clock.restart();
        window->cmdNEXT->click();
        // The pause counts from the moment Next has shown the group's names.
        tick = clock.elapsed();
        longest = 0;
        ticker.start(5);
        if (!waitForGroup()) {
            std::fprintf(stderr, "group %d: %d thumbnails shown\n", g, shown);
            return 1;
        }
        ticker.stop();
        last.push_back(clock.nsecsElapsed() / 1e6);
        firsts.push_back(first);
        pauses.push_back(double(longest));
    }
    std::printf("%.1f %.1f %.0f\n", median(last), median(firsts), median(pauses));
    window->close();
    return 0;
}
