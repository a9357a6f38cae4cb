// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "reviewfixture.h"

#include "identitykey.h"

#include <QDir>
#include <QFileInfo>

FilesFixture::FilesFixture(const QString &rootTemplate)
    : CatalogueFixture(QStringLiteral("data/General.mdb"))
{
    if (!rootTemplate.isEmpty())
        m_root = std::make_unique<QTemporaryDir>(rootTemplate);
    if (!m_root || !m_root->isValid())
        m_root = std::make_unique<QTemporaryDir>();
    state.thumbnailExt = QStringLiteral(".THN");
}

QString FilesFixture::folder(const QString &name) const
{
    const QString path = name.isEmpty() ? m_root->path() : m_root->filePath(name);
    QDir().mkpath(path);
    return path + QLatin1Char('/');
}

MatchRecord FilesFixture::add(const QString &folderPath, const QString &name,
                              const QByteArray &content, const QString &volumeTag)
{
    // A second row for a file already there: the same file catalogued twice.
    if (!QFileInfo::exists(folderPath + name))
        EXPECT_TRUE(writeFile(folderPath + name, content)) << (folderPath + name).toStdString();
    const QFileInfo info(folderPath + name);
    FilesRecord r = filesRow({name, folderPath, double(info.size())}, 0);
    r.DRIVEVOLUME = volumeTag;
    r.DATE = info.lastModified();
    r.STAG = IdentityKey::normal(r.WHOLENAME, info.size(), r.DATE);
    const qint64 id = insert(r);
    return MatchRecord::fromRow(id, catalogue().read(id).value_or(FilesRecord()));
}

void FilesFixture::addGroup(const QString &name, const QStringList &folders)
{
    for (const QString &f : folders)
        add(folder(f), name, "1");
}

FilesRecord FilesFixture::row(const MatchRecord &record)
{
    return catalogue().read(record.rowId).value_or(FilesRecord());
}

QStringList FilesFixture::names(const QString &folderPath)
{
    return QDir(folderPath).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
