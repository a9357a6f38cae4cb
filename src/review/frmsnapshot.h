// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "reviewwindow.h"
#include "snapshotcontroller.h"
#include "thumbnails.h"

#include <array>
#include <functional>

class MainState;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

using SnapshotRole = SnapshotController::Role;

// The detail window shown while the pointer is over a thumbnail: the file's place and name,
// size, date and dimensions, the deletion counters, and buttons for the snapshot's actions.
// It never takes the focus: the snapshot window passes it its keys.
class frmNAME : public QWidget
{
    Q_OBJECT
public:
    frmNAME(SnapshotController &controller, QWidget *parent);
    QLabel *lblNAME, *lblSIZE, *lblDATE, *lblDIM, *lblDELSTATUS;
    QPushButton *cmdDELETE, *cmdMOVE, *cmdTAG, *cmdVIEW, *cmdALL, *cmdSKIP, *cmdCOUNT, *cmdNEXT,
        *cmdPREVIOUS;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The small action window opened beside a clicked thumbnail.
class frmDOWHAT : public QWidget
{
    Q_OBJECT
public:
    frmDOWHAT(SnapshotController &controller, QWidget *parent);
    QPushButton *cmdDELETE, *cmdMOVE, *cmdRENAME, *cmdTAG, *cmdVIEW, *cmdALL, *cmdSKIP, *cmdNEXT,
        *cmdPREVIOUS, *cmdN, *cmdP, *cmdCANCEL, *cmdEXIT, *cmdOK;
    QLineEdit *txtNEWNAME;

    // Rename: the box (holding the slot's name) and OK shown, the focus in the box.
    void cmdRENAME_Click();
    // Hides the window and moves it off the screen, where it waits for the next click.
    void park();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void showBox(bool shown);
    SnapshotController &m_controller;
};

// The snapshot review: the files of a group as a grid of up to 28 thumbnails with their names,
// the details of the one pointed at, and the actions on them. The logic lives in
// SnapshotController; the window shows it and hands it every click, pointer move and key.
class frmSNAPSHOT : public ReviewWindow, private SnapshotHost
{
    Q_OBJECT
public:
    // showMain brings the main window back; writeSettings stores the settings file.
    frmSNAPSHOT(MainState &state, std::function<void()> showMain,
                std::function<bool()> writeSettings = {}, QWidget *parent = nullptr);
    ~frmSNAPSHOT() override;

    SnapshotController &controller() { return m_controller; }
    frmNAME *nameWindow() const { return m_name; }
    frmDOWHAT *doWhatWindow() const { return m_doWhat; }
    // Thumbnails still being decoded.
    bool isLoading() const { return m_loader.isBusy(); }

    static constexpr int Slots = SnapshotLayout::GridMax;
    std::array<QLabel *, Slots> gvbIMAGE{}, picIMAGE{}, lblREFNAME{};
    std::array<QFrame *, 4> boxLINE{};
    QLabel *lblNAME, *lblSIZE, *lblDATE, *lblDIM, *lblDELSTATUS, *lblSTATUS, *imgTIP, *lblTIP;
    QPushButton *cmdNEXT, *cmdPREV, *cmdSKIP, *cmdCOUNT, *cmdDELETE, *cmdRENAME, *cmdMOVE, *cmdTAG,
        *cmdVIEW, *cmdALL, *cmdSTOP, *cmdEXIT;

signals:
    // A thumbnail has been put on screen (for the benchmark and the tests).
    void thumbnailShown(int slot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    ReviewController &reviewController() override { return m_controller; }
    QPoint placement(const QRect &screen, const QSize &frame) const override;
    void closing() override;

    // SnapshotHost
    void refresh() override;
    void loadThumbnails(const QVector<Thumbnails::Loader::Job> &jobs) override;
    void clearThumbnail(int slot) override;
    void showDoWhat(int slot, const QString &name) override;
    void hideDoWhat() override;
    void showNameWindow(int slot) override;
    void hideNameWindow() override;
    void openRenameBox() override;
    QString renameText() override;
    bool doWhatInUse() override;
    void statusChanged() override;

    void thumbnailReady(int slot, const QString &path, const Thumbnails::Picture &picture);
    void placeThumbnail(int slot);
    // Twips and pixels at the screen's logical resolution.
    int px(int twips) const;
    QRect px(const QRect &twips) const;
    QRect twips(const QRect &pixels) const;

    SnapshotController m_controller;
    Thumbnails::Loader m_loader;
    std::array<QImage, Slots> m_thumbnails;
    std::array<bool, Slots> m_icon{};
    frmNAME *m_name;
    frmDOWHAT *m_doWhat;
    int m_capacityShown = -1;
};
