// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmdirlook.h"

#include "mainstate.h"

#include <QCloseEvent>
#include <QTimer>

namespace {

// Progress windows remember where they were, or that they were minimised.
void storePlacement(QWidget *w, MainState &s)
{
    if (w->isMinimized()) {
        s.scanBarMinimized = true;
    } else {
        s.scanBarTop = qint16(qBound(-32768, w->y() * 15, 32767));
        s.scanBarLeft = qint16(qBound(-32768, w->x() * 15, 32767));
    }
}

} // namespace

frmDIRLOOK::frmDIRLOOK(MainState &state, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state)
{
    setObjectName(QStringLiteral("frmDIRLOOK"));
    setWindowTitle(QStringLiteral("Vexa! - Directory Pre-Scan"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_state.searchCompleted = QStringLiteral("NO");
    QTimer::singleShot(0, this, [this] {
        m_state.searchCompleted = QStringLiteral("YES");
        close();
    });
}

void frmDIRLOOK::closeEvent(QCloseEvent *event)
{
    storePlacement(this, m_state);
    m_state.preScanDone = true;
    event->accept();
}

frmPREMATCH::frmPREMATCH(MainState &state, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state)
{
    setObjectName(QStringLiteral("frmPREMATCH"));
    setWindowTitle(QStringLiteral("Vexa! - Pre-Match"));
    setAttribute(Qt::WA_DeleteOnClose);
    QTimer::singleShot(0, this, &QWidget::close);
}

void frmPREMATCH::closeEvent(QCloseEvent *event)
{
    storePlacement(this, m_state);
    m_state.preMatchDone = true;
    event->accept();
}
