// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class MainState;

// What the start / resume dialog offers: a new search or the last one resumed, and the
// volumes whose catalogue rows the next pre-scan re-activates without scanning them.
class ResumeChoice
{
public:
    struct VolumeBox
    {
        QString root;
        QString label;
        bool enabled = false; // a mounted removable, network, optical or RAM volume
        bool checked = false; // named in Reactivate
    };

    // Reads StartMode and Reactivate, and the mounted volumes from the platform.
    explicit ResumeChoice(const MainState &state);

    bool resumeAllowed() const { return m_resumeAllowed; }
    bool newSearch() const { return m_newSearch; }
    const QList<VolumeBox> &volumes() const { return m_volumes; }

    void chooseNew() { m_newSearch = true; }
    void chooseResume();
    // Ticking or unticking a volume belongs to a new search.
    void setChecked(int index, bool checked);

    // "&Start": writes StartMode and Reactivate (roots sorted, separated by ";").
    void apply(MainState &state) const;

    static QStringList splitReactivate(const QString &reactivate);

private:
    QList<VolumeBox> m_volumes;
    bool m_resumeAllowed = false;
    bool m_newSearch = true;
};
