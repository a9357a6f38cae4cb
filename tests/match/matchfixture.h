// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "catalogue.h"
#include "temphome.h"
#include "walker.h"

#include <QStringList>

#include <gtest/gtest.h>

// A catalogue built row by row in a test, without scanning any picture, and a walker face
// that writes down what the walker showed.
struct Row
{
    QString wholeName;                           // "CAT1.JPG"
    QString path = QStringLiteral("/pics/");     // ends with "/"
    double size = 100;
    QString checksum = QStringLiteral(" ");
    QString rgb = QStringLiteral(" ");
    QString pxlray = QStringLiteral(" ");
    QString active = QStringLiteral("X");
    QString rtag = QStringLiteral(" ");
    QString qrgb = QStringLiteral(" ");
};

// The FILES row of a file name as the pre-scan would write it.
FilesRecord filesRow(const Row &row, double recnum);
// A pattern signature with darkCells dark cells in a run from offset.
QString pattern(int darkCells, int offset = 0);

// A new catalogue in a fresh program directory (file: its place there).
class CatalogueFixture
{
public:
    explicit CatalogueFixture(const QString &file = QStringLiteral("test.mdb"));
    // Adds rows numbered on from the last RECNUM; returns their row ids.
    QVector<qint64> add(const QVector<Row> &rows);
    qint64 insert(FilesRecord row);
    Catalogue &catalogue() { return m_catalogue; }
    QString activeOf(qint64 rowId);
    void tag(qint64 rowId); // RTAG "D", as a delete from the review does

private:
    TempHome m_home;
    Catalogue m_catalogue;
    double m_recnum = 0;
};

// Writes down pairs ("CAT.JPG-CAT.JPG") and groups ("A B C") as the walker shows them, and
// "end" when the browse order runs out.
class RecordingView : public WalkerView
{
public:
    Walker *walker = nullptr;
    QStringList shown;
    void pairFound() override;
    void endReached() override { shown << QStringLiteral("end"); }
    void information(const QString &text) override { shown << text; }
    void pressNext() override;
    static QString label(const MatchRecord &r);
    QString group() const;
};
