// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "mainstate.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

// vexa --report: the whole search without a window. Brings the catalogue of a saved list, or
// of directories named on the command line, up to date, walks the mode's browse order to its
// end and prints the pairs (or the groups) as CSV or JSON on standard output.
namespace Report {

struct Request
{
    QString list;            // --list NAME
    QStringList directories; // or directories, each with its tree
    std::optional<MainState::Mode> mode;
    bool soft = false, ignoreType = false, exclusive = false;
    std::optional<int> tolerance;
    QStringList types; // ".JPG" ...
    bool groups = false;
    bool json = false;
};

// Reads the words after --report. Nothing, and the reason in *error, when they are not a
// request.
std::optional<Request> parse(const QStringList &args, QString *error);

// The option word of a mode ("NAMESIZE") and back.
QString modeWord(MainState::Mode mode);
std::optional<MainState::Mode> modeFromWord(const QString &word);

// Where the catalogue of a set of directories is kept between reports: a folder under the
// user's cache folder named from the set.
QString folderFor(const QStringList &directories);

// Runs a request; the exit status of the program. Output goes to out, messages and progress
// to err.
int run(const Request &request, FILE *out, FILE *err);

// CSV fields as RFC 4180 writes them, and JSON strings.
QString csvField(const QString &text);
QString jsonString(const QString &text);

} // namespace Report
