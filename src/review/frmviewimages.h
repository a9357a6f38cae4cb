// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "imagebox.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollArea;

// The full-size viewer: one or two pictures side by side at their own size, each in a
// scrollable frame with its path, size and dimensions beneath. Until the viewer is built in
// full (delete and external-viewer buttons, fit to frame, scrolling both pictures together)
// this stand-in shows the pictures and returns.
class frmVIEWIMAGES : public QDialog
{
    Q_OBJECT
public:
    explicit frmVIEWIMAGES(QWidget *parent = nullptr);

    // Loads the pictures to show: full paths and size texts ("2048 bytes"). An empty second
    // path shows the first picture alone. A file that cannot be read is replaced by the
    // program directory's error.bmp and its size line says so. Returns whether every given
    // file was read.
    bool showImages(const QString &firstPath, const QString &secondPath, const QString &firstSize,
                    const QString &secondSize);

    // The image component of pane n (1 or 2): what was loaded for it, error.bmp included.
    const ImageBox &image(int n) const { return n == 2 ? gvbIMAGE2 : gvbIMAGE1; }

    // Clears both panes and hides the viewer, which ends a modal showing.
    void cmdRETURN_Click();
    // Escape and the window's close button return as cmdRETURN does.
    void reject() override;

    QScrollArea *Picturebox1;
    QScrollArea *Picturebox2;
    QLabel *Picture1;
    QLabel *Picture2;
    QLabel *lblFILE1;
    QLabel *lblFILE2;
    QLabel *lblSIZE1;
    QLabel *lblSIZE2;
    QPushButton *cmdRETURN;

private:
    struct Pane
    {
        ImageBox &box;
        QLabel *picture, *file, *size;
    };
    Pane pane(int n);
    bool load(int n, const QString &path, const QString &sizeText);
    void clearPane(int n);

    ImageBox gvbIMAGE1;
    ImageBox gvbIMAGE2;
};
