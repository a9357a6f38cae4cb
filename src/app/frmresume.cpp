// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmresume.h"

#include "mainstate.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmRESUME::frmRESUME(MainState &state, QWidget *parent)
    : QDialog(parent), m_state(state), m_choice(state)
{
    setObjectName(QStringLiteral("frmRESUME"));
    setWindowTitle(QStringLiteral("Vexa! - Start / Resume Search"));
    auto *layout = new QVBoxLayout(this);
    optNEW = new QRadioButton(QStringLiteral("Start a &new search..."), this);
    optNEW->setObjectName(QStringLiteral("optNEW"));
    optRESUME = new QRadioButton(
        QStringLiteral("&Resume my last search where I had left off..."), this);
    optRESUME->setObjectName(QStringLiteral("optRESUME"));
    optRESUME->setEnabled(m_choice.resumeAllowed());
    layout->addWidget(optNEW);
    layout->addWidget(optRESUME);

    auto *group = new QGroupBox(this);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(new QLabel(
        QStringLiteral("Re-Activate records for images on these drives without scanning..."), group));
    const auto &volumes = m_choice.volumes();
    for (int i = 0; i < volumes.size(); ++i) {
        const auto &v = volumes[i];
        QString caption = v.root;
        if (!v.label.isEmpty())
            caption += QStringLiteral("  [") + v.label + QLatin1Char(']');
        else if (!v.enabled)
            caption += QStringLiteral("  (not available)");
        auto *box = new QCheckBox(caption, group);
        box->setObjectName(QStringLiteral("chk") + v.root);
        box->setChecked(v.checked);
        box->setEnabled(v.enabled);
        connect(box, &QCheckBox::clicked, this, [this, i](bool on) {
            m_choice.setChecked(i, on);
            optNEW->setChecked(true);
        });
        volumeBoxes << box;
        groupLayout->addWidget(box);
    }
    if (volumes.isEmpty()) {
        auto *none = new QLabel(QStringLiteral("(no removable, network, optical or RAM volumes)"), group);
        none->setEnabled(false);
        groupLayout->addWidget(none);
    }
    layout->addWidget(group);

    cmdGO = new QPushButton(QStringLiteral("&Start"), this);
    cmdGO->setObjectName(QStringLiteral("cmdGO"));
    cmdGO->setDefault(true);
    layout->addWidget(cmdGO, 0, Qt::AlignHCenter);

    (m_choice.newSearch() ? optNEW : optRESUME)->setChecked(true);
    connect(optNEW, &QRadioButton::clicked, this, [this] { m_choice.chooseNew(); });
    connect(optRESUME, &QRadioButton::clicked, this, [this] { m_choice.chooseResume(); });
    connect(cmdGO, &QPushButton::clicked, this, &frmRESUME::cmdGO_Click);

    if (parent) {
        adjustSize();
        const QRect p = parent->geometry();
        move(p.left() + (p.width() - width()) / 2, p.top() + (p.height() - height()) / 2);
    }
}

void frmRESUME::cmdGO_Click()
{
    m_choice.apply(m_state);
    accept();
}
