// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

// The statistics window shown at quit: files deleted and disk space recovered.
class frmSTATS : public QDialog
{
    Q_OBJECT
public:
    explicit frmSTATS(const QString &message, QWidget *parent = nullptr);
    QLabel *lblMSG;
    QCheckBox *chkNODISPLAY;
};
