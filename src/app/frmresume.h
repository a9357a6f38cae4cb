// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "resumechoice.h"

#include <QDialog>
#include <QList>

class MainState;
class QCheckBox;
class QPushButton;
class QRadioButton;

// The start / resume dialog shown before a search over an existing catalogue.
class frmRESUME : public QDialog
{
    Q_OBJECT
public:
    explicit frmRESUME(MainState &state, QWidget *parent = nullptr);

    QRadioButton *optNEW, *optRESUME;
    QList<QCheckBox *> volumeBoxes; // one per volume, objectName "chk" + root
    QPushButton *cmdGO;

    void cmdGO_Click();

private:
    MainState &m_state;
    ResumeChoice m_choice;
};
