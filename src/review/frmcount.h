// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The small box of the records-left count, centred on the screen: the running figure while the
// review counts, then the result until Continue.
class frmCOUNT : public QDialog
{
    Q_OBJECT
public:
    explicit frmCOUNT(QWidget *parent = nullptr);

    // Shows the running figure without waiting.
    void progress(const QString &text);
    // Shows the result modally until Continue.
    void result(const QString &text);

    QLabel *lblCOUNT;
    QPushButton *cmdOK;

private:
    qint64 m_lastPaint = 0;
};
