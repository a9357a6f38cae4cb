// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Runs the pre-match cycle of the settings in $VEXA_HOME over a catalogue, without a window:
// prematchrun CATALOGUE. Prints the pairs counted. For the tests that kill it midway.
#include "mainstate.h"
#include "prematch.h"
#include "settingsini.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: prematchrun CATALOGUE\n");
        return 2;
    }
    MainState state;
    if (!SettingsIni::ReadINI(state, [](const QString &) {}))
        return 1;
    PreMatchCycle cycle(state);
    if (!cycle.open(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(cycle.error()));
        return 1;
    }
    cycle.run();
    cycle.finish();
    std::printf("%d\n", cycle.matchesFound());
    return 0;
}
