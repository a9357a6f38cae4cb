// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "maincontroller.h"
#include "mainstate.h"

#include <QPixmap>
#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;

// The main window: every search option, the current directory list and the Go button.
// It shows the shared state and hands every action to the main controller.
class frmMAIN : public QWidget, private MainWindowHost
{
    Q_OBJECT
public:
    explicit frmMAIN(const QString &commandLine = QString(), QWidget *parent = nullptr);
    ~frmMAIN() override;

    MainState &state() { return m_state; }
    MainController &controller() { return m_controller; }

    // Mode buttons, in the order of MainState::Mode.
    std::array<QRadioButton *, MainState::ModeCount> modeButtons{};
    QRadioButton *optNAME, *optSIZE, *optNAMESIZE, *optNUMBERED, *optCHECKSUM, *optAVERAGERGB,
        *optQUADRGB, *optPATTERN;
    // Option boxes, in the order of MainState::Check.
    std::array<QCheckBox *, MainState::CheckCount> checkBoxes{};
    QCheckBox *chkSOFTMATCH, *chkIGNORE, *chkEXCLUSIVE, *chkGATHER, *chkPREMATCH, *chkSNAPSHOT,
        *chkRECYCLE, *chkCONFIRM, *chkAUTONEXT, *chkNOT, *chkJPEG, *chkNOSOUND, *chkSAVELIST,
        *chkSINGLETABLE, *chkTREEMODEIFCD;
    std::array<QCheckBox *, MainState::FileTypeCount> fileTypeBoxes{}; // chkART ... chkICO, chkAVIF ... chkWEBP
    QLineEdit *txtTOLERANCE, *txtFILTER, *txtTHUMBNAILEXT, *txtIFCD;
    QListWidget *lstDIRECTORIES;
    QLabel *lblLISTNAME;
    QPushButton *cmdGO, *cmdQUIT, *cmdADD, *cmdDELETE, *cmdCLEAR, *cmdLOAD, *cmdSAVE, *cmdPURGE,
        *cmdCOMPACT, *cmdHELP, *cmdABOUT;
    QLabel *imgLEFTEYE, *imgRIGHTEYE;

    void cmdGO_Click() { m_controller.cmdGO_Click(); }
    void cmdQUIT_Click() { m_controller.cmdQUIT_Click(); }
    void cmdADD_Click();
    void cmdDELETE_Click();
    void cmdCLEAR_Click();
    void cmdLOAD_Click();
    void cmdSAVE_Click();
    void cmdABOUT_Click();

    // Placement on a screen of this size in pixels at this many twips per pixel.
    static QPoint placement(const QSize &screen, const QSize &window, double twipsPerPixel);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // MainWindowHost
    void processEvents() override;
    void waitForEvents() override;
    void runResumeDialog() override;
    void showPreScan() override;
    void showPreMatch() override;
    void showReview(bool snapshot, const QString &title) override;
    void hideMain() override;
    void setEyeTimer(bool running) override;
    void setGoEnabled(bool enabled) override;
    void setCompactWindowVisible(bool visible) override;
    bool showStats(const QString &message) override;
    void endProgram(int exitCode) override;
    void showMain() override;

    void buildControls();
    void syncFromState();
    void blinkTick();
    void stepEye(int eye);
    void Form_Load();

    MainState m_state;
    MainController m_controller;
    QWidget *m_compactWindow = nullptr;
    QTimer *m_blinkTimer = nullptr;
    std::array<QTimer *, 2> m_eyeTimers{};
    std::array<int, 2> m_eyeFrame{};
    std::array<QPixmap, 3> m_eyePictures;
    bool m_activationQueued = false;
    bool m_closing = false;
};
