// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "mainstate.h"

const std::array<const char *, MainState::FileTypeCount> &MainState::fileTypes()
{
    static const std::array<const char *, FileTypeCount> types = {
        ".ART", ".BMP", ".CUT", ".DIB", ".GEM", ".GIF", ".HRZ", ".IFF",
        ".IMG", ".JPG", ".LBM", ".MAC", ".MSP", ".PCX", ".PIC", ".PNG",
        ".RAS", ".RLE", ".TGA", ".TIF", ".WMF", ".WPG", ".CUR", ".ICO",
        ".AVIF", ".HEIC", ".HEIF", ".WEBP"};
    return types;
}

int MainState::fileTypeIndex(const QString &extension)
{
    const QString upper = extension.toUpper();
    for (int i = 0; i < FileTypeCount; ++i) {
        if (upper == QLatin1String(fileTypes()[size_t(i)]))
            return i;
    }
    return -1;
}

MainState::MainState(QObject *parent) : QObject(parent), tolerance(QStringLiteral("5"))
{
    // A new window: mode NAME, "Ignore .EXT" checked, every other box unchecked.
    m_checks[size_t(Check::Ignore)] = true;
}

void MainState::clickMode(Mode mode)
{
    m_mode = mode;
    optionsChanged = true;
    m_checks[size_t(Check::SoftMatch)] = false;
    emit changed();
}

void MainState::clickCheck(Check check, bool checked)
{
    // A box's click runs only when its value really changes.
    if (m_checks[size_t(check)] == checked)
        return;
    m_checks[size_t(check)] = checked;
    switch (check) {
    case Check::Exclusive:
    case Check::Gather:
    case Check::Not:
    case Check::SingleTable:
    case Check::SoftMatch:
        optionsChanged = true;
        break;
    default:
        break;
    }
    emit changed();
}

void MainState::setChecked(Check check, bool checked)
{
    m_checks[size_t(check)] = checked;
    emit changed();
}

void MainState::clickFileType(int index, bool checked)
{
    if (m_fileTypes[size_t(index)] == checked)
        return;
    m_fileTypes[size_t(index)] = checked;
    optionsChanged = true;
    emit changed();
}

int MainState::checkedFileTypeCount() const
{
    int n = 0;
    for (bool b : m_fileTypes)
        n += b ? 1 : 0;
    return n;
}

QString MainState::catalogueName() const
{
    return isChecked(Check::SingleTable) ? QStringLiteral("vexatmp") : listName;
}

namespace {
MainState *s_current = nullptr;
}

MainState *MainState::current()
{
    return s_current;
}

void MainState::setCurrent(MainState *state)
{
    s_current = state;
}
