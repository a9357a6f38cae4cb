// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmresume.h"

#include <QTimer>

frmRESUME::frmRESUME(MainState &, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRESUME"));
    setWindowTitle(QStringLiteral("Vexa! - Start / Resume Search"));
    QTimer::singleShot(0, this, &QDialog::accept);
}
