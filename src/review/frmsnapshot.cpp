// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmsnapshot.h"

#include "mainstate.h"

#include <QCloseEvent>
#include <QTimer>

frmSNAPSHOT::frmSNAPSHOT(MainState &state, std::function<void()> showMain, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state), m_showMain(std::move(showMain))
{
    setObjectName(QStringLiteral("frmSNAPSHOT"));
    setAttribute(Qt::WA_DeleteOnClose);
    QTimer::singleShot(0, this, &QWidget::close);
}

void frmSNAPSHOT::closeEvent(QCloseEvent *event)
{
    // The position reached stays in StoppedAtRecord; the main window takes over again.
    m_state.optionsChanged = false;
    if (m_showMain)
        m_showMain();
    event->accept();
}
