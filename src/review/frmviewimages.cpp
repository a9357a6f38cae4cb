// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmviewimages.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>

#include "programdir.h"

namespace {

QScrollArea *makeFrame(const char *frameName, QLabel *picture, QWidget *parent)
{
    auto *frame = new QScrollArea(parent);
    frame->setObjectName(QLatin1String(frameName));
    frame->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    frame->setMinimumSize(200, 150);
    // The picture keeps its own size; the frame scrolls when the picture is the larger.
    frame->setWidgetResizable(false);
    frame->setWidget(picture);
    return frame;
}

QLabel *makeLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

frmVIEWIMAGES::frmVIEWIMAGES(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVIEWIMAGES"));
    setWindowTitle(QStringLiteral("Vexa! - View images"));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture2 = new QLabel(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picturebox1 = makeFrame("Picturebox1", Picture1, this);
    Picturebox2 = makeFrame("Picturebox2", Picture2, this);
    lblFILE1 = makeLabel("lblFILE1", this);
    lblFILE2 = makeLabel("lblFILE2", this);
    lblSIZE1 = makeLabel("lblSIZE1", this);
    lblSIZE2 = makeLabel("lblSIZE2", this);
    cmdRETURN = new QPushButton(QStringLiteral("&Return"), this);
    cmdRETURN->setObjectName(QStringLiteral("cmdRETURN"));
    cmdRETURN->setDefault(true);
    connect(cmdRETURN, &QPushButton::clicked, this, &frmVIEWIMAGES::cmdRETURN_Click);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Picturebox1, 0, 0);
    layout->addWidget(Picturebox2, 0, 1);
    layout->addWidget(lblFILE1, 1, 0);
    layout->addWidget(lblFILE2, 1, 1);
    layout->addWidget(lblSIZE1, 2, 0);
    layout->addWidget(lblSIZE2, 2, 1);
    layout->addWidget(cmdRETURN, 3, 1, Qt::AlignRight);
    layout->setRowStretch(0, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    resize(900, 600);
}

frmVIEWIMAGES::Pane frmVIEWIMAGES::pane(int n)
{
    if (n == 2)
        return {gvbIMAGE2, Picture2, lblFILE2, lblSIZE2};
    return {gvbIMAGE1, Picture1, lblFILE1, lblSIZE1};
}

bool frmVIEWIMAGES::showImages(const QString &firstPath, const QString &secondPath,
                               const QString &firstSize, const QString &secondSize)
{
    const bool first = load(1, firstPath, firstSize);
    const bool second = load(2, secondPath, secondSize);
    // A single picture takes the whole width.
    const bool two = !secondPath.isEmpty();
    Picturebox2->setVisible(two);
    lblFILE2->setVisible(two);
    lblSIZE2->setVisible(two);
    return first && second;
}

bool frmVIEWIMAGES::load(int n, const QString &path, const QString &sizeText)
{
    clearPane(n);
    if (path.isEmpty())
        return true;
    Pane p = pane(n);
    p.file->setText(path);
    p.file->setToolTip(path);
    const bool read = p.box.setFileName(path);
    if (read) {
        p.size->setText(
            QStringLiteral("%1,  %2 x %3").arg(sizeText).arg(p.box.width()).arg(p.box.height()));
    } else {
        // The picture shown for unreadable files; when it is missing too the pane stays empty.
        p.box.setFileName(ProgramDir::file(QStringLiteral("error.bmp")));
        p.size->setText(QStringLiteral("%1,  cannot be read").arg(sizeText));
    }
    if (p.box.isLoaded()) {
        p.picture->setPixmap(QPixmap::fromImage(p.box.picture()));
        p.picture->resize(p.box.width(), p.box.height());
    }
    return read;
}

void frmVIEWIMAGES::clearPane(int n)
{
    Pane p = pane(n);
    p.box.release();
    p.picture->clear();
    p.picture->resize(0, 0);
    p.file->clear();
    p.file->setToolTip(QString());
    p.size->clear();
}

void frmVIEWIMAGES::cmdRETURN_Click()
{
    clearPane(1);
    clearPane(2);
    hide();
}

void frmVIEWIMAGES::reject()
{
    cmdRETURN_Click();
}
