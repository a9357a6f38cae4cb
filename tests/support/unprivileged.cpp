// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "unprivileged.h"

#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

Unprivileged::Unprivileged()
{
    constexpr uid_t nobody = 65534;
    if (::geteuid() == 0) // the group first: without root it can no longer change
        m_switched = ::setegid(nobody) == 0 && ::seteuid(nobody) == 0;
}

Unprivileged::~Unprivileged()
{
    if (m_switched && (::seteuid(0) != 0 || ::setegid(0) != 0))
        qFatal("could not return to the test's own user");
}

void Unprivileged::openToAll(const QString &path)
{
    ::chmod(QFile::encodeName(path).constData(), 0777);
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        ::chmod(QFile::encodeName(it.next()).constData(), 0777);
}

void Unprivileged::lock(const QString &path)
{
    ::chmod(QFile::encodeName(path).constData(), 0);
}
