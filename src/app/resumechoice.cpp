// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "resumechoice.h"

#include "mainstate.h"
#include "platform.h"

#include <algorithm>

namespace {

bool offered(Platform::DriveKind kind)
{
    using K = Platform::DriveKind;
    return kind == K::Removable || kind == K::Remote || kind == K::Optical || kind == K::Ram;
}

} // namespace

QStringList ResumeChoice::splitReactivate(const QString &reactivate)
{
    QStringList roots = reactivate.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString &r : roots)
        r = r.trimmed();
    roots.removeAll(QString());
    return roots;
}

ResumeChoice::ResumeChoice(const MainState &state)
{
    m_resumeAllowed = state.startMode == QLatin1String("RESUME");
    m_newSearch = !m_resumeAllowed;
    const QStringList chosen = splitReactivate(state.reactivate);
    Platform::Services &platform = Platform::services();

    QStringList seen;
    for (const Platform::Volume &v : platform.mountedVolumes()) {
        if (v.root == QLatin1String("/") || seen.contains(v.root))
            continue;
        if (!offered(platform.driveKind(v.root)))
            continue;
        seen << v.root;
        m_volumes.append({v.root, v.label, true, chosen.contains(v.root)});
    }
    // A volume named in Reactivate that is not offered now (absent, or no longer removable)
    // stays chosen and cannot be unticked.
    for (const QString &root : chosen) {
        if (!seen.contains(root)) {
            seen << root;
            m_volumes.append({root, QString(), false, true});
        }
    }
    std::sort(m_volumes.begin(), m_volumes.end(),
              [](const VolumeBox &a, const VolumeBox &b) { return a.root < b.root; });
    // Ticking a box counts as a click on it: a chosen volume means a new search.
    if (!chosen.isEmpty())
        m_newSearch = true;
}

void ResumeChoice::chooseResume()
{
    if (m_resumeAllowed)
        m_newSearch = false;
}

void ResumeChoice::setChecked(int index, bool checked)
{
    if (index < 0 || index >= m_volumes.size() || !m_volumes[index].enabled)
        return;
    m_volumes[index].checked = checked;
    m_newSearch = true;
}

void ResumeChoice::apply(MainState &state) const
{
    state.startMode = m_newSearch ? QStringLiteral("NEW") : QStringLiteral("RESUME");
    QStringList roots;
    for (const VolumeBox &v : m_volumes) {
        if (v.checked)
            roots << v.root;
    }
    roots.sort();
    state.reactivate = roots.join(QLatin1Char(';'));
}
