// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

#include <array>

class MainState;
class PreScan;
class QLabel;
class QPushButton;
class QTimer;

// The directory pre-scan window: shows the pre-scan's progress and serves its Pause, Quit and
// Abort buttons while it runs, then reports and closes itself.
class frmDIRLOOK : public QWidget
{
    Q_OBJECT
public:
    explicit frmDIRLOOK(MainState &state, QWidget *parent = nullptr);
    ~frmDIRLOOK() override;

    QLabel *lblDIRECTORY, *lblNUMBER, *Label1, *imgDRIVE, *Picture2;
    QPushButton *cmdPAUSE, *cmdCANCEL, *cmdKILL;
    QTimer *tmrDRIVE;

    PreScan &engine() { return *m_scan; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void run();
    void finish();
    void printSummary();
    void showCaption();
    bool showsPictures() const;
    QStringList skippedSentences() const; // what the run could not read, one sentence each // the modes that read pictures show them as they are read

    MainState &m_state;
    PreScan *m_scan;
    bool m_firstActivation = true;
    bool m_running = false;
    QString m_lastNumber;
    std::array<QPixmap, 3> m_driveFrames;
    QElapsedTimer m_clock;
};
