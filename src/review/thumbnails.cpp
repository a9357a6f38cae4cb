// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "thumbnails.h"

#include "imagebox.h"
#include "programdir.h"

#include <QEventLoop>
#include <QThreadPool>

#include <memory>

namespace Thumbnails {

Picture decode(const QString &path, const QSize &frame)
{
    ImageBox box;
    if (!box.setFileName(path))
        box.setFileName(ProgramDir::file(QStringLiteral("error.bmp")));
    Picture p;
    p.size = QSize(box.width(), box.height());
    if (box.isLoaded()) {
        const QImage &picture = box.picture();
        p.thumbnail = picture.width() > frame.width() || picture.height() > frame.height()
                          ? picture.scaled(frame, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                          : picture;
    }
    return p;
}

std::array<Picture, 2> load(const std::array<QString, 2> &paths, const QSize &frame)
{
    auto results = std::make_shared<std::array<Picture, 2>>();
    int pending = 0;
    QEventLoop loop;
    for (size_t i = 0; i < 2; ++i) {
        if (paths[i].isEmpty())
            continue;
        ++pending;
        QThreadPool::globalInstance()->start([results, i, path = paths[i], frame, &loop, &pending] {
            (*results)[i] = decode(path, frame);
            // The count and the loop belong to the calling thread, which waits for this.
            QMetaObject::invokeMethod(
                &loop,
                [&loop, &pending] {
                    if (--pending == 0)
                        loop.quit();
                },
                Qt::QueuedConnection);
        });
    }
    if (pending > 0)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return *results;
}

} // namespace Thumbnails
