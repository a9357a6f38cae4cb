// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "thumbnails.h"

#include "imagebox.h"
#include "programdir.h"

#include <QEventLoop>
#include <QMutex>
#include <QThreadPool>

#include <atomic>

namespace Thumbnails {

Picture decode(const QString &path, const QSize &frame)
{
    Picture p;
    QImage picture = ImageBox::decodeForFrame(path, frame, &p.size);
    p.read = !picture.isNull();
    if (!p.read) {
        ImageBox box;
        box.setFileName(ProgramDir::file(QStringLiteral("error.bmp")));
        picture = box.picture();
        p.size = picture.size();
    }
    if (!picture.isNull()) {
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

// One list of jobs. The workers reach the loader only through it, under its lock, so a loader
// that is gone (or has a newer list) is never written to.
struct Loader::Batch
{
    QMutex lock;
    Loader *owner = nullptr;
    std::atomic<bool> cancelled{false};
};

Loader::Loader(QObject *parent) : QObject(parent)
{
}

Loader::~Loader()
{
    cancel();
}

void Loader::cancel()
{
    if (m_batch) {
        m_batch->cancelled = true;
        QMutexLocker locked(&m_batch->lock);
        m_batch->owner = nullptr;
    }
    m_batch.reset();
    m_pending = 0;
}

void Loader::load(const QVector<Job> &jobs, const QSize &frame)
{
    cancel();
    if (jobs.isEmpty())
        return;
    auto batch = std::make_shared<Batch>();
    batch->owner = this;
    m_batch = batch;
    m_pending = int(jobs.size());
    for (const Job &job : jobs) {
        QThreadPool::globalInstance()->start([batch, job, frame] {
            if (batch->cancelled)
                return;
            const Picture picture = decode(job.path, frame);
            QMutexLocker locked(&batch->lock);
            if (!batch->owner)
                return;
            Loader *owner = batch->owner;
            // Runs on the loader's thread; dropped by Qt if the loader is deleted first.
            QMetaObject::invokeMethod(
                owner,
                [owner, batch, job, picture] {
                    if (owner->m_batch != batch)
                        return;
                    emit owner->ready(job.slot, job.path, picture);
                    // A slot connected to ready() may have started another list.
                    if (owner->m_batch == batch && --owner->m_pending == 0) {
                        owner->m_batch.reset();
                        emit owner->finished();
                    }
                },
                Qt::QueuedConnection);
        });
    }
}

} // namespace Thumbnails
