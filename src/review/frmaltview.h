// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QDialog>

class MainState;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The external viewer window: hands a file to a program of the user's choice (the alternate
// viewer), started directly with the file as its one argument, never through a shell. One
// window serves the whole run: the main window makes it at its start, the reviews show it.
class frmALTVIEW : public QDialog
{
    Q_OBJECT
public:
    // The program's one external viewer window, made at its first use.
    static frmALTVIEW &instance(MainState &state);
    // Shows the window modally, centred on the screen, for a file.
    static void offer(MainState &state, const QString &file);

    // The file handed to the viewer.
    void setFile(const QString &file);

    QLabel *lblFILE, *lblVIEWER;
    QPushButton *cmdVIEW, *cmdFIND, *cmdEXIT;

    // Shows the stored viewer: its path, and "Use " + its file name on the button.
    void Form_Activate();
    void cmdVIEW_Click();
    void cmdFIND_Click();
    void cmdEXIT_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    explicit frmALTVIEW(MainState &state);
    // Takes the label's text as the viewer and shows it.
    void refreshViewer();

    MainState &m_state;
    QString m_file;
};

// The program chooser of the external viewer window: a volume, a folder and a program in it.
class frmFINDVIEW : public QDialog
{
    Q_OBJECT
public:
    // Opens at the folder of the program given, or at the system's programs.
    explicit frmFINDVIEW(const QString &current, QWidget *parent = nullptr);

    QComboBox *lstDRIVE;
    QListWidget *lstDIR, *lstFILENAME;
    QCheckBox *chkTYPE;
    QLineEdit *txtFILENAME;
    QPushButton *cmdACCEPT, *cmdCANCEL;

    // The program accepted (txtFILENAME), valid when the dialog was accepted.
    QString chosen() const;
    // Lists a folder and its files; false when it cannot be read.
    bool setDirectory(const QString &path);

private:
    void listFiles();

    QString m_current;
};
