// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "reviewwindow.h"

#include "frmcount.h"
#include "frmmoveit.h"
#include "frmviewimages.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

ReviewWindow::ReviewWindow(MainState &state, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void ReviewWindow::processEvents()
{
    QCoreApplication::processEvents();
}

QString ReviewWindow::showFullSize(const QString &path1, const QString &path2,
                                   const QString &size1, const QString &size2)
{
    return frmVIEWIMAGES::view(m_state, this, path1, path2, size1, size2);
}

frmCOUNT &ReviewWindow::countBox()
{
    if (!m_count)
        m_count = new frmCOUNT(this);
    return *m_count;
}

void ReviewWindow::countProgress(const QString &text)
{
    countBox().progress(text);
}

void ReviewWindow::countResult(const QString &text)
{
    countBox().result(text);
}

MoveDialog &ReviewWindow::runMoveDialog(const QString &fileName, const QString &from)
{
    return frmMOVEIT::run(m_state, fileName, from, this);
}

void ReviewWindow::unload()
{
    m_unloading = true;
    close();
}

QPoint ReviewWindow::placement(const QRect &screen, const QSize &frame) const
{
    return {screen.left() + (screen.width() - frame.width()) / 2,
            screen.top() + (screen.height() - frame.height()) / 2};
}

void ReviewWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(placement(screen->availableGeometry(), frameGeometry().size()));
    // Headless screens never activate a window: the first activation runs from here.
    QTimer::singleShot(0, this, [this] { reviewController().Form_Activate(); });
}

void ReviewWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloading && reviewController().isLocked()) {
        event->ignore();
        return;
    }
    closing();
    reviewController().Form_Unload();
    event->accept();
}
