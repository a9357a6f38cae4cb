// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Writes the empty catalogue template that the package installs: maketemplate PATH.
#include "catalogue.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString error;
    if (args.size() != 2 || !Catalogue::ensureTemplate(args[1], &error)) {
        std::fprintf(stderr, "maketemplate: %s\n",
                     args.size() != 2 ? "usage: maketemplate PATH" : qPrintable(error));
        return 1;
    }
    return 0;
}
