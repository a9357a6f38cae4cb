// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Runs the directory pre-scan alone, as a search launch would, on the program directory named
// by VEXA_HOME and the list given, with the settings found there. Prints the wall time in
// milliseconds, the rows marked and the files read. Usage: prescan_run LIST
#include "catalogue.h"
#include "dirlist.h"
#include "mainstate.h"
#include "prescan.h"
#include "programdir.h"
#include "settingsini.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: prescan_run LIST\n");
        return 2;
    }
    MainState state;
    MainState::setCurrent(&state);
    if (!SettingsIni::ReadINI(state, [&state](const QString &n) { DirList::LoadList(state, n); }))
        return 1;
    DirList::LoadList(state, QString::fromLocal8Bit(argv[1]));
    const QString path = PreScan::cataloguePath(state);
    ProgramDir::ensureDataDir();
    if (!Catalogue::ensureTemplate(ProgramDir::file(QStringLiteral("vexa.mdb")))
        || !Catalogue::createFromTemplate(ProgramDir::file(QStringLiteral("vexa.mdb")), path))
        return 1;
    PreScan scan(state);
    QElapsedTimer clock;
    clock.start();
    if (!scan.RunPreScan()) {
        std::fprintf(stderr, "%s\n", qPrintable(scan.error()));
        return 1;
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    QFile::remove(ProgramDir::file(QStringLiteral("Scanning.dat")));
    std::printf("%.1f ms, %.0f rows marked, %d files read\n", ms, scan.markedCount(), scan.filesRead());
    return 0;
}
