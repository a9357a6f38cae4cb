// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

// What many tests do around the code they test: files, a look into a catalogue, waiting for
// the event loop, and programs run as the user would run them.

// Writes a file whole, its folders made; false when that fails.
bool writeFile(const QString &path, const QByteArray &content);
// A file's bytes, or "<missing>".
QByteArray readFile(const QString &path);
// A picture of one colour as a PNG file's bytes, or written to a file.
QByteArray pngBytes(QSize size, unsigned rgb = 0xff008b8b);
bool savePicture(const QString &path, QSize size, unsigned rgb = 0xff008b8b);
// The rows a query gives over a database file, the fields of each joined with "|".
QStringList queryRows(const QString &database, const QString &sql);
// Serves the event loop until done() holds or ten seconds pass; returns done().
bool waitFor(const std::function<bool()> &done);

// The environment of a program run headless with its program directory at home.
QProcessEnvironment programEnvironment(const QString &home);
struct RunResult
{
    bool finished = false; // false: it overran its time and was killed
    int code = -1;         // -1: it crashed
    QString out, err;
};
// Runs a program to its end; inChild runs in the child before the program starts.
RunResult runProgram(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                     const std::function<void()> &inChild = {}, int limitMs = 120000);
