// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QWidget>

#include <functional>

class MainState;

// The pair review: the matches two at a time. Until the review is
// built it opens, reports where it stopped and closes at once.
class frmCHECKEM : public QWidget
{
    Q_OBJECT
public:
    frmCHECKEM(MainState &state, std::function<void()> showMain, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    MainState &m_state;
    std::function<void()> m_showMain;
};
