// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "movefile.h"

#include <QDialog>

class MainState;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

// The move dialog: pick a destination folder, or a destination used before, and move the file
// there. One dialog serves the whole run and is only hidden after use, so the destinations
// used before stay in its list.
class frmMOVEIT : public QDialog
{
    Q_OBJECT
public:
    // The program's one move dialog, made at its first use.
    static frmMOVEIT &instance(MainState &state);

    // Readies the dialog for a file and places it over the review window.
    void prepare(const QString &fileName, const QString &from, QWidget *review);
    // Runs the dialog modally for a file shown by a review window; its conversation is left in
    // the returned labels.
    static MoveDialog &run(MainState &state, const QString &fileName, const QString &from,
                           QWidget *review);
    MoveDialog &logic() { return m_logic; }

    QLabel *lblFILENAME, *lblFROM, *lblTO, *lblNEWNAME, *lblDIR;
    QComboBox *lstDRIVE;
    QListWidget *lstDIR, *lstPATHS;
    QPushButton *cmdADDDIR, *cmdCANCEL;

    // Points the folder list at a directory; false when it cannot be read.
    bool setDirectory(const QString &path);
    void cmdADDDIR_Click();
    void cmdCANCEL_Click();
    void lstPATHS_DblClick();

protected:
    void reject() override { cmdCANCEL_Click(); }

private:
    explicit frmMOVEIT(MainState &state);
    void showLabels();
    void finish(bool moved);

    MoveDialog m_logic;
    QString m_current;
};
