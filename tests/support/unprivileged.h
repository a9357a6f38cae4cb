// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

// Folder permissions as an ordinary user meets them. Root reads every folder whatever its
// permissions, so a test run as root acts as the user "nobody" while this object lives; what
// the test touches meanwhile must be open to all.
class Unprivileged
{
public:
    Unprivileged();
    ~Unprivileged();

    static void openToAll(const QString &path); // the folder and everything in it
    static void lock(const QString &path);      // a folder nobody but root can open

private:
    bool m_switched = false;
};
