// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QVector>

#include <array>
#include <memory>

// The review windows' thumbnails: each picture decoded by the image component and scaled once
// to its frame, on worker threads while the window's thread keeps serving its events.
namespace Thumbnails {

struct Picture
{
    QImage thumbnail; // at most the frame's size; null when nothing could be shown
    QSize size;       // the picture's own size (the error picture's when it could not be read)
    bool read = false; // false: the file could not be read and the error picture stands in
};

// One picture; a file that cannot be read gives the program's error picture.
Picture decode(const QString &path, const QSize &frame);

// Both pictures at once (an empty path: none). Returns when both are done; meanwhile the
// calling thread runs its event loop, user input excluded.
std::array<Picture, 2> load(const std::array<QString, 2> &paths, const QSize &frame);

// Decodes a list of pictures on the worker threads and hands each one to the thread that made
// the loader as soon as it is ready, so a grid fills in while the window stays responsive. A
// new list, cancel() or the loader's end drops whatever of the last list is still pending.
class Loader : public QObject
{
    Q_OBJECT
public:
    struct Job
    {
        int slot = 0;
        QString path;
    };

    explicit Loader(QObject *parent = nullptr);
    ~Loader() override;

    // Starts the jobs in their order; each ends in one ready() signal.
    void load(const QVector<Job> &jobs, const QSize &frame);
    void cancel();
    bool isBusy() const { return m_pending > 0; }

signals:
    void ready(int slot, const QString &path, const Thumbnails::Picture &picture);
    // The last job of the list is done.
    void finished();

private:
    struct Batch;
    std::shared_ptr<Batch> m_batch;
    int m_pending = 0;
};

} // namespace Thumbnails
