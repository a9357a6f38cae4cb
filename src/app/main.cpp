// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Vexa! finds duplicate images in the user's directories and helps tidy them away.
#include "frmmain.h"
#include "messageboxprompts.h"
#include "platform.h"
#include "resources.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: vexa [LIST [/GATHER]]\n"
    "       vexa --help | --version\n"
    "\n"
    "Finds duplicate images in the directories of a named directory list.\n"
    "\n"
    "  LIST          load the directory list LIST at start\n"
    "  LIST /GATHER  fill LIST's catalogue with every image signature, then quit\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "Settings, lists and catalogues live in $VEXA_HOME when it is set, else beside the\n"
    "program when VEXA.INI is there, else in ~/.local/share/vexa.\n";

} // namespace

int main(int argc, char **argv)
{
    // Options of our own are handled before any window system is touched.
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(a, "--version") == 0) {
            std::printf("Vexa! %s\n", VEXA_VERSION_TEXT);
            return 0;
        }
        if (std::strncmp(a, "--", 2) == 0) {
            std::fprintf(stderr, "vexa: unknown option '%s'\nTry 'vexa --help'.\n", a);
            return 2;
        }
        words << QString::fromLocal8Bit(a);
    }

    Platform::keepPictureMemory();
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexa"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vexa!"));
    QApplication::setApplicationVersion(QStringLiteral(VEXA_VERSION_TEXT));

    MessageBoxPrompts prompts;
    Prompts::setHandler(&prompts);
    Platform::setBeepFunction([] { QApplication::beep(); });

    const QString problem = Resources::writeMissing();
    if (!problem.isEmpty())
        std::fprintf(stderr, "vexa: %s\n", qPrintable(problem));

    // The command line is one text, as the user typed it after the program's name.
    frmMAIN window(words.join(QLatin1Char(' ')));
    if (window.controller().hasEnded())
        return 1;
    window.show();
    const int code = QApplication::exec();
    Prompts::setHandler(nullptr);
    return code;
}
