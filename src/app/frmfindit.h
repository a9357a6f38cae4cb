// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QDialog>

class MainState;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The "Add directories" dialog: pick a volume and a directory, then add it, its whole tree,
// or make it the incoming files check directory (IFCD).
class frmFINDIT : public QDialog
{
    Q_OBJECT
public:
    explicit frmFINDIT(MainState &state, QWidget *parent = nullptr);

    QComboBox *lstDRIVE;
    QListWidget *lstDIR;
    QLabel *lblDIR;
    QPushButton *cmdADDDIR, *cmdADDTREE, *cmdIFCD, *cmdIFCDTREE, *cmdCANCEL;

    QString currentDirectory() const { return m_current; }
    // Points the directory list at a directory; false (nothing changes) when it cannot be read.
    bool setDirectory(const QString &path);

    void cmdADDDIR_Click();
    void cmdADDTREE_Click();
    void cmdIFCD_Click();
    void cmdIFCDTREE_Click();

protected:
    void done(int result) override;

private:
    void lstDRIVE_Change(int index);
    void lstDIR_Activated(QListWidgetItem *item);
    void setBusy(bool busy);
    bool addTree(); // false when the current directory cannot be a list entry

    MainState &m_state;
    QString m_current;
    bool m_busy = false;
};

// The "Load / Save Directory list" dialog.
class frmLOADSAVE : public QDialog
{
    Q_OBJECT
public:
    enum class Action { Load, Save };
    frmLOADSAVE(MainState &state, Action action, QWidget *parent = nullptr);

    class QLineEdit *txtFILENAME;
    QListWidget *listFILES;
    QPushButton *cmdACTION, *cmdDELETE;

    void cmdACTION_Click();
    void cmdDELETE_Click();
    void refreshFiles();

private:
    MainState &m_state;
    Action m_action;
};
