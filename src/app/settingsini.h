// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class MainState;

// The settings file VEXA.INI: every option and the state that survives between runs.
// The reader recognises every key on any line (section headers are only for the eye); the
// writer emits one fixed layout of CRLF lines.
namespace SettingsIni {

QString fileName(); // the program directory's "VEXA.INI"

// The whole file as written from the state.
QByteArray compose(const MainState &state);

// Applies the file's lines to the state, as clicks on the controls. loadList is called for
// the LIST NAME line (with "General" when it names none). Resets the defaults first.
void apply(const QByteArray &content, MainState &state,
           const std::function<void(const QString &)> &loadList);

// Lists up to 1000 sound files "*.wav" of the state's sound directory into the state.
void buildSoundList(MainState &state);

// ReadINI / WriteINI on the program directory's file. A failure shows its message ("Unable
// to read INI file" / "Unable to create INI file") and returns false: the caller must end
// the program.
bool ReadINI(MainState &state, const std::function<void(const QString &)> &loadList);
bool WriteINI(const MainState &state);

} // namespace SettingsIni
