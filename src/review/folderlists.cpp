// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "folderlists.h"

#include "platform.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>

#include <algorithm>

namespace FolderLists {

static_assert(PathRole == Qt::UserRole + 1);

void fillVolumes(QComboBox *volumes)
{
    QList<Platform::Volume> mounted = Platform::services().mountedVolumes();
    std::sort(mounted.begin(), mounted.end(),
              [](const Platform::Volume &a, const Platform::Volume &b) { return a.root < b.root; });
    for (const Platform::Volume &v : mounted)
        volumes->addItem(v.label.isEmpty() ? v.root : v.root + QStringLiteral("  [") + v.label + QLatin1Char(']'), v.root);
    if (volumes->findData(QStringLiteral("/")) < 0)
        volumes->insertItem(0, QStringLiteral("/"), QStringLiteral("/"));
}

QString listFolder(QListWidget *folders, QComboBox *volumes, const QString &path)
{
    const QDir dir(QDir::cleanPath(QDir(path).absolutePath()));
    if (!dir.exists() || !dir.isReadable())
        return QString();
    const QString current = dir.path();
    folders->clear();
    auto add = [folders](const QString &text, const QString &target) {
        auto *item = new QListWidgetItem(text, folders);
        item->setData(PathRole, target);
    };
    add(current, current);
    if (current != QLatin1String("/"))
        add(QStringLiteral(".."), QFileInfo(current).path());
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                               QDir::Name | QDir::IgnoreCase);
    for (const QString &c : children)
        add(QStringLiteral("    ") + c, dir.filePath(c));
    const int volume = volumes->findData(Platform::services().volume(current).root);
    if (volume >= 0)
        volumes->setCurrentIndex(volume);
    return current;
}

} // namespace FolderLists
