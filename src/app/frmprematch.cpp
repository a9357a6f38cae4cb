// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmprematch.h"

#include "mainstate.h"
#include "prescan.h"
#include "progresswindowplacement.h"
#include "prompts.h"
#include "stepsound.h"
#include "vbtext.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStackedLayout>
#include <QTimer>

#include <cstdlib>

namespace {

using Check = MainState::Check;

// Five small pictures, each a pair of framed images, shuffled while the cycle runs.
QPixmap drawPicture(int k)
{
    static const QColor tints[] = {QColor(70, 130, 180), QColor(200, 120, 40), QColor(60, 150, 80),
                                   QColor(170, 60, 90), QColor(120, 100, 170)};
    QPixmap pm(96, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    for (int side = 0; side < 2; ++side) {
        const QRectF frame(4 + side * 46, 8 + side * 6, 40, 44);
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(Qt::white);
        p.drawRect(frame);
        p.setPen(Qt::NoPen);
        p.setBrush(tints[k]);
        p.drawEllipse(frame.center() + QPointF(-4, -6), 9, 9);
        p.setBrush(tints[k].darker(140));
        p.drawRect(QRectF(frame.left() + 4, frame.bottom() - 14, frame.width() - 8, 10));
    }
    return pm;
}

} // namespace

frmPREMATCH::frmPREMATCH(MainState &state, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state), m_cycle(std::make_unique<PreMatchCycle>(state))
{
    setObjectName(QStringLiteral("frmPREMATCH"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vexa - Pre-Match Cycle"));

    lblFOUND = new QLabel(this);
    lblFOUND->setObjectName(QStringLiteral("lblFOUND"));
    lblFOUND->setMinimumWidth(320);
    cmdPAUSE = new QPushButton(QStringLiteral("&Pause"), this);
    cmdPAUSE->setObjectName(QStringLiteral("cmdPAUSE"));
    cmdPAUSE->setCheckable(true);
    cmdCANCEL = new QPushButton(QStringLiteral("&Quit    "), this);
    cmdCANCEL->setObjectName(QStringLiteral("cmdCANCEL"));
    cmdKILL = new QPushButton(QStringLiteral("&Abort  "), this);
    cmdKILL->setObjectName(QStringLiteral("cmdKILL"));
    cmdKILL->setToolTip(QStringLiteral("End the program now; the cycle resumes at the next search"));

    auto *pictures = new QWidget(this);
    m_pictures = new QStackedLayout(pictures);
    for (int k = 0; k < 5; ++k) {
        imgPIC[size_t(k)] = new QLabel(pictures);
        imgPIC[size_t(k)]->setObjectName(QStringLiteral("imgPIC%1").arg(k + 1));
        imgPIC[size_t(k)]->setPixmap(drawPicture(k));
        m_pictures->addWidget(imgPIC[size_t(k)]);
    }

    auto *layout = new QGridLayout(this);
    layout->addWidget(pictures, 0, 0, 2, 1);
    layout->addWidget(lblFOUND, 0, 1, 1, 3);
    layout->addWidget(cmdPAUSE, 1, 1);
    layout->addWidget(cmdCANCEL, 1, 2);
    layout->addWidget(cmdKILL, 1, 3);

    tmrPICTURE = new QTimer(this);
    tmrPICTURE->setObjectName(QStringLiteral("tmrPICTURE"));
    tmrPICTURE->setInterval(2000);
    connect(tmrPICTURE, &QTimer::timeout, this, &frmPREMATCH::tmrPICTURE_Timer);
    connect(cmdPAUSE, &QPushButton::clicked, this, &frmPREMATCH::cmdPAUSE_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &frmPREMATCH::cmdCANCEL_Click);
    connect(cmdKILL, &QPushButton::clicked, this, &frmPREMATCH::cmdKILL_Click);

    m_cycle->yield = [] { QCoreApplication::processEvents(); };
    m_cycle->progress = [this] { showProgress(); };
    m_cycle->paused = [this] { showCaption(); };
    if (m_state.preScanMarked > 0)
        m_cycle->setRowsToWalk(m_state.preScanMarked);

    adjustSize();
    ProgressWindowPlacement::place(this, m_state);
}

frmPREMATCH::~frmPREMATCH() = default;

void frmPREMATCH::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (m_firstActivation) {
        m_firstActivation = false;
        QTimer::singleShot(0, this, &frmPREMATCH::Form_Activate);
    }
}

void frmPREMATCH::Form_Activate()
{
    if (m_state.scanBarMinimized)
        showMinimized();
    if (!m_cycle->open(PreScan::cataloguePath(m_state))) {
        Prompts::ask(this, Prompts::Box{m_cycle->error() + QStringLiteral("\n\nThe search cannot go on."),
                                        QStringLiteral("Vexa! - Error"), Prompts::Buttons::Ok,
                                        Prompts::Icon::Critical, Prompts::Default::First});
        close();
        return;
    }
    tmrPICTURE->start();
    m_running = true;
    m_cycle->run();
    m_running = false;
    tmrPICTURE->stop();
    if (m_cycle->isAborted()) {
        // The marks so far and the marker stay: the next launch resumes the cycle.
        std::_Exit(3);
    }
    PlayStepSound(m_state);
    if (!m_state.isChecked(Check::Gather) && !m_state.stopSignal) {
        Prompts::message(this, VbText::general(m_state.preScanMarked) + QStringLiteral(" files read,  ")
                                   + VbText::general(m_cycle->matchesFound())
                                   + QStringLiteral(" matches found ..."));
    }
    close();
}

void frmPREMATCH::showProgress()
{
    lblFOUND->setText(VbText::general(m_cycle->matchesFound()) + QStringLiteral(" matches found...  ")
                      + VbText::general(m_cycle->recordsLeft()) + QStringLiteral(" records left..."));
    showCaption();
}

void frmPREMATCH::showCaption()
{
    if (m_cycle->isPaused())
        setWindowTitle(QStringLiteral("vexa! - Paused"));
    else if (isMinimized())
        // The task bar shows the progress of a minimised window.
        setWindowTitle(VbText::general(m_cycle->matchesFound()) + QStringLiteral(" / ")
                       + VbText::general(m_cycle->recordsLeft()));
    else
        setWindowTitle(QStringLiteral("Vexa - Pre-Match Cycle"));
}

void frmPREMATCH::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && m_running)
        showCaption();
}

void frmPREMATCH::cmdPAUSE_Click()
{
    m_cycle->setPaused(!m_cycle->isPaused());
    cmdPAUSE->setChecked(m_cycle->isPaused());
    showCaption();
}

void frmPREMATCH::cmdCANCEL_Click()
{
    m_cycle->cancel();
}

void frmPREMATCH::cmdKILL_Click()
{
    m_cycle->abort();
    if (!m_running)
        std::_Exit(3);
}

void frmPREMATCH::tmrPICTURE_Timer()
{
    const int k = int(5 * QRandomGenerator::global()->generateDouble() + 1);
    m_pictures->setCurrentIndex(k - 1);
}

void frmPREMATCH::closeEvent(QCloseEvent *e)
{
    if (m_running) {
        // Closing the window while it runs means Quit: the cycle stops, then closes the window.
        m_cycle->cancel();
        e->ignore();
        return;
    }
    m_cycle->finish();
    ProgressWindowPlacement::store(this, m_state);
    m_state.preMatchDone = true;
    e->accept();
}
