// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "qtprinters.h"

#include <QString>
#include <QTemporaryDir>

// A fresh program directory for one test: VEXA_HOME points at a new temporary folder for as
// long as the object lives.
class TempHome
{
public:
    TempHome();
    ~TempHome();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const;
    // Writes a file under the home, its folders made.
    void write(const QString &name, const QByteArray &content) const;
    QByteArray read(const QString &name) const;
    bool exists(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    bool m_hadHome;
};
