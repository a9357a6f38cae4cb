// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "reviewcontroller.h"

#include <QWidget>

class MainState;
class frmCOUNT;

// What the pair review's and the snapshot's windows do alike for their controllers: serving
// events, the full-size viewer, the count box, the move dialog and closing.
class ReviewWindow : public QWidget, protected virtual ReviewHost
{
    Q_OBJECT
protected:
    ReviewWindow(MainState &state, QWidget *parent);

    void processEvents() override;
    QString showFullSize(const QString &path1, const QString &path2, const QString &size1,
                         const QString &size2) override;
    void countProgress(const QString &text) override;
    void countResult(const QString &text) override;
    MoveDialog &runMoveDialog(const QString &fileName, const QString &from) override;
    void unload() override;

    virtual ReviewController &reviewController() = 0;
    // Where the window opens on its first showing, its frame's size given.
    virtual QPoint placement(const QRect &screen, const QSize &frame) const;
    // The window is about to close (the controller unloads next).
    virtual void closing() {}

    // The first showing places the window and runs the first activation.
    void showEvent(QShowEvent *event) override;
    // While a search or an action runs, the window stays, as Exit is disabled then.
    void closeEvent(QCloseEvent *event) override;

    MainState &m_state;

private:
    frmCOUNT &countBox();

    frmCOUNT *m_count = nullptr;
    bool m_unloading = false;
    bool m_shown = false;
};
