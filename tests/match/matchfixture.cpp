// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "matchfixture.h"

#include <QDir>
#include <QFileInfo>

FilesRecord filesRow(const Row &row, double recnum)
{
    FilesRecord r;
    const QString upper = row.wholeName.toUpper();
    const int dot = int(upper.lastIndexOf(QLatin1Char('.')));
    r.RECNUM = recnum;
    r.DRIVEVOLUME = QStringLiteral("[]");
    r.PATH = row.path;
    r.WHOLENAME = upper;
    r.DISKNAME = row.wholeName;
    r.NAME = dot < 0 ? upper : upper.left(dot);
    r.REFNAME = dot < 0 ? row.wholeName : row.wholeName.left(dot);
    r.EXTENSION = dot < 0 ? QString() : upper.mid(dot);
    for (QChar c : r.NAME) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            r.BASENAME += c;
    }
    r.WHOLEBASE = r.BASENAME + r.EXTENSION;
    r.SIZE = row.size;
    r.CHECKSUM = row.checksum;
    r.RGB = row.rgb;
    r.QRGB = row.qrgb;
    r.PXLRAY = row.pxlray;
    r.PXLNUM = qint16(row.pxlray.size() == 100 ? row.pxlray.count(QLatin1Char('*')) : 0);
    r.ACTIVE = row.active;
    r.RTAG = row.rtag;
    return r;
}

QString pattern(int darkCells, int offset)
{
    QString p(100, QLatin1Char(' '));
    for (int k = 0; k < darkCells; ++k)
        p[(k + offset) % 100] = QLatin1Char('*');
    return p;
}

CatalogueFixture::CatalogueFixture(const QString &file)
{
    const QString path = m_home.file(file);
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(Catalogue::createTemplate(path));
    EXPECT_TRUE(m_catalogue.open(path)) << m_catalogue.lastError().toStdString();
}

QVector<qint64> CatalogueFixture::add(const QVector<Row> &rows)
{
    QVector<qint64> ids;
    for (const Row &row : rows)
        ids << insert(filesRow(row, 0));
    return ids;
}

qint64 CatalogueFixture::insert(FilesRecord row)
{
    row.RECNUM = ++m_recnum;
    const std::optional<qint64> id = m_catalogue.insert(row);
    EXPECT_TRUE(id) << m_catalogue.lastError().toStdString();
    return id.value_or(-1);
}

QString CatalogueFixture::activeOf(qint64 rowId)
{
    return m_catalogue.field(rowId, QStringLiteral("ACTIVE")).toString();
}

void CatalogueFixture::tag(qint64 rowId)
{
    EXPECT_TRUE(m_catalogue.setField(rowId, QStringLiteral("RTAG"), QStringLiteral("D")));
}

QString RecordingView::label(const MatchRecord &r)
{
    return r.PATH == QLatin1String("/pics/") ? r.DISKNAME : r.PATH + r.DISKNAME;
}

void RecordingView::pairFound()
{
    shown << label(walker->reference()) + QLatin1Char('-') + label(walker->candidate());
}

void RecordingView::pressNext()
{
    walker->FindNextPair();
}

QString RecordingView::group() const
{
    QStringList names;
    for (const MatchRecord &m : walker->group().members)
        names << label(m);
    return names.join(QLatin1Char(' '));
}
