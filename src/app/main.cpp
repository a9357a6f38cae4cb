// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Vexa! finds duplicate images in the user's directories and helps tidy them away.
#include "frmmain.h"
#include "messageboxprompts.h"
#include "platform.h"
#include "report.h"
#include "resources.h"
#include "stopsignals.h"
#include "unattendedprompts.h"

#include <QApplication>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: vexa [LIST [/GATHER]]\n"
    "       vexa FOLDER...\n"
    "       vexa --report [--list NAME | DIR...] [OPTION...]\n"
    "       vexa --help | --version\n"
    "\n"
    "Finds duplicate images in the directories of a named directory list.\n"
    "\n"
    "  LIST          load the directory list LIST at start\n"
    "  LIST /GATHER  fill LIST's catalogue with every image signature, then quit\n"
    "  FOLDER...     add these folders (absolute paths) and those below them to the list\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "  --report      search without a window and print the duplicates found: of a saved\n"
    "                list (--list NAME), or of directories given with all below them\n"
    "    --mode M          NAME, SIZE, NAMESIZE, NUMBERED, CHECKSUM, AVGRGB, QUADRGB, PATTERN\n"
    "    --soft            soft matching\n"
    "    --ignore-type     pair files of different types\n"
    "    --exclusive       pair files of one directory only\n"
    "    --tolerance N     0 to 99, for AVGRGB, QUADRGB and PATTERN\n"
    "    --types .JPG,...  the file types to read (default: the settings, else all)\n"
    "    --groups          print groups of files that match one another, not pairs\n"
    "    --format F        csv (default) or json\n"
    "  Options not given come from VEXA.INI when there is one; it is never written.\n"
    "\n"
    "Settings, lists and catalogues live in $VEXA_HOME when it is set, else beside the\n"
    "program when VEXA.INI is there, else in ~/.local/share/vexa.\n";

// A report needs no screen: pictures are read the same way on the offscreen platform.
int runReport(int argc, char **argv)
{
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString error;
    const std::optional<Report::Request> request = Report::parse(args, &error);
    if (!request) {
        std::fprintf(stderr, "vexa: %s\nTry 'vexa --help'.\n", qPrintable(error));
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Platform::keepPictureMemory();
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("vexa"));
    // Nobody answers a report's boxes (a medium to put in, a damaged catalogue): they go to
    // standard error with the safe answer, as in an unattended gather.
    UnattendedPrompts printed;
    Prompts::setHandler(&printed);
    const int code = Report::run(*request, stdout, stderr);
    Prompts::setHandler(nullptr);
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    // Options of our own are handled before any window system is touched.
    if (argc > 1 && std::strcmp(argv[1], "--report") == 0)
        return runReport(argc, argv);
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

    // Folders (and pictures, for their folders) from a file manager's "Open with" are added to
    // the list; the rest of the command line is one text, as typed after the program's name.
    const QStringList folders = MainController::foldersAmong(words);
    const QString commandLine = words.join(QLatin1Char(' '));
    const bool unattended = MainController::isUnattended(commandLine);
    // A gather started where there is no display (cron, a service) needs no screen at all.
    if (unattended && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef SIGXFSZ
    // A file size limit makes writes fail, which every write here reports, rather than
    // killing the program in the middle of one.
    std::signal(SIGXFSZ, SIG_IGN);
#endif

    Platform::keepPictureMemory();
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexa"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vexa!"));
    QApplication::setApplicationVersion(QStringLiteral(VEXA_VERSION_TEXT));

    // Unattended, no box ever waits: each goes to standard error and takes the safe answer.
    MessageBoxPrompts boxes;
    UnattendedPrompts printed;
    Prompts::setHandler(unattended ? static_cast<Prompts::Handler *>(&printed) : &boxes);
    Platform::setBeepFunction([] { QApplication::beep(); });

    const QString problem = Resources::writeMissing();
    if (!problem.isEmpty())
        std::fprintf(stderr, "vexa: %s\n", qPrintable(problem));

    frmMAIN window(commandLine);
    window.controller().setOpenedFolders(folders);
    if (window.controller().hasEnded())
        return 1;
    StopSignals::install([&window](int signal) {
        // A box or dialog waiting for an answer is closed as its close button would close it.
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        window.controller().stopBySignal(signal);
    });
    window.show();
    const int code = QApplication::exec();
    Prompts::setHandler(nullptr);
    return code;
}
