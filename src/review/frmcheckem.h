// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "checkemcontroller.h"
#include "reviewwindow.h"

#include <array>
#include <functional>

class MainState;
class QLabel;
class QLineEdit;
class QPushButton;

// The pair review: two files side by side with their thumbnails, names, places, types, sizes,
// dates and dimensions, red marks where they agree, and the actions on each. The logic lives
// in CheckemController; the window shows it and hands it every click and key.
class frmCHECKEM : public ReviewWindow, private CheckemHost
{
    Q_OBJECT
public:
    // writeSettings stores the settings file; showMain brings the main window back.
    frmCHECKEM(MainState &state, std::function<void()> showMain,
               std::function<bool()> writeSettings = {}, QWidget *parent = nullptr);
    ~frmCHECKEM() override;

    CheckemController &controller() { return m_controller; }

    // Per pane, index 0 for pane 1.
    std::array<QLabel *, 2> lblFILE{}, lblPATH{}, lblTYPE{}, lblSIZE{}, lblDATE{}, lblDIM{};
    std::array<std::array<QLabel *, CheckemController::MarkCount>, 2> lblCHK{};
    std::array<QLabel *, 2> gvbIMAGE{}, picIMAGE{};
    std::array<QLineEdit *, 2> txtNEWNAME{};
    std::array<QPushButton *, 2> cmdDELETE{}, cmdMOVE{}, cmdRENAME{}, cmdOK{};
    QPushButton *cmdBOTH, *cmdNEXT, *cmdPREVIOUS, *cmdSKIP, *cmdCOUNT, *cmdSTOP, *cmdCANCEL;
    QLabel *lblSTATUS;

    // The thumbnails' frame in pixels.
    static constexpr int ThumbnailWidth = 400, ThumbnailHeight = 300;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // CheckemHost
    void refresh() override;
    std::array<QSize, 2> loadPictures(const std::array<QString, 2> &paths) override;
    void focusRenameBox(int pane) override;
    void focusNext() override;

    ReviewController &reviewController() override { return m_controller; }

    void buildPane(int index, class QGridLayout *grid, int column);

    CheckemController m_controller;
};
