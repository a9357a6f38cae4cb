// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QDialog>

class MainState;

// The start / resume dialog. Until it is built it accepts the choice the launch prepared
// (StartMode and Reactivate unchanged) and closes at once.
class frmRESUME : public QDialog
{
    Q_OBJECT
public:
    explicit frmRESUME(MainState &state, QWidget *parent = nullptr);
};
