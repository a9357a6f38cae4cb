// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "prematch.h"

#include <QWidget>

#include <array>
#include <memory>

class MainState;
class QLabel;
class QPushButton;
class QStackedLayout;
class QTimer;

// The pre-match window: runs the pre-match cycle at its first activation, shows how many
// matches it found and how many rows are left, serves Pause, Quit and Abort, and closes itself
// with a summary when the walk ends.
class frmPREMATCH : public QWidget
{
    Q_OBJECT
public:
    explicit frmPREMATCH(MainState &state, QWidget *parent = nullptr);
    ~frmPREMATCH() override;

    QLabel *lblFOUND;
    QPushButton *cmdPAUSE, *cmdCANCEL, *cmdKILL;
    std::array<QLabel *, 5> imgPIC{};
    QTimer *tmrPICTURE;

    PreMatchCycle &cycle() { return *m_cycle; }

    void cmdPAUSE_Click();
    void cmdCANCEL_Click();
    void cmdKILL_Click();
    void tmrPICTURE_Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Activate();
    void showProgress();
    void showCaption();

    MainState &m_state;
    std::unique_ptr<PreMatchCycle> m_cycle;
    QStackedLayout *m_pictures = nullptr;
    bool m_firstActivation = true;
    bool m_running = false;
};
