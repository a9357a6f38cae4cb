// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "imagebox.h"

#include <QDialog>

#include <array>
#include <functional>

class MainState;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;

// The full-size viewer: one or two pictures side by side, each in its frame with scroll bars,
// its path, size and dimensions beneath, Delete and View (in another program) under each and
// Return. A click on a picture switches both between their own size and fitted to the frames;
// two pictures of one size scroll together.
class frmVIEWIMAGES : public QDialog
{
    Q_OBJECT
public:
    // state gives the external viewer window its program; without it View is not offered.
    explicit frmVIEWIMAGES(MainState *state = nullptr, QWidget *parent = nullptr);

    // What both reviews do to show files full size: each picture is loaded (a file that cannot
    // be read shows the error picture, and the external viewer window is offered for it), then
    // the viewer runs modally. Returns its delete request.
    static QString view(MainState &state, QWidget *parent, const QString &firstPath,
                        const QString &secondPath, const QString &firstSize,
                        const QString &secondSize);

    // Loads the pictures to show: full paths and size texts ("2048 bytes"). An empty second
    // path shows the first picture alone. A file that cannot be read is replaced by the program
    // directory's error.bmp and its size line says so. Returns whether every given file was
    // read.
    bool showImages(const QString &firstPath, const QString &secondPath, const QString &firstSize,
                    const QString &secondSize);
    bool wasRead(int n) const { return m_read[size_t(n - 1)]; }
    // The path of the picture the user asked to delete, or empty; cleared when the viewer shows.
    QString deleteRequest() const { return m_deleteRequest; }

    // The image component of picture n (1 or 2): what was loaded for it, error.bmp included.
    const ImageBox &image(int n) const { return m_box[size_t(n - 1)]; }

    // The caption of a file label: shortened to its first three characters, "..." and its tail
    // until it fits.
    static QString shortened(const QString &text, const std::function<bool(const QString &)> &fits);

    void cmdRETURN_Click();
    void cmdDELETE_Click(int n);
    void cmdVIEW_Click(int n);
    // A click on a picture or its frame: both pictures switch between their own size and
    // fitted to their frames.
    void gvbIMAGE_Click();
    // Places every control for the window's size; the scroll bars start at 0.
    void Form_Resize();
    // Escape and the window's close button return as cmdRETURN does.
    void reject() override;

    // Per picture, index 0 for picture 1.
    std::array<QFrame *, 2> Picturebox{};
    std::array<QWidget *, 2> Picture{};
    std::array<QLabel *, 2> gvbIMAGE{}, picIMAGE{};
    std::array<QScrollBar *, 2> VScroll{}, HScroll{};
    std::array<QWidget *, 2> cmdCORNER{};
    std::array<QLabel *, 2> lblFILE{}, lblSIZE{};
    std::array<QPushButton *, 2> cmdDELETE{}, cmdVIEW{};
    QPushButton *cmdRETURN;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool load(int n, const QString &path, const QString &sizeText);
    void clear(int n);
    void scrolled(int n);
    int px(double twips) const;

    MainState *m_state;
    std::array<ImageBox, 2> m_box;
    std::array<QString, 2> m_path;
    std::array<bool, 2> m_read{{true, true}};
    QString m_deleteRequest;
    bool m_fit = false;
};
