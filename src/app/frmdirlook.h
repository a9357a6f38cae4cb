// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QWidget>

class MainState;

// The directory pre-scan window. Until the pre-scan is built it marks the search started and
// completed, stores its position and reports back at once.
class frmDIRLOOK : public QWidget
{
    Q_OBJECT
public:
    explicit frmDIRLOOK(MainState &state, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    MainState &m_state;
};

// The pre-match window. Until the pre-match cycle is built it reports back at once.
class frmPREMATCH : public QWidget
{
    Q_OBJECT
public:
    explicit frmPREMATCH(MainState &state, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    MainState &m_state;
};
