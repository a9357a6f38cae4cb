// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "reviewfixture.h"

#include "identitykey.h"
#include "programdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

FilesFixture::FilesFixture(const QString &rootTemplate)
{
    if (!rootTemplate.isEmpty())
        m_root = std::make_unique<QTemporaryDir>(rootTemplate);
    if (!m_root || !m_root->isValid())
        m_root = std::make_unique<QTemporaryDir>();
    // Where the review windows look for the catalogue of the list "General".
    ProgramDir::ensureDataDir();
    const QString path = ProgramDir::file(QStringLiteral("data/General.mdb"));
    EXPECT_TRUE(Catalogue::createTemplate(path));
    EXPECT_TRUE(m_catalogue.open(path)) << m_catalogue.lastError().toStdString();
    state.thumbnailExt = QStringLiteral(".THN");
}

QString FilesFixture::folder(const QString &name) const
{
    const QString path = name.isEmpty() ? m_root->path() : m_root->filePath(name);
    QDir().mkpath(path);
    return path + QLatin1Char('/');
}

bool FilesFixture::write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::NewOnly) && f.write(content) == content.size();
}

QByteArray FilesFixture::read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

MatchRecord FilesFixture::add(const QString &folderPath, const QString &name,
                              const QByteArray &content, const QString &volumeTag)
{
    // A second row for a file already there: the same file catalogued twice.
    if (!QFileInfo::exists(folderPath + name))
        EXPECT_TRUE(write(folderPath + name, content)) << (folderPath + name).toStdString();
    const QFileInfo info(folderPath + name);
    const QString stem = name.left(name.size() - 4);
    FilesRecord r;
    r.RECNUM = ++m_recnum;
    r.DRIVEVOLUME = volumeTag;
    r.PATH = folderPath;
    r.NAME = stem.toUpper();
    r.REFNAME = stem;
    for (QChar c : r.NAME) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            r.BASENAME += c;
    }
    r.EXTENSION = name.right(4).toUpper();
    r.WHOLENAME = name.toUpper();
    r.WHOLEBASE = r.BASENAME + r.EXTENSION;
    r.DISKNAME = name;
    r.SIZE = double(info.size());
    r.DATE = info.lastModified();
    r.ACTIVE = QStringLiteral("X");
    r.STAG = IdentityKey::normal(r.WHOLENAME, info.size(), info.lastModified());
    const std::optional<qint64> id = m_catalogue.insert(r);
    EXPECT_TRUE(id);
    return MatchRecord::fromRow(id.value_or(-1), *m_catalogue.read(id.value_or(-1)));
}

FilesRecord FilesFixture::row(const MatchRecord &record)
{
    return m_catalogue.read(record.rowId).value_or(FilesRecord());
}

QStringList FilesFixture::names(const QString &folderPath)
{
    return QDir(folderPath).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}
